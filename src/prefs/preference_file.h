// The preference file as text: INI-style groups of "key = value" lines.
// Parsing accepts any bytes; serialising writes the one exact layout:
//   EF BB BF CR LF, then per group an empty line (all but the first),
//   "[Name]" and "key = value" lines, every line ending in CR LF.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace zx {

struct PreferenceEntry {
  std::u16string key;
  std::u16string value;
};

struct PreferenceGroup {
  std::u16string name;
  std::vector<PreferenceEntry> entries;
};

// Groups in file order; a name may appear more than once.
struct PreferenceDocument {
  std::vector<PreferenceGroup> groups;
};

// Reads the file's bytes. With the UTF-8 byte-order mark the rest is UTF-8
// (invalid sequences become U+FFFD); without it the bytes are Windows-1252
// text. Lines end at CR LF, LF or CR. Blanks and tabs before a name are
// skipped; a line whose first other character is ";" is a comment; "[name]"
// starts a group (text after "]" is ignored, a line without "]" is dropped);
// "key = value" adds an entry to the current group, the key trimmed of blanks
// and tabs and the value of leading ones. Lines before the first group and
// lines without "=" are dropped.
PreferenceDocument ParsePreferenceFile(std::span<const uint8_t> bytes);

// The exact bytes of the file. Line breaks inside names or values are left
// out, since they would split the line; unpaired surrogates are written as
// U+FFFD, as UTF-8 has no form for them.
std::vector<uint8_t> SerialisePreferenceFile(const PreferenceDocument& document);

// Group and key names compare without regard to (ASCII) case.
bool SamePreferenceName(std::u16string_view a, std::u16string_view b);

// The first group or key of that name, or null.
const PreferenceGroup* FindPreferenceGroup(const PreferenceDocument& document,
                                           std::u16string_view name);
const PreferenceEntry* FindPreferenceEntry(const PreferenceGroup& group, std::u16string_view key);

// Numbers: optional blanks, an optional sign and decimal digits, stopping at
// the first other character; no digits reads as 0. Digits beyond the range
// wrap modulo 2^64 (so an unsigned spelling of a value with bit 63 set reads
// back as that value), and a "long" keeps the low 32 bits.
int64_t ParsePreferenceQuad(std::u16string_view text);
int32_t ParsePreferenceLong(std::u16string_view text);
std::u16string FormatPreferenceNumber(int64_t value);

// Value of `key` in `group` (null group: absent), or the default when absent.
int64_t ReadPreferenceQuad(const PreferenceGroup* group, std::u16string_view key,
                           int64_t fallback);
int32_t ReadPreferenceLong(const PreferenceGroup* group, std::u16string_view key,
                           int32_t fallback);
std::u16string ReadPreferenceText(const PreferenceGroup* group, std::u16string_view key);

// The 8-bit text of a file without the byte-order mark. Bytes 0x80-0x9F
// that the code page leaves undefined map to the C1 controls.
std::u16string DecodeWindows1252(std::span<const uint8_t> bytes);

// Builds a document in the order the file is written.
class PreferenceDocumentBuilder {
 public:
  PreferenceDocumentBuilder& Group(std::u16string_view name);
  PreferenceDocumentBuilder& Text(std::u16string_view key, std::u16string_view value);
  PreferenceDocumentBuilder& Number(std::u16string_view key, int64_t value);
  const PreferenceDocument& Document() const { return document_; }

 private:
  PreferenceDocument document_;
};

}  // namespace zx
