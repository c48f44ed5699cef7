#include "prefs/preference_file.h"

#include <string>

#include "core/utf8.h"

namespace zx {
namespace {

bool IsBlank(char16_t c) { return c == u' ' || c == u'\t'; }
bool IsLineBreak(char16_t c) { return c == u'\r' || c == u'\n'; }

char16_t FoldAscii(char16_t c) { return (c >= u'A' && c <= u'Z') ? c + (u'a' - u'A') : c; }

// Windows-1252 characters of bytes 0x80-0x9F; the five bytes the code page
// leaves undefined map to the C1 controls, as the system's conversion does.
constexpr char16_t kWindows1252High[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,
    0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,
};

std::u16string_view TrimTrailingBlanks(std::u16string_view text) {
  while (!text.empty() && IsBlank(text.back())) text.remove_suffix(1);
  return text;
}

void AppendLine(std::string& out, std::u16string_view text) {
  std::u16string clean;
  clean.reserve(text.size());
  for (char16_t c : text) {
    if (!IsLineBreak(c)) clean.push_back(c);
  }
  out += ToUtf8(clean);
  out += "\r\n";
}

void ParseLine(std::u16string_view line, PreferenceDocument& document) {
  size_t start = 0;
  while (start < line.size() && IsBlank(line[start])) ++start;
  line.remove_prefix(start);
  if (line.empty() || line.front() == u';') return;
  if (line.front() == u'[') {
    const size_t close = line.find(u']');
    if (close == std::u16string_view::npos) return;
    document.groups.push_back(PreferenceGroup{std::u16string(line.substr(1, close - 1)), {}});
    return;
  }
  const size_t equals = line.find(u'=');
  if (equals == std::u16string_view::npos || document.groups.empty()) return;
  std::u16string_view value = line.substr(equals + 1);
  size_t valueStart = 0;
  while (valueStart < value.size() && IsBlank(value[valueStart])) ++valueStart;
  document.groups.back().entries.push_back(
      PreferenceEntry{std::u16string(TrimTrailingBlanks(line.substr(0, equals))),
                      std::u16string(value.substr(valueStart))});
}

}  // namespace

std::u16string DecodeWindows1252(std::span<const uint8_t> bytes) {
  std::u16string out;
  out.reserve(bytes.size());
  for (uint8_t b : bytes) {
    out.push_back((b >= 0x80 && b <= 0x9F) ? kWindows1252High[b - 0x80] : char16_t{b});
  }
  return out;
}

PreferenceDocument ParsePreferenceFile(std::span<const uint8_t> bytes) {
  const bool hasBom = bytes.size() >= 3 && bytes[0] == 0xEF && bytes[1] == 0xBB && bytes[2] == 0xBF;
  const std::u16string text =
      hasBom ? FromUtf8(std::string(bytes.begin() + 3, bytes.end())) : DecodeWindows1252(bytes);
  PreferenceDocument document;
  const std::u16string_view view(text);
  size_t pos = 0;
  while (pos < view.size()) {
    size_t end = pos;
    while (end < view.size() && !IsLineBreak(view[end])) ++end;
    ParseLine(view.substr(pos, end - pos), document);
    if (end < view.size() && view[end] == u'\r' && end + 1 < view.size() && view[end + 1] == u'\n') {
      ++end;
    }
    pos = end + 1;
  }
  return document;
}

std::vector<uint8_t> SerialisePreferenceFile(const PreferenceDocument& document) {
  std::string out = "\xEF\xBB\xBF\r\n";
  bool first = true;
  for (const PreferenceGroup& group : document.groups) {
    if (!first) out += "\r\n";
    first = false;
    AppendLine(out, u"[" + group.name + u"]");
    for (const PreferenceEntry& entry : group.entries) {
      AppendLine(out, entry.key + u" = " + entry.value);
    }
  }
  return std::vector<uint8_t>(out.begin(), out.end());
}

bool SamePreferenceName(std::u16string_view a, std::u16string_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    if (FoldAscii(a[i]) != FoldAscii(b[i])) return false;
  }
  return true;
}

const PreferenceGroup* FindPreferenceGroup(const PreferenceDocument& document,
                                           std::u16string_view name) {
  for (const PreferenceGroup& group : document.groups) {
    if (SamePreferenceName(group.name, name)) return &group;
  }
  return nullptr;
}

const PreferenceEntry* FindPreferenceEntry(const PreferenceGroup& group, std::u16string_view key) {
  for (const PreferenceEntry& entry : group.entries) {
    if (SamePreferenceName(entry.key, key)) return &entry;
  }
  return nullptr;
}

int64_t ParsePreferenceQuad(std::u16string_view text) {
  size_t i = 0;
  while (i < text.size() && IsBlank(text[i])) ++i;
  bool negative = false;
  if (i < text.size() && (text[i] == u'-' || text[i] == u'+')) {
    negative = text[i] == u'-';
    ++i;
  }
  uint64_t magnitude = 0;
  for (; i < text.size() && text[i] >= u'0' && text[i] <= u'9'; ++i) {
    magnitude = magnitude * 10 + static_cast<uint64_t>(text[i] - u'0');
  }
  return static_cast<int64_t>(negative ? 0 - magnitude : magnitude);
}

int32_t ParsePreferenceLong(std::u16string_view text) {
  return static_cast<int32_t>(static_cast<uint32_t>(ParsePreferenceQuad(text)));
}

std::u16string FormatPreferenceNumber(int64_t value) {
  const std::string digits = std::to_string(value);
  return std::u16string(digits.begin(), digits.end());
}

int64_t ReadPreferenceQuad(const PreferenceGroup* group, std::u16string_view key,
                           int64_t fallback) {
  const PreferenceEntry* entry = group ? FindPreferenceEntry(*group, key) : nullptr;
  return entry ? ParsePreferenceQuad(entry->value) : fallback;
}

int32_t ReadPreferenceLong(const PreferenceGroup* group, std::u16string_view key,
                           int32_t fallback) {
  const PreferenceEntry* entry = group ? FindPreferenceEntry(*group, key) : nullptr;
  return entry ? ParsePreferenceLong(entry->value) : fallback;
}

std::u16string ReadPreferenceText(const PreferenceGroup* group, std::u16string_view key) {
  const PreferenceEntry* entry = group ? FindPreferenceEntry(*group, key) : nullptr;
  return entry ? entry->value : std::u16string();
}

PreferenceDocumentBuilder& PreferenceDocumentBuilder::Group(std::u16string_view name) {
  document_.groups.push_back(PreferenceGroup{std::u16string(name), {}});
  return *this;
}

PreferenceDocumentBuilder& PreferenceDocumentBuilder::Text(std::u16string_view key,
                                                           std::u16string_view value) {
  if (document_.groups.empty()) Group(u"");
  document_.groups.back().entries.push_back(
      PreferenceEntry{std::u16string(key), std::u16string(value)});
  return *this;
}

PreferenceDocumentBuilder& PreferenceDocumentBuilder::Number(std::u16string_view key,
                                                             int64_t value) {
  return Text(key, FormatPreferenceNumber(value));
}

}  // namespace zx
