// The batch conversion's decisions that need no system: which names a scan
// takes, which boxes accept a file, the save commands, output names and
// their numbering, the log's lines and the counter display.
#include <gtest/gtest.h>

#include <map>
#include <set>

#include "convert/conversion_job.h"
#include "convert/conversion_log_lines.h"
#include "convert/conversion_progress.h"
#include "convert/conversion_rules.h"

namespace zx {
namespace {

TEST(PatternTakes, ComparesTheExtensionAnywhereInThePattern) {
  const struct {
    const char16_t* pattern;
    const char16_t* name;
    bool taken;
  } cases[] = {
      {u"*.dll", u"x.dll", true},       {u"*.dll", u"X.DLL", true},
      {u"*.dll", u"x.dl", true},        {u"*.dll", u"x.l", true},
      {u"*.dll", u"noextension", false}, {u"*.dll", u"trailing.", false},
      {u"*.dll", u"x.exe", false},      {u"*.cpl;*.dll", u"a.CPL", true},
      {u"*.dll", u"C:\\a.dll\\plain", false}, {u"*.ico", u"C:\\f\\b.ico", true},
      {u"", u"x.dll", false},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(PatternTakes(c.pattern, c.name), c.taken)
        << std::string(c.name, c.name + std::char_traits<char16_t>::length(c.name));
  }
}

TEST(PatternOfSources, ListsEachCheckedExtensionOnce) {
  EXPECT_EQ(PatternOfSources({1048, 1055, 1058}), u"*.dll;*.ico");
  EXPECT_EQ(PatternOfSources({1058, 1047}), u"*.cpl;*.ico");
  EXPECT_EQ(PatternOfSources({}), u"");
  EXPECT_EQ(PatternOfSources({1047, 1048, 1049, 1050, 1052, 1053, 1054, 1055, 1056, 1057, 1058}),
            u"*.cpl;*.dll;*.drv;*.exe;*.icl;*.ocx;*.scr;*.ico");
}

TEST(SourceAccepted, NeedsTheBoxOfTheContainerAndExtensionKind) {
  const AcceptedSources peDll = {1048};
  EXPECT_TRUE(SourceAccepted(peDll, kContainerPe, kExtensionDll));
  EXPECT_FALSE(SourceAccepted(peDll, kContainerNe, kExtensionDll));
  EXPECT_FALSE(SourceAccepted(peDll, kContainerPe, kExtensionOther));
  const AcceptedSources every = {1047, 1048, 1049, 1050, 1052, 1053, 1054, 1055, 1056, 1057, 1058};
  // No box stands for an NE .cpl, .drv, .ocx or .scr, or for any other extension.
  for (ExtensionKind kind : {kExtensionCpl, kExtensionDrv, kExtensionOcx, kExtensionScr, kExtensionIco}) {
    EXPECT_FALSE(SourceAccepted(every, kContainerNe, kind)) << kind;
  }
  for (ContainerKind container : {kContainerPe, kContainerNe, kContainerIco, kContainerNone}) {
    EXPECT_FALSE(SourceAccepted(every, container, kExtensionOther)) << container;
  }
  EXPECT_TRUE(SourceAccepted(every, kContainerIco, kExtensionIco));
  EXPECT_FALSE(SourceAccepted(every, kContainerIco, kExtensionDll));
}

TEST(SaveCommandOf, GivesEachTargetAndModeItsCommandAndBack) {
  const std::map<int, std::pair<ConversionTarget, int>> table = {
      {14, {ConversionTarget::kIco, kVistaKeep}},   {15, {ConversionTarget::kIco, kVistaUncompress}},
      {16, {ConversionTarget::kNeIcl, kVistaKeep}}, {17, {ConversionTarget::kNeIcl, kVistaUncompress}},
      {18, {ConversionTarget::kPeIcl, kVistaKeep}}, {19, {ConversionTarget::kPeIcl, kVistaUncompress}},
      {20, {ConversionTarget::kPeDll, kVistaKeep}}, {21, {ConversionTarget::kPeDll, kVistaUncompress}},
  };
  for (const auto& [command, row] : table) {
    EXPECT_EQ(SaveCommandOf(row.first, row.second), command);
    ConversionTarget target;
    int mode = -1;
    ASSERT_TRUE(TargetOfSaveCommand(command, target, mode));
    EXPECT_EQ(target, row.first);
    EXPECT_EQ(mode, row.second);
  }
  ConversionTarget target;
  int mode;
  EXPECT_FALSE(TargetOfSaveCommand(13, target, mode));
  EXPECT_FALSE(TargetOfSaveCommand(22, target, mode));
}

TEST(FirstOutputCandidate, ReplacesTheExtensionOrAddsTheNeSuffix) {
  const std::u16string d = u"D:\\out\\";
  const struct {
    const char16_t* source;
    ConversionTarget target;
    const char16_t* candidate;
  } cases[] = {
      {u"C:\\w\\shell32.dll", ConversionTarget::kIco, u"D:\\out\\shell32.ico"},
      {u"C:\\w\\shell32.dll", ConversionTarget::kPeDll, u"D:\\out\\shell32.dll"},
      {u"C:\\w\\shell32.dll", ConversionTarget::kPeIcl, u"D:\\out\\shell32.icl"},
      {u"C:\\w\\shell32.dll", ConversionTarget::kNeIcl, u"D:\\out\\shell32_Icl_NE.icl"},
      {u"C:\\w\\plain", ConversionTarget::kIco, u"D:\\out\\plain.ico"},
      {u"C:\\w\\plain", ConversionTarget::kNeIcl, u"D:\\out\\plain_Icl_NE.icl"},
      {u"C:\\w.x\\a.b.exe", ConversionTarget::kPeIcl, u"D:\\out\\a.b.icl"},
  };
  for (const auto& c : cases) EXPECT_EQ(FirstOutputCandidate(d, c.source, c.target), c.candidate);
}

TEST(MakeOutputPath, NumbersAroundFilesButNotAroundAFolder) {
  const std::map<std::u16string, PathKind> disk = {
      {u"D:\\shell32.ico", PathKind::kFile},         {u"D:\\shell32_1.ico", PathKind::kFile},
      {u"D:\\shell32_2.ico", PathKind::kFolder},     {u"D:\\shell32_Icl_NE.icl", PathKind::kFile},
      {u"D:\\a.ico", PathKind::kFolder},
  };
  const PathProbe probe = [&](const std::u16string& path) {
    const auto found = disk.find(path);
    return found == disk.end() ? PathKind::kMissing : found->second;
  };
  EXPECT_EQ(MakeOutputPath(u"D:\\", u"C:\\shell32.dll", ConversionTarget::kIco, probe), u"D:\\shell32_3.ico");
  EXPECT_EQ(MakeOutputPath(u"D:\\", u"C:\\shell32.dll", ConversionTarget::kNeIcl, probe),
            u"D:\\shell32_Icl_NE_1.icl");
  EXPECT_EQ(MakeOutputPath(u"D:\\", u"C:\\shell32.dll", ConversionTarget::kPeDll, probe), u"D:\\shell32.dll");
  // The converter fails on the folder and its failure is logged.
  EXPECT_EQ(MakeOutputPath(u"D:\\", u"C:\\a.dll", ConversionTarget::kIco, probe), u"D:\\a.ico");
}

std::u16string FakeText(int number, int language) {
  const std::map<int, std::u16string> english = {
      {4003, u"  Conversion  "}, {20008, u"Error "}, {20009, u"Sub Error "},
      {54, u"The file has no icon"}, {28, u"File format doesn't match with awaited image format"},
      {24, u"Unable to create file [system error]"}};
  const std::map<int, std::u16string> french = {{20008, u"Erreur "}, {20009, u"Erreur secondaire "},
                                                {54, u"Le fichier ne contient aucune icône"},
                                                {24, u"Impossible de créer le fichier"}};
  const auto& table = language == 1036 ? french : english;
  const auto found = table.find(number);
  return found == table.end() ? u"" : found->second;
}

TEST(ConversionLogLines, FollowTheLogFormat) {
  EXPECT_EQ(ConversionHeaderLine(FakeText, 2057, u"(x64)"), u"Conversion  (x64)");
  const std::vector<std::u16string> info = ConversionProblemLines(FakeText, 2057, u"C:\\a.dll", 54);
  EXPECT_EQ(info, (std::vector<std::u16string>{u"C:\\a.dll", u"Info : The file has no icon", u""}));
  // The site is dropped for a notice.
  EXPECT_EQ(ConversionMessageLine(FakeText, 1036, (50 << 16) + 54),
            u"Info : Le fichier ne contient aucune icône");
  EXPECT_EQ(ConversionMessageLine(FakeText, 2057, 28),
            u"File format doesn't match with awaited image format (Error 28)");
  EXPECT_EQ(ConversionMessageLine(FakeText, 2057, (650 << 16) + 24),
            u"Unable to create file [system error] (Error 24 / Sub Error 650)");
  EXPECT_EQ(ConversionMessageLine(FakeText, 1036, (650 << 16) + 24),
            u"Impossible de créer le fichier (Erreur 24 / Erreur secondaire 650)");
}

class RecordingProgress : public ConversionProgress {
 public:
  void ShowCounter(CounterField field, int64_t value) override { shown.push_back({field, value}); }
  void ShowPosition(int64_t position, int64_t range) override { positions.push_back({position, range}); }
  void ReportRunError(ThreadContext&) override {}
  std::vector<std::pair<CounterField, int64_t>> shown;
  std::vector<std::pair<int64_t, int64_t>> positions;
};

TEST(CounterDisplay, RewritesOnlyChangedFieldsButErrorsAlways) {
  RecordingProgress progress;
  CounterDisplay display(progress);
  display.counters.toProcess = 3;
  display.ShowAll();
  EXPECT_EQ(progress.shown.size(), 6u);
  progress.shown.clear();
  display.ShowChanged();
  EXPECT_EQ(progress.shown, (std::vector<std::pair<CounterField, int64_t>>{{CounterField::kErrors, 0}}));
  progress.shown.clear();
  display.counters.processed = 1;
  display.counters.created = 2;
  display.ShowChanged();
  EXPECT_EQ(progress.shown, (std::vector<std::pair<CounterField, int64_t>>{
                                {CounterField::kProcessed, 1}, {CounterField::kRemaining, 2},
                                {CounterField::kCreated, 2}, {CounterField::kErrors, 0}}));
  EXPECT_EQ(progress.positions.back(), (std::pair<int64_t, int64_t>{1, 3}));
}

TEST(ConversionPathList, KeepsDuplicatesAndRefusesBeyondItsLimit) {
  ConversionPathList list;
  list.limit = 2;
  EXPECT_EQ(list.Append(u"a"), 1);
  EXPECT_EQ(list.Append(u"a"), 1);
  EXPECT_EQ(list.Append(u"b"), 0);
  EXPECT_EQ(list.size(), 2u);
  EXPECT_EQ(list[1], u"a");
}

}  // namespace
}  // namespace zx
