// The file list (control 6): one row per listed file with its name,
// attributes, size, type and date, and the shell's icon of the file.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>

namespace zx {

constexpr int kFileListColumns = 5;

// The row's columns as the list shows them.
struct FileRow {
  std::u16string name;
  std::u16string attributes;
  std::u16string size;
  std::u16string type;
  std::u16string date;
  // The modification date as a FILETIME value, kept as item data.
  int64_t modified = 0;
  HICON icon = nullptr;
};

// "A" archive or compressed, "N" normal, "R" read-only, "S" system.
std::u16string AttributeLetters(DWORD attributes);

// Columns 1-4 of a file in `language` and `dateFormat`; the caller destroys `icon`.
FileRow DescribeFile(const std::u16string& path, const WIN32_FIND_DATAW& found, int language, int dateFormat);
// The same, read from the file itself; false when it is gone.
bool DescribeFileAt(const std::u16string& path, int language, int dateFormat, FileRow& row);

// Inserts the row at `index`; its icon goes into the list's small and large image lists.
int InsertFileRow(HWND list, int index, const FileRow& row);
// Refreshes a row's icon, size and date.
void UpdateFileRow(HWND list, int index, const FileRow& row);

// Empties the list and lists the files of `folder` that pass `pattern`,
// in the order of the directory walk.
void FillFileList(HWND list, const std::u16string& folder, const std::u16string& pattern, int language,
                  int dateFormat);

std::u16string FileRowName(HWND list, int index);
int FileRowCount(HWND list);
int SelectedFileRow(HWND list);
// Selects `index` without giving the list the focus.
void SelectFileRow(HWND list, int index);

// Column 4 of every row again, from its stored date.
void RerenderDates(HWND list, int dateFormat);
// Column titles and the size unit of `language`.
void ApplyListLanguage(HWND list, int language);

// The date in one of the list's formats.
std::u16string FileDateText(int64_t modified, int dateFormat);

}  // namespace zx
