// The preference file's text layer: exact layout written, tolerant reading,
// numbers and the two text codecs.
#include <gtest/gtest.h>

#include <climits>
#include <string>
#include <vector>

#include "prefs/preference_file.h"

namespace zx {
namespace {

std::vector<uint8_t> Bytes(std::string_view text) {
  return std::vector<uint8_t>(text.begin(), text.end());
}

std::string AsString(const std::vector<uint8_t>& bytes) {
  return std::string(bytes.begin(), bytes.end());
}

void ExpectSameDocument(const PreferenceDocument& expected, const PreferenceDocument& actual) {
  ASSERT_EQ(expected.groups.size(), actual.groups.size());
  for (size_t g = 0; g < expected.groups.size(); ++g) {
    SCOPED_TRACE(g);
    EXPECT_EQ(expected.groups[g].name, actual.groups[g].name);
    ASSERT_EQ(expected.groups[g].entries.size(), actual.groups[g].entries.size());
    for (size_t e = 0; e < expected.groups[g].entries.size(); ++e) {
      EXPECT_EQ(expected.groups[g].entries[e].key, actual.groups[g].entries[e].key);
      EXPECT_EQ(expected.groups[g].entries[e].value, actual.groups[g].entries[e].value);
    }
  }
}

TEST(PreferenceFileTest, SerialiseWritesTheExactLayout) {
  PreferenceDocumentBuilder builder;
  builder.Group(u"Version").Text(u"QOR", u"2.00 beta 2");
  builder.Group(u"Favoris");  // an empty group still gets its line
  builder.Group(u"Recents")
      .Text(u"Path_0", u"C:\\Caf\u00e9\\\U0001F600")
      .Text(u"Path_1", u"")
      .Text(u"Path_2", u"a\r\nb");  // a line break would split the line
  builder.Group(u"Fichiers").Number(u"Parametres", INT64_MIN);

  const std::string expected =
      "\xEF\xBB\xBF\r\n"
      "[Version]\r\n"
      "QOR = 2.00 beta 2\r\n"
      "\r\n"
      "[Favoris]\r\n"
      "\r\n"
      "[Recents]\r\n"
      "Path_0 = C:\\Caf\xC3\xA9\\\xF0\x9F\x98\x80\r\n"
      "Path_1 = \r\n"
      "Path_2 = ab\r\n"
      "\r\n"
      "[Fichiers]\r\n"
      "Parametres = -9223372036854775808\r\n";
  const std::vector<uint8_t> written = SerialisePreferenceFile(builder.Document());
  EXPECT_EQ(expected, AsString(written));

  // Reading gives back what was written (line breaks aside).
  PreferenceDocument reread = builder.Document();
  reread.groups[2].entries[2].value = u"ab";
  ExpectSameDocument(reread, ParsePreferenceFile(written));
}

TEST(PreferenceFileTest, ParseToleratesHandEditedFiles) {
  // No byte-order mark: Windows-1252 text. LF and lone CR line ends, blanks
  // and tabs before names, comments, stray lines.
  const std::vector<uint8_t> file = Bytes(
      "orphan = before any group\n"
      "[Recents]\r\n"
      "\t  Path_0 = C:\\Caf\xE9 \x80\n"
      "; a comment = not a key\r"
      "   ;indented comment = no\n"
      "line without equals sign\n"
      "[broken group\n"
      "  Key\t =\t value with trailing blanks  \n"
      "=no key\n"
      "\n"
      "[Fichiers] trailing text\r\n"
      "Parametres=12\r\n"
      "[]\n"
      "k = v = w");
  PreferenceDocument expected;
  expected.groups = {
      {u"Recents",
       {{u"Path_0", u"C:\\Caf\u00e9 \u20ac"},
        {u"Key", u"value with trailing blanks  "},
        {u"", u"no key"}}},
      {u"Fichiers", {{u"Parametres", u"12"}}},
      {u"", {{u"k", u"v = w"}}},
  };
  ExpectSameDocument(expected, ParsePreferenceFile(file));
}

TEST(PreferenceFileTest, ParseHandlesEmptyAndMarkOnlyFiles) {
  EXPECT_TRUE(ParsePreferenceFile({}).groups.empty());
  EXPECT_TRUE(ParsePreferenceFile(Bytes("\xEF\xBB\xBF")).groups.empty());
  EXPECT_TRUE(ParsePreferenceFile(Bytes("\xEF\xBB")).groups.empty());
  // A mark anywhere but at the very start is text, so "[A]" is no group line.
  EXPECT_TRUE(ParsePreferenceFile(Bytes(" \xEF\xBB\xBF[A]")).groups.empty());
  EXPECT_TRUE(ParsePreferenceFile(Bytes("\xEF\xBB\xBF\xEF\xBB\xBF[A]")).groups.empty());
}

TEST(PreferenceFileTest, LookupIgnoresCaseAndTakesTheFirstMatch) {
  const PreferenceDocument document = ParsePreferenceFile(Bytes(
      "\xEF\xBB\xBF[LANGUES]\r\nPARAMETRES = 1\r\nParametres = 2\r\n[Langues]\r\nParametres = 3\r\n"));
  const PreferenceGroup* group = FindPreferenceGroup(document, u"langues");
  ASSERT_NE(nullptr, group);
  EXPECT_EQ(&document.groups[0], group);
  EXPECT_EQ(1, ReadPreferenceQuad(group, u"parametres", 9));
  EXPECT_EQ(1, ReadPreferenceLong(group, u"Parametres", 9));
  EXPECT_EQ(u"1", ReadPreferenceText(group, u"Parametres"));

  // Absent key or group: the default.
  EXPECT_EQ(9, ReadPreferenceQuad(group, u"Other", 9));
  EXPECT_EQ(-4, ReadPreferenceLong(nullptr, u"Parametres", -4));
  EXPECT_EQ(u"", ReadPreferenceText(nullptr, u"Source"));
  EXPECT_EQ(nullptr, FindPreferenceGroup(document, u"Langue"));
  // Only ASCII letters fold.
  EXPECT_FALSE(SamePreferenceName(u"\u00e9", u"\u00c9"));
}

TEST(PreferenceFileTest, NumbersParseLikeTheStoredFields) {
  struct Case {
    std::u16string_view text;
    int64_t quad;
    int32_t longValue;
  };
  const Case cases[] = {
      {u"42", 42, 42},
      {u"  \t-12abc", -12, -12},
      {u"+7", 7, 7},
      {u"", 0, 0},
      {u"abc", 0, 0},
      {u"- 5", 0, 0},
      {u"--5", 0, 0},
      {u"3.9", 3, 3},
      {u"-9223372036548575236", -9223372036548575236LL, 306200572},
      {u"-9223372036854775808", INT64_MIN, 0},
      {u"9223372036854775807", INT64_MAX, -1},
      // Bit 63 spelled as an unsigned number still reads as bit 63.
      {u"9223372036854775808", INT64_MIN, 0},
      {u"18446744073709551615", -1, -1},
      // Overlong numbers wrap instead of failing.
      {u"18446744073709551616", 0, 0},
      {u"-2147483648", -2147483648LL, INT32_MIN},
      {u"4294967297", 4294967297LL, 1},
      {u"000000000000000000000000000000000000000000000012", 12, 12},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.text.begin(), c.text.end()));
    EXPECT_EQ(c.quad, ParsePreferenceQuad(c.text));
    EXPECT_EQ(c.longValue, ParsePreferenceLong(c.text));
  }
  for (int64_t value : {int64_t{0}, int64_t{-1}, INT64_MIN, INT64_MAX, int64_t{306200572}}) {
    EXPECT_EQ(value, ParsePreferenceQuad(FormatPreferenceNumber(value)));
  }
  EXPECT_EQ(u"-9223372036854775808", FormatPreferenceNumber(INT64_MIN));
}

TEST(PreferenceFileTest, BrokenUtf8ReadsAsReplacementCharacters) {
  // Valid four-byte sequences come back as surrogate pairs; broken ones
  // (overlong, encoded surrogate, cut short, stray bytes) never end a line
  // or swallow the next key.
  const PreferenceDocument document = ParsePreferenceFile(Bytes(
      "\xEF\xBB\xBF[R\xC3\xA9]\r\n"
      "a = \xF0\x9F\x98\x80\r\n"
      "b = x\xC0\xAFy\xED\xA0\x80\xE2\x82\r\n"
      "c = \xFF\r\n"));
  ASSERT_EQ(1u, document.groups.size());
  EXPECT_EQ(u"R\u00e9", document.groups[0].name);
  const PreferenceGroup& group = document.groups[0];
  EXPECT_EQ(u"\U0001F600", ReadPreferenceText(&group, u"a"));
  const std::u16string broken = ReadPreferenceText(&group, u"b");
  EXPECT_EQ(u'x', broken.front());
  EXPECT_NE(std::u16string::npos, broken.find(u'y'));
  for (char16_t c : broken.substr(1)) EXPECT_TRUE(c == u'y' || c == 0xFFFD);
  EXPECT_EQ(u"\uFFFD", ReadPreferenceText(&group, u"c"));
}

TEST(PreferenceFileTest, UnpairedSurrogatesAreWrittenAsReplacementCharacters) {
  PreferenceDocumentBuilder builder;
  builder.Group(u"G").Text(u"k", std::u16string{u'a', char16_t(0xD83D), u'b', char16_t(0xDE00)});
  EXPECT_EQ("\xEF\xBB\xBF\r\n[G]\r\nk = a\xEF\xBF\xBD" "b\xEF\xBF\xBD\r\n",
            AsString(SerialisePreferenceFile(builder.Document())));
}

TEST(PreferenceFileTest, Windows1252DecodingCoversTheHighControlRange) {
  EXPECT_EQ(u"\u20ac\u0081\u201a\u0178\u00a0\u00e9\u00ff", DecodeWindows1252(Bytes("\x80\x81\x82\x9F\xA0\xE9\xFF")));
}

}  // namespace
}  // namespace zx
