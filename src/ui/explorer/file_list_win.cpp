#include "ui/explorer/file_list_win.h"

#include <commctrl.h>
#include <shellapi.h>

#include <vector>

#include "core/ui_text_win.h"
#include "core/win_text.h"
#include "ui/controls/list_view_win.h"
#include "ui/explorer/list_rules.h"

namespace zx {
namespace {

constexpr int kTextSizeUnit = 17038;
constexpr int kFirstColumnTitle = 20000;
// The tile view shows the type, size and date columns under the name.
constexpr UINT kTileColumns[] = {3, 2, 4};

// Suspends the list's redrawing and repaints it once at the end.
class ListRedrawPause {
 public:
  explicit ListRedrawPause(HWND list) : list_(list) { SendMessageW(list_, WM_SETREDRAW, FALSE, 0); }
  ~ListRedrawPause() {
    SendMessageW(list_, WM_SETREDRAW, TRUE, 0);
    InvalidateRect(list_, nullptr, TRUE);
  }
  ListRedrawPause(const ListRedrawPause&) = delete;
  ListRedrawPause& operator=(const ListRedrawPause&) = delete;

 private:
  HWND list_;
};

void SetCell(HWND list, int index, int column, const std::u16string& text) {
  LVITEMW item = {};
  item.iSubItem = column;
  item.pszText = const_cast<wchar_t*>(Wide(text));
  SendMessageW(list, LVM_SETITEMTEXTW, index, reinterpret_cast<LPARAM>(&item));
}

std::u16string Cell(HWND list, int index, int column) {
  wchar_t text[MAX_PATH] = {};
  LVITEMW item = {};
  item.iSubItem = column;
  item.pszText = text;
  item.cchTextMax = MAX_PATH;
  SendMessageW(list, LVM_GETITEMTEXTW, index, reinterpret_cast<LPARAM>(&item));
  return FromWide(text);
}

// The file's shell icon, added to both of the list's image lists; -1 without one.
int AddRowIcon(HWND list, HICON icon) {
  if (!icon) return -1;
  HIMAGELIST small = reinterpret_cast<HIMAGELIST>(SendMessageW(list, LVM_GETIMAGELIST, LVSIL_SMALL, 0));
  HIMAGELIST large = reinterpret_cast<HIMAGELIST>(SendMessageW(list, LVM_GETIMAGELIST, LVSIL_NORMAL, 0));
  if (!small) {
    small = ImageList_Create(GetSystemMetrics(SM_CXSMICON), GetSystemMetrics(SM_CYSMICON), ILC_COLOR32 | ILC_MASK, 64, 64);
    SendMessageW(list, LVM_SETIMAGELIST, LVSIL_SMALL, reinterpret_cast<LPARAM>(small));
  }
  if (!large) {
    large = ImageList_Create(GetSystemMetrics(SM_CXICON), GetSystemMetrics(SM_CYICON), ILC_COLOR32 | ILC_MASK, 64, 64);
    SendMessageW(list, LVM_SETIMAGELIST, LVSIL_NORMAL, reinterpret_cast<LPARAM>(large));
  }
  const int index = ImageList_AddIcon(small, icon);
  ImageList_AddIcon(large, icon);
  return index;
}

void SetTileColumns(HWND list, int index) {
  LVTILEINFO tile = {};
  tile.cbSize = sizeof(tile);
  tile.iItem = index;
  tile.cColumns = 3;
  tile.puColumns = const_cast<UINT*>(kTileColumns);
  SendMessageW(list, LVM_SETTILEINFO, 0, reinterpret_cast<LPARAM>(&tile));
}

int64_t FileTimeValue(const FILETIME& time) {
  return (static_cast<int64_t>(time.dwHighDateTime) << 32) | time.dwLowDateTime;
}

}  // namespace

std::u16string AttributeLetters(DWORD attributes) {
  std::u16string letters;
  if (attributes & (FILE_ATTRIBUTE_ARCHIVE | FILE_ATTRIBUTE_COMPRESSED)) letters += u'A';
  if (attributes & FILE_ATTRIBUTE_NORMAL) letters += u'N';
  if (attributes & FILE_ATTRIBUTE_READONLY) letters += u'R';
  if (attributes & FILE_ATTRIBUTE_SYSTEM) letters += u'S';
  return letters;
}

std::u16string FileDateText(int64_t modified, int dateFormat) {
  FILETIME utc = {static_cast<DWORD>(modified & 0xFFFFFFFF), static_cast<DWORD>(modified >> 32)};
  FILETIME local;
  SYSTEMTIME time;
  if (!FileTimeToLocalFileTime(&utc, &local) || !FileTimeToSystemTime(&local, &time)) return u"";
  return FormatFileDate({time.wYear, time.wMonth, time.wDay, time.wHour, time.wMinute, time.wSecond}, dateFormat);
}

FileRow DescribeFile(const std::u16string& path, const WIN32_FIND_DATAW& found, int language, int dateFormat) {
  FileRow row;
  row.name = FromWide(found.cFileName);
  row.attributes = AttributeLetters(found.dwFileAttributes);
  const uint64_t bytes = (static_cast<uint64_t>(found.nFileSizeHigh) << 32) | found.nFileSizeLow;
  row.size = SizeText(bytes, UiText(kTextSizeUnit, language));
  row.modified = FileTimeValue(found.ftLastWriteTime);
  row.date = FileDateText(row.modified, dateFormat);
  SHFILEINFOW info = {};
  if (SHGetFileInfoW(Wide(path), 0, &info, sizeof(info), SHGFI_ICON | SHGFI_SMALLICON | SHGFI_TYPENAME | SHGFI_ATTRIBUTES)) {
    row.type = FromWide(info.szTypeName);
    row.icon = info.hIcon;
  } else {
    row.type = u"?";
  }
  return row;
}

bool DescribeFileAt(const std::u16string& path, int language, int dateFormat, FileRow& row) {
  WIN32_FIND_DATAW found;
  HANDLE walk = FindFirstFileW(Wide(path), &found);
  if (walk == INVALID_HANDLE_VALUE) return false;
  FindClose(walk);
  row = DescribeFile(path, found, language, dateFormat);
  return true;
}

int InsertFileRow(HWND list, int index, const FileRow& row) {
  LVITEMW item = {};
  item.mask = LVIF_TEXT | LVIF_PARAM | LVIF_IMAGE;
  item.iItem = index;
  item.pszText = const_cast<wchar_t*>(Wide(row.name));
  item.lParam = static_cast<LPARAM>(row.modified);
  item.iImage = AddRowIcon(list, row.icon);
  const int at = static_cast<int>(SendMessageW(list, LVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&item)));
  if (at < 0) return at;
  SetCell(list, at, 1, row.attributes);
  SetCell(list, at, 2, row.size);
  SetCell(list, at, 3, row.type);
  SetCell(list, at, 4, row.date);
  SetTileColumns(list, at);
  return at;
}

void UpdateFileRow(HWND list, int index, const FileRow& row) {
  LVITEMW item = {};
  item.mask = LVIF_PARAM | LVIF_IMAGE;
  item.iItem = index;
  item.lParam = static_cast<LPARAM>(row.modified);
  item.iImage = AddRowIcon(list, row.icon);
  SendMessageW(list, LVM_SETITEMW, 0, reinterpret_cast<LPARAM>(&item));
  SetCell(list, index, 2, row.size);
  SetCell(list, index, 4, row.date);
}

void FillFileList(HWND list, const std::u16string& folder, const std::u16string& pattern, int language,
                  int dateFormat) {
  ListRedrawPause pause(list);
  const ListView view(list);
  SendMessageW(list, LVM_DELETEALLITEMS, 0, 0);
  for (int kind : {LVSIL_SMALL, LVSIL_NORMAL}) {
    HIMAGELIST images = reinterpret_cast<HIMAGELIST>(SendMessageW(list, LVM_GETIMAGELIST, kind, 0));
    if (images) ImageList_RemoveAll(images);
  }
  const int remembered = view.View();
  view.SetView(LV_VIEW_DETAILS);
  LVTILEVIEWINFO tiles = {};
  tiles.cbSize = sizeof(tiles);
  tiles.dwMask = LVTVIM_COLUMNS;
  tiles.cLines = 4;
  SendMessageW(list, LVM_SETTILEVIEWINFO, 0, reinterpret_cast<LPARAM>(&tiles));

  const std::u16string base = WithSeparator(folder);
  const bool single = IsSinglePattern(pattern);
  WIN32_FIND_DATAW found;
  HANDLE walk = FindFirstFileW(Wide(base + (single ? pattern : u"*.*")), &found);
  int index = 0;
  if (walk != INVALID_HANDLE_VALUE) {
    do {
      if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) continue;
      const std::u16string name = FromWide(found.cFileName);
      if (!single && !ListFilterKeeps(name, pattern)) continue;
      FileRow row = DescribeFile(base + name, found, language, dateFormat);
      InsertFileRow(list, index++, row);
      if (row.icon) DestroyIcon(row.icon);
    } while (FindNextFileW(walk, &found));
    FindClose(walk);
  }
  view.SetView(remembered);
}

std::u16string FileRowName(HWND list, int index) { return Cell(list, index, 0); }

int FileRowCount(HWND list) { return static_cast<int>(SendMessageW(list, LVM_GETITEMCOUNT, 0, 0)); }

int SelectedFileRow(HWND list) {
  return static_cast<int>(SendMessageW(list, LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_SELECTED));
}

void SelectFileRow(HWND list, int index) {
  LVITEMW state = {};
  state.stateMask = LVIS_SELECTED;
  state.state = LVIS_SELECTED;
  SendMessageW(list, LVM_SETITEMSTATE, index, reinterpret_cast<LPARAM>(&state));
}

void RerenderDates(HWND list, int dateFormat) {
  ListRedrawPause pause(list);
  const ListView view(list);
  const int remembered = view.View();
  view.SetView(LV_VIEW_DETAILS);
  for (int index = 0, count = FileRowCount(list); index < count; ++index) {
    LVITEMW item = {};
    item.mask = LVIF_PARAM;
    item.iItem = index;
    SendMessageW(list, LVM_GETITEMW, 0, reinterpret_cast<LPARAM>(&item));
    SetCell(list, index, 4, FileDateText(static_cast<int64_t>(item.lParam), dateFormat));
  }
  view.SetView(remembered);
}

void ApplyListLanguage(HWND list, int language) {
  for (int column = 0; column < kFileListColumns; ++column) {
    const std::u16string title = UiText(kFirstColumnTitle + column, language);
    LVCOLUMNW data = {};
    data.mask = LVCF_TEXT;
    data.pszText = const_cast<wchar_t*>(Wide(title));
    SendMessageW(list, LVM_SETCOLUMNW, column, reinterpret_cast<LPARAM>(&data));
  }
  std::u16string unit = UiText(kTextSizeUnit, language);
  while (!unit.empty() && unit.front() == u' ') unit.erase(unit.begin());
  while (!unit.empty() && unit.back() == u' ') unit.pop_back();
  for (int index = 0, count = FileRowCount(list); index < count; ++index) {
    const std::u16string size = Cell(list, index, 2);
    const size_t space = size.find(u' ');
    SetCell(list, index, 2, size.substr(0, space) + u" " + unit);
  }
}

}  // namespace zx
