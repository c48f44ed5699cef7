// The catalogue as the program's own string tables hold it.
#include <gtest/gtest.h>

#include <fstream>
#include <sstream>
#include <string>

#include "core/catalogue.h"
#include "core/ui_text_win.h"
#include "core/utf8.h"

namespace zx {
namespace {

TEST(UiText, LooksUpExactlyTheLanguageAskedFor) {
  EXPECT_EQ(UiText(16005, 0), u"*.ico");
  EXPECT_EQ(UiText(16005, 2057), u"ico files (*.ico)");
  EXPECT_EQ(UiText(238, 2057), u"");
  EXPECT_EQ(UiText(30000, 0), u"Zorvex version 2.00 beta 2");
  // Neutral texts exist in no other language, even where the loader would fall back.
  EXPECT_EQ(UiText(30000, 2057), u"");
  EXPECT_EQ(UiText(30000, 1036), u"");
  EXPECT_EQ(UiText(20008, 2057), u"Error ");
  EXPECT_EQ(UiText(20008, 1036), u"Erreur ");
  EXPECT_EQ(UiText(20009, 1036), u"Erreur secondaire ");
  EXPECT_EQ(UiText(202, 2057), u"");
  EXPECT_EQ(UiText(37, 1031), u"");
}

TEST(UiText, TitlesAndTags) {
  EXPECT_EQ(ProductTitle(), u"Zorvex version 2.00 beta 2");
  EXPECT_EQ(ArchitectureTag(), u"(x64)");
  EXPECT_EQ(WindowTitle(1, 2057), u"Zorvex version 2.00 beta 2");
  EXPECT_EQ(WindowTitle(4, 2057), TrimSpaces(UiText(4005, 2057)) + u" - Zorvex version 2.00 beta 2");
}

// Decodes the escapes of the catalogue's text files.
std::u16string Unescape(const std::string& text) {
  std::string out;
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '\\' && i + 1 < text.size()) {
      const char e = text[++i];
      out += e == 'n' ? '\n' : e == 'r' ? '\r' : e == 't' ? '\t' : e;
    } else {
      out += text[i];
    }
  }
  return FromUtf8(out);
}

// Every text of the catalogue's source files reads back unchanged from the
// compiled program, in its own language.
TEST(UiText, EveryCatalogueTextSurvivesTheResourceCompiler) {
  const struct {
    const char* file;
    int language;
  } sources[] = {{"english.tsv", 2057}, {"french.tsv", 1036}, {"neutral.tsv", 0}};
  int checked = 0;
  for (const auto& source : sources) {
    std::ifstream in(std::string(ZX_SOURCE_DIR) + "/src/resources/strings/" + source.file, std::ios::binary);
    ASSERT_TRUE(in) << source.file;
    std::string line;
    while (std::getline(in, line)) {
      if (line.empty() || line[0] == '#') continue;
      const size_t tab = line.find('\t');
      ASSERT_NE(tab, std::string::npos) << line;
      const int number = std::stoi(line.substr(0, tab));
      EXPECT_EQ(UiText(number, source.language), Unescape(line.substr(tab + 1)))
          << source.file << " " << number;
      ++checked;
    }
  }
  EXPECT_GT(checked, 600);
}

TEST(UiText, EnglishAndFrenchHoldTheSameNumbers) {
  for (int number = 0; number < 30000; ++number) {
    EXPECT_EQ(UiText(number, 2057).empty(), UiText(number, 1036).empty()) << number;
  }
}

}  // namespace
}  // namespace zx
