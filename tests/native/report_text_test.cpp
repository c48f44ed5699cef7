#include "core/report_text.h"

#include <gtest/gtest.h>

#include <map>
#include <utility>

namespace zx {
namespace {

// A small catalogue standing in for the program's string tables.
TextLookup FakeCatalogue() {
  static const std::map<std::pair<int, int>, std::u16string> texts = {
      {{4, 2057}, u"The pointer value is null"},
      {{4, 1036}, u"Le pointeur est nul"},
      {{21, 2057}, u"Unable to remove the only icons group from file.\nicl NE/PE format only."},
      {{54, 2057}, u"The file has no icon"},
      {{54, 1036}, u"Le fichier ne contient aucune icône"},
      {{200, 2057}, u"Unable to create Zorvex main window. \r Zorvex is going to stop."},
      {{200, 1036}, u"Impossible de créer la fenêtre. \r Zorvex va s'arrêter."},
      {{201, 2057}, u"Windows Themes have just changed."},
      {{201, 1036}, u"Les thèmes ont changé."},
      {{2012, 2057}, u"File :"},
      {{2012, 1036}, u"Fichier :"},
      {{2014, 2057}, u" (ICO format)"},
      {{2017, 2057}, u" (PE format)"},
      {{2020, 2057}, u" (NE format)"},
      {{20008, 2057}, u"Error "},
      {{20008, 1036}, u"Erreur "},
      {{20009, 2057}, u"Sub Error "},
      {{20009, 1036}, u"Erreur secondaire "},
      {{30000, 0}, u"Zorvex version 2.00 beta 2"},
      {{3011, 2057}, u"  About  "},
      {{4005, 2057}, u"Preferences"},
  };
  return [](int number, int language) {
    auto found = texts.find({number, language});
    return found == texts.end() ? std::u16string() : found->second;
  };
}

TEST(ReportText, MessageBoxPadsTheTextTo55AndAddsTheNumbers) {
  const std::u16string text = MessageBoxReportText(FakeCatalogue(), 2057, 4, 171);
  const std::u16string padded = u"The pointer value is null" + std::u16string(55 - 25, u' ');
  EXPECT_EQ(text, padded + u"\n(Error 4 / Sub Error 171)");
  // A text already longer than 55 characters is not cut.
  const std::u16string longText = MessageBoxReportText(FakeCatalogue(), 2057, 21, 0);
  EXPECT_EQ(longText.substr(0, 48), u"Unable to remove the only icons group from file.");
  EXPECT_EQ(longText.substr(longText.size() - 11), u"\n(Error 21)");
}

TEST(ReportText, FatalMessagesShowMessage200WithTheirOwnNumber) {
  const TextLookup lookup = FakeCatalogue();
  EXPECT_EQ(FatalReportText(lookup, 2057, 207),
            u"Unable to create Zorvex main window. \r Zorvex is going to stop.\n(Error 207)\n");
  // French users read both languages, French first.
  EXPECT_EQ(FatalReportText(lookup, 1036, 218),
            u"Impossible de créer la fenêtre. \r Zorvex va s'arrêter.\n(Erreur 218)\n"
            u"\nUnable to create Zorvex main window. \r Zorvex is going to stop.\n(Error 218)\n");
  EXPECT_EQ(FatalReportText(lookup, 2057, 201), u"Windows Themes have just changed.\n");
  EXPECT_EQ(FatalReportText(lookup, 1036, 201), u"Les thèmes ont changé.\n\nWindows Themes have just changed.\n");
}

TEST(ReportText, ErrorTextOutsideTheTwoLanguagesIsQuestionMarks) {
  EXPECT_EQ(ErrorTextFor(FakeCatalogue(), 1031, 4), u"??");
  EXPECT_EQ(ErrorTextFor(FakeCatalogue(), 1036, 4), u"Le pointeur est nul");
}

TEST(ReportText, PanelLinesInBothLanguages) {
  ErrorPanelLines english;
  FillErrorPanelLines(FakeCatalogue(), 2057, 4, 171, u"C:\\icons\\a.ico", kContainerIco, english);
  EXPECT_EQ(english.messageLine, u"  The pointer value is null");
  EXPECT_EQ(english.fileLine, u"File :a.ico");
  EXPECT_EQ(english.fileAndFormatLine, u"File :a.ico (ICO format)");
  EXPECT_EQ(english.numberLine, u"Error 4 / Sub Error 171");

  ErrorPanelLines french;
  FillErrorPanelLines(FakeCatalogue(), 1036, 54, 3, u"C:\\x\\b.dll", kContainerPe, french);
  EXPECT_EQ(french.messageLine, u"  Le fichier ne contient aucune icône");
  EXPECT_EQ(french.numberLine, u"Erreur 54 / Erreur secondaire 3");
}

TEST(ReportText, NoIconNoticeHasNoNumberLine) {
  ErrorPanelLines lines;
  FillErrorPanelLines(FakeCatalogue(), 2057, 54, 50, u"C:\\x\\b.dll", kContainerNone, lines);
  EXPECT_EQ(lines.messageLine, u"  The file has no icon");
  EXPECT_EQ(lines.numberLine, u"");
  EXPECT_EQ(lines.fileAndFormatLine, u"File :b.dll");
  FillErrorPanelLines(FakeCatalogue(), 2057, 54, 4, u"C:\\x\\b.dll", kContainerNone, lines);
  EXPECT_EQ(lines.numberLine, u"Error 54 / Sub Error 4");
}

TEST(ReportText, FormatLineKeptForSameNameAndRunningProgram) {
  struct Case {
    int message;
    ContainerKind container;
    bool kept;
  } cases[] = {
      {38, kContainerIco, true}, {39, kContainerPe, true}, {39, kContainerNone, true},
      {39, kContainerIco, false}, {39, kContainerNe, false}, {37, kContainerPe, false},
  };
  for (const Case& c : cases) {
    ErrorPanelLines lines;
    lines.fileAndFormatLine = u"before";
    FillErrorPanelLines(FakeCatalogue(), 2057, c.message, 1, u"x.dll", c.container, lines);
    EXPECT_EQ(lines.fileAndFormatLine == u"before", c.kept) << c.message << " " << c.container;
  }
}

TEST(WindowTitle, NamedKindsPutTheirTrimmedNameFirst) {
  EXPECT_EQ(WindowTitleFrom(FakeCatalogue(), 2057, 2), u"About - Zorvex version 2.00 beta 2");
  EXPECT_EQ(WindowTitleFrom(FakeCatalogue(), 2057, 4), u"Preferences - Zorvex version 2.00 beta 2");
  EXPECT_EQ(WindowTitleFrom(FakeCatalogue(), 2057, 1), u"Zorvex version 2.00 beta 2");
}

}  // namespace
}  // namespace zx
