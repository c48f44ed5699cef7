// The file list's pure rules: which files a filter keeps, the size and date
// columns, valid file names and the recent-folder order.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace zx {

// A pattern of 3 or 5 characters ("*.*", "*.ico") is a single pattern;
// any other is a list such as "*.cpl;*.dll;...".
bool IsSinglePattern(const std::u16string& pattern);

// Whether the file list shows `fileName` under `pattern`. A single pattern
// matches the extension exactly ("*.*" everything); a list keeps a file whose
// extension, without its dot and regardless of case, occurs anywhere in the
// pattern text (so "d.ic" is kept by "...;*.ico;...").
bool ListFilterKeeps(const std::u16string& fileName, const std::u16string& pattern);

// The extension without its dot, or empty.
std::u16string ExtensionOf(const std::u16string& fileName);

// Kilobytes rounded up, followed by the language's unit (" KB").
std::u16string SizeText(uint64_t bytes, const std::u16string& unit);

// Date formats of the file list (bits 27-29 of the options).
enum DateFormat : int { kDateFormatFrench = 1, kDateFormatEnglish = 2, kDateFormatUs = 4 };

struct DateFields {
  int year = 0;
  int month = 0;
  int day = 0;
  int hour = 0;
  int minute = 0;
  int second = 0;
};

// French "25/12/2013  13:05:09", English "25/12/2013  01:05:09 PM",
// US "12/25/2013  01:05:09 PM". Any other format counts as English.
std::u16string FormatFileDate(const DateFields& date, int format);

// Not empty, no control character, no '"' and none of * / : < > ? \ |.
bool IsValidFileName(const std::u16string& name);

// Case-insensitive equality of two paths (ASCII and Latin letters).
bool SamePathText(const std::u16string& a, const std::u16string& b);

// `folder` first, without its other case-insensitive copies, and at most
// `maxRecents` entries.
void AddRecentFolderTo(std::vector<std::u16string>& recents, const std::u16string& folder, int maxRecents);

// A folder path with one trailing separator.
std::u16string WithSeparator(const std::u16string& folder);

}  // namespace zx
