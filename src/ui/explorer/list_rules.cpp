#include "ui/explorer/list_rules.h"

#include <algorithm>

#include "core/catalogue.h"

namespace zx {
namespace {

char16_t Lower(char16_t c) {
  if (c >= u'A' && c <= u'Z') return static_cast<char16_t>(c + 32);
  if (c >= 0xC0 && c <= 0xDE && c != 0xD7) return static_cast<char16_t>(c + 32);
  return c;
}

std::u16string Lowered(std::u16string text) {
  std::transform(text.begin(), text.end(), text.begin(), Lower);
  return text;
}

std::u16string TwoDigits(int value) {
  std::u16string text;
  text += static_cast<char16_t>(u'0' + (value / 10) % 10);
  text += static_cast<char16_t>(u'0' + value % 10);
  return text;
}

std::u16string FourDigits(int value) { return TwoDigits(value / 100) + TwoDigits(value % 100); }

// "12:ii:ss AM", "hh:ii:ss AM", "12:ii:ss PM" or "(h-12):ii:ss PM".
std::u16string TwelveHourTime(const DateFields& date) {
  const std::u16string rest = u":" + TwoDigits(date.minute) + u":" + TwoDigits(date.second);
  if (date.hour == 0) return u"12" + rest + u" AM";
  if (date.hour < 12) return TwoDigits(date.hour) + rest + u" AM";
  if (date.hour == 12) return TwoDigits(date.hour) + rest + u" PM";
  return TwoDigits(date.hour - 12) + rest + u" PM";
}

}  // namespace

bool IsSinglePattern(const std::u16string& pattern) { return pattern.size() == 3 || pattern.size() == 5; }

std::u16string ExtensionOf(const std::u16string& fileName) {
  const size_t dot = fileName.find_last_of(u'.');
  if (dot == std::u16string::npos) return u"";
  return fileName.substr(dot + 1);
}

bool ListFilterKeeps(const std::u16string& fileName, const std::u16string& pattern) {
  const std::u16string extension = Lowered(ExtensionOf(fileName));
  if (IsSinglePattern(pattern)) {
    if (pattern == u"*.*") return true;
    return fileName.find(u'.') != std::u16string::npos && extension == Lowered(pattern.substr(2));
  }
  if (extension.empty()) return false;
  return Lowered(pattern).find(extension) != std::u16string::npos;
}

std::u16string SizeText(uint64_t bytes, const std::u16string& unit) {
  const uint64_t kilobytes = bytes / 1024 + (bytes % 1024 ? 1 : 0);
  return DecimalText(static_cast<int64_t>(kilobytes)) + unit;
}

std::u16string FormatFileDate(const DateFields& date, int format) {
  const std::u16string dd = TwoDigits(date.day);
  const std::u16string mm = TwoDigits(date.month);
  const std::u16string yyyy = FourDigits(date.year);
  if (format == kDateFormatFrench) {
    return dd + u"/" + mm + u"/" + yyyy + u"  " + TwoDigits(date.hour) + u":" + TwoDigits(date.minute) + u":" +
           TwoDigits(date.second);
  }
  if (format == kDateFormatUs) return mm + u"/" + dd + u"/" + yyyy + u"  " + TwelveHourTime(date);
  return dd + u"/" + mm + u"/" + yyyy + u"  " + TwelveHourTime(date);
}

bool IsValidFileName(const std::u16string& name) {
  if (name.empty()) return false;
  for (char16_t c : name) {
    if (c < 32 || c == 127) return false;
    if (std::u16string_view(u"\"*/:<>?\\|").find(c) != std::u16string_view::npos) return false;
  }
  return true;
}

bool SamePathText(const std::u16string& a, const std::u16string& b) { return Lowered(a) == Lowered(b); }

void AddRecentFolderTo(std::vector<std::u16string>& recents, const std::u16string& folder, int maxRecents) {
  std::erase_if(recents, [&](const std::u16string& entry) { return SamePathText(entry, folder); });
  recents.insert(recents.begin(), folder);
  while (static_cast<int>(recents.size()) > std::max(1, maxRecents)) recents.pop_back();
}

std::u16string WithSeparator(const std::u16string& folder) {
  if (folder.empty() || folder.back() == u'\\' || folder.back() == u'/') return folder;
  return folder + u'\\';
}

}  // namespace zx
