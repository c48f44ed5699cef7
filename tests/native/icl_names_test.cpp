#include "formats/icl_names.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/messages.h"

namespace zx {
namespace {

std::vector<uint8_t> Bytes(const std::string& text) { return std::vector<uint8_t>(text.begin(), text.end()); }

TEST(IclNames, TableTextEndsAtTheFirstZeroByte) {
  const std::vector<uint8_t> bytes = Bytes(std::string("\x03ICL\x02" "ab\0\x01" "c", 10));
  EXPECT_EQ(IclNameTableText(bytes.data(), bytes.size()), u"\x03ICL\x02" u"ab");
  const std::vector<uint8_t> high = {0x03, 'I', 'C', 'L', 0x01, 0xE9};
  EXPECT_EQ(IclNameTableText(high.data(), high.size()), std::u16string(u"\x03ICL\x01\u00E9"));
}

TEST(IclNames, CountsNamesAfterTheTag) {
  struct Case {
    const char16_t* text;
    int64_t count;
  } cases[] = {
      {u"\x03ICL", 0},
      {u"\x03ICL\x01" u"a", 1},
      {u"\x03ICL\x01" u"a\x02" u"bc", 2},
      // A name running past the end is counted and ends the count.
      {u"\x03ICL\x01" u"a\x09" u"bc", 2},
      {u"\x03IC", -1},
      {u"\x03ICX\x01" u"a", -1},
      {u"", -1},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.text, c.text + std::char_traits<char16_t>::length(c.text)));
    EXPECT_EQ(CountIclNames(c.text), c.count);
  }
}

TEST(IclNames, LabelsOfTheNameTableAndTheirFaults) {
  struct Case {
    const char* name;
    std::string bytes;
    size_t count;
    int site;  // 0: success
    std::vector<std::u16string> labels;
  } cases[] = {
      {"two names", std::string("\x03ICL\x06" "Folder\x04" "Disk", 16), 2, 0, {u"Folder", u"Disk"}},
      {"fewer wanted than listed", std::string("\x03ICL\x01" "a\x01" "b", 8), 1, 0, {u"a"}},
      {"name starting with byte 3", std::string("\x03ICL\x02\x03" "x", 7), 1, 0, {u""}},
      {"no tag", std::string("\x03ICX\x01" "a", 6), 1, 8, {}},
      {"too short for the tag", std::string("\x03IC", 3), 1, 8, {}},
      {"length byte past the end", std::string("\x03ICL\x01" "a", 6), 2, 9, {}},
      {"length 0", std::string("\x03ICL\x01" "a\x00\x01" "b", 9), 2, 10, {}},
      {"name past the end", std::string("\x03ICL\x05" "ab", 7), 1, 11, {}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    ThreadContext ctx;
    std::vector<std::u16string> labels;
    const std::vector<uint8_t> bytes = Bytes(c.bytes);
    const int result = ReadIclNameTableLabels(ctx, bytes.data(), bytes.size(), c.count, labels);
    if (c.site == 0) {
      EXPECT_EQ(result, 1);
      EXPECT_EQ(ctx.error, 0);
      EXPECT_EQ(labels, c.labels);
    } else {
      EXPECT_EQ(result, 0);
      EXPECT_EQ(ctx.error, MakeError(kMsgGroupNames, c.site));
    }
  }
}

TEST(IclNames, NumberLabels) {
  EXPECT_EQ(GroupNumberLabel(1), u"#1");
  EXPECT_EQ(GroupNumberLabel(32767), u"#32767");
}

}  // namespace
}  // namespace zx
