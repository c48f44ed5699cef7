// Reading and writing the preference values: defaults, what is dropped on
// reading, the start-mode and date-format rules, and the exact file written.
#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include "core/messages.h"
#include "prefs/preference_file.h"
#include "prefs/preference_rules.h"

namespace zx {
namespace {

using namespace std::string_literals;

constexpr uint16_t kEnglishUk = 2057;      // 0x0809
constexpr uint16_t kEnglishUs = 0x0409;
constexpr uint16_t kEnglishCanada = 0x1009;
constexpr uint16_t kFrenchFrance = 0x040C;
constexpr uint16_t kFrenchCanada = 0x0C0C;
constexpr uint16_t kGerman = 0x0407;

std::vector<uint8_t> Bytes(std::string_view text) {
  return std::vector<uint8_t>(text.begin(), text.end());
}

std::string AsString(const std::vector<uint8_t>& bytes) {
  return std::string(bytes.begin(), bytes.end());
}

std::u16string Widen(const std::string& ascii) { return std::u16string(ascii.begin(), ascii.end()); }

// What the disk holds, by exact path.
class FakeDisk {
 public:
  FakeDisk& Folder(const std::u16string& path) { return Add(path, PathKind::kFolder); }
  FakeDisk& File(const std::u16string& path) { return Add(path, PathKind::kFile); }
  PreferenceEnvironment Environment(uint16_t language = kEnglishUk,
                                    std::u16string currentDirectory = u"C:\\Start") const {
    PreferenceEnvironment environment;
    environment.pathKind = [this](const std::u16string& path) {
      const auto found = kinds_.find(path);
      return found == kinds_.end() ? PathKind::kMissing : found->second;
    };
    environment.userDefaultLanguage = language;
    environment.currentDirectory = std::move(currentDirectory);
    return environment;
  }

 private:
  FakeDisk& Add(const std::u16string& path, PathKind kind) {
    kinds_[path] = kind;
    return *this;
  }
  std::map<std::u16string, PathKind> kinds_;
};

PreferenceValues ReadText(const std::string& text, const PreferenceEnvironment& environment) {
  const std::vector<uint8_t> bytes = Bytes(text);
  return ReadPreferenceValues(std::span<const uint8_t>(bytes), environment);
}

std::string FileWithGroups(const std::string& body) { return "\xEF\xBB\xBF\r\n" + body; }

// The file's "Fichiers"/"Parametres" as written.
FileOptions WrittenFileOptions(const std::vector<uint8_t>& file) {
  const PreferenceDocument document = ParsePreferenceFile(file);
  return static_cast<FileOptions>(
      ReadPreferenceQuad(FindPreferenceGroup(document, u"Fichiers"), u"Parametres", 0));
}

TEST(PreferenceRulesTest, FirstRunOnEnglishUkSystemWritesTheExactFile) {
  FakeDisk disk;
  disk.Folder(u"C:\\Program Files\\Zorvex\\");
  PreferenceValues values =
      ReadPreferenceValues(std::nullopt, disk.Environment(kEnglishUk, u"C:\\Program Files\\Zorvex"));
  // Building the view menu stores the tiles view the list shows.
  values.fileOptions = NormaliseFileView(values.fileOptions);

  const std::string expected =
      "\xEF\xBB\xBF\r\n"
      "[Version]\r\n"
      "QOR = 2.00 beta 2\r\n"
      "\r\n"
      "[Filtre]\r\n"
      "Selection = 0\r\n"
      "\r\n"
      "[Recents]\r\n"
      "Path_0 = C:\\Program Files\\Zorvex\\\r\n"
      "\r\n"
      "[Recents_maxi]\r\n"
      "Nombre = 30\r\n"
      "\r\n"
      "[Favoris]\r\n"
      "\r\n"
      "[Dossier source conversion]\r\n"
      "Source = \r\n"
      "\r\n"
      "[Dossier cible conversion]\r\n"
      "Cible = \r\n"
      "\r\n"
      "[Fichiers]\r\n"
      "Parametres = -9223372036548575236\r\n"
      "\r\n"
      "[Langues]\r\n"
      "Parametres = 0\r\n";
  // The window starts at normal size, so its width does not matter.
  EXPECT_EQ(expected, AsString(BuildPreferenceFile(values, 1600)));
  EXPECT_EQ(expected, AsString(BuildPreferenceFile(values, 980)));
}

TEST(PreferenceRulesTest, FirstRunOptionsAndDateFormatFollowTheLanguage) {
  struct Case {
    const char* file;  // null: no preference file
    uint16_t userLanguage;
    int dateFormat;
  };
  const Case cases[] = {
      {nullptr, kEnglishUk, kDateEnglish},
      {nullptr, kEnglishUs, kDateUs},
      {nullptr, kEnglishCanada, kDateUs},
      {nullptr, kGerman, kDateUs},  // sub-language 1 whatever the language
      {nullptr, kFrenchFrance, kDateFrench},
      {nullptr, kFrenchCanada, kDateFrench},
      // A chosen language decides over the user's language.
      {"[Langues]\r\nParametres = 1\r\n", kEnglishUs, kDateFrench},
      {"[Langues]\r\nParametres = 2\r\n", kFrenchFrance, kDateEnglish},
      {"[Langues]\r\nParametres = 3\r\n", kEnglishUs, kDateUs},
      // A stored format stays; a value that names none is replaced.
      {"[Fichiers]\r\nParametres = 536870912\r\n", kFrenchFrance, kDateUs},        // 4 << 27
      {"[Fichiers]\r\nParametres = 402653184\r\n", kFrenchFrance, kDateFrench},    // 3 << 27
      {"[Fichiers]\r\nParametres = 939524096\r\n", kEnglishUk, kDateEnglish},      // 7 << 27
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.file ? c.file : "no file");
    SCOPED_TRACE(c.userLanguage);
    const FakeDisk disk;
    const PreferenceEnvironment environment = disk.Environment(c.userLanguage);
    const PreferenceValues values =
        c.file ? ReadText(FileWithGroups(c.file), environment)
               : ReadPreferenceValues(std::nullopt, environment);
    EXPECT_EQ(c.dateFormat, DateFormatOf(values.fileOptions));
    EXPECT_TRUE(values.fileOptions & kFileOptionsWritten);
    const bool hasFileOptions = c.file && std::string(c.file).find("Fichiers") != std::string::npos;
    // Without a "Fichiers" group every confirmation and display option is on
    // and the window starts at normal size.
    EXPECT_EQ(hasFileOptions ? 0u : kFirstRunOptions, values.fileOptions & kFirstRunOptions);
  }
}

TEST(PreferenceRulesTest, FichiersWithoutParametresTurnsEverythingOffAndRemembersTheWidth) {
  const PreferenceValues values =
      ReadText(FileWithGroups("[Fichiers]\r\nOther = 5\r\n"), FakeDisk().Environment(kEnglishUk));
  EXPECT_EQ(kFileOptionsWritten | (FileOptions{kDateEnglish} << kDateFormatShift), values.fileOptions);
  EXPECT_EQ(0, StartModeOf(values.fileOptions));

  const StartDecision start = DecideStartMode(values.fileOptions);
  EXPECT_FALSE(start.maximised);
  EXPECT_EQ(kStartRememberedNormal, StartModeOf(start.options));
  PreferenceValues closing = values;
  closing.fileOptions = start.options;
  EXPECT_EQ(kStartRememberedMaximised, StartModeOf(WrittenFileOptions(BuildPreferenceFile(closing, 1400))));
  EXPECT_EQ(kStartRememberedNormal, StartModeOf(WrittenFileOptions(BuildPreferenceFile(closing, 980))));
}

TEST(PreferenceRulesTest, RecentFoldersAreCappedAtMaxRecents) {
  FakeDisk disk;
  std::string recents = "[Recents]\r\n";
  for (int i = 0; i < 40; ++i) {
    disk.Folder(Widen("D:\\Folder" + std::to_string(i)));
    recents += "Path_" + std::to_string(i) + " = D:\\Folder" + std::to_string(i) + "\r\n";
  }
  const PreferenceValues values =
      ReadText(FileWithGroups(recents + "\r\n[Recents_maxi]\r\nNombre = 50\r\n"), disk.Environment());
  EXPECT_EQ(30, values.maxRecents);
  ASSERT_EQ(30u, values.recentFolders.size());
  for (int i = 0; i < 30; ++i) EXPECT_EQ(Widen("D:\\Folder" + std::to_string(i)), values.recentFolders[i]);

  // The limit read after the group still applies to it; missing folders do
  // not count towards it, and key names are not looked at.
  const PreferenceValues limited = ReadText(
      FileWithGroups("[Recents]\r\nPath_0 = D:\\Gone\r\nanything = D:\\Folder7\r\n"
                     "Path_2 = D:\\Folder3\r\nPath_3 = D:\\Folder4\r\n"
                     "[Recents_maxi]\r\nNombre = 2\r\n"),
      disk.Environment());
  EXPECT_EQ(2, limited.maxRecents);
  EXPECT_EQ((PathList{u"D:\\Folder7", u"D:\\Folder3"}), limited.recentFolders);

  // Only MaxRecents of the box's entries are written.
  PreferenceValues writing;
  writing.maxRecents = 2;
  writing.recentFolders = {u"A:\\1", u"A:\\2", u"A:\\3"};
  const PreferenceDocument document = ParsePreferenceFile(BuildPreferenceFile(writing, 980));
  const PreferenceGroup* written = FindPreferenceGroup(document, u"Recents");
  ASSERT_NE(nullptr, written);
  ASSERT_EQ(2u, written->entries.size());
  EXPECT_EQ(u"Path_1", written->entries[1].key);
  EXPECT_EQ(u"A:\\2", written->entries[1].value);
}

TEST(PreferenceRulesTest, MaxRecentsOutsideItsRangeReadsAsThirty) {
  struct Case {
    const char* group;
    int expected;
  };
  const Case cases[] = {
      {"", 30},
      {"[Recents_maxi]\r\n", 30},
      {"[Recents_maxi]\r\nNombre = 0\r\n", 30},
      {"[Recents_maxi]\r\nNombre = -5\r\n", 30},
      {"[Recents_maxi]\r\nNombre = 31\r\n", 30},
      {"[Recents_maxi]\r\nNombre = abc\r\n", 30},
      {"[Recents_maxi]\r\nNombre = 99999999999999999999999\r\n", 30},
      {"[Recents_maxi]\r\nNombre = 1\r\n", 1},
      {"[recents_MAXI]\r\nnombre = 30\r\n", 30},
      {"[Recents_maxi]\r\nNombre = 12\r\n[Recents_maxi]\r\nNombre = 4\r\n", 12},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.group);
    EXPECT_EQ(c.expected, ReadText(FileWithGroups(c.group), FakeDisk().Environment()).maxRecents);
  }
}

TEST(PreferenceRulesTest, EmptyRecentListFallsBackToTheCurrentFolder) {
  struct Case {
    std::u16string currentDirectory;
    PathList expected;
  };
  const Case cases[] = {
      {u"C:\\Work", {u"C:\\Work\\"}},
      {u"C:\\", {u"C:\\"}},
      {u"", {}},
  };
  for (const Case& c : cases) {
    // Every stored folder is gone.
    const PreferenceValues values = ReadText(FileWithGroups("[Recents]\r\nPath_0 = D:\\Gone\r\n"),
                                             FakeDisk().Environment(kEnglishUk, c.currentDirectory));
    EXPECT_EQ(c.expected, values.recentFolders);
  }
}

TEST(PreferenceRulesTest, LanguageValueReadingRules) {
  struct Case {
    const char* group;
    int64_t value;
  };
  const Case cases[] = {
      {"", 0},                                       // automatic without the group
      {"[Langues]\r\nParametres = 3\r\n", 0},        // 3 means automatic
      {"[Langues]\r\nParametres = 1\r\n", 1},
      {"[Langues]\r\nParametres = 2\r\n", 2},
      {"[Langues]\r\nParametres = 0\r\n", 0},
      {"[Langues]\r\nParametres = 7\r\n", 4},        // other bits are kept
      {"[Langues]\r\nParametres = -1\r\n", -4},
      {"[Langues]\r\n", 2},                          // group without the key
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.group);
    const PreferenceValues values = ReadText(FileWithGroups(c.group), FakeDisk().Environment());
    EXPECT_EQ(c.value, values.languageValue);
  }
}

TEST(PreferenceRulesTest, ReadLanguageEarlyTakesTheFirstLanguesGroup) {
  struct Case {
    std::string file;
    int64_t value;
  };
  const Case cases[] = {
      {FileWithGroups("[Version]\r\nQOR = 2.00 beta 2\r\n"), 0},
      {FileWithGroups("[Langues]\r\n"), 1},  // the key's default is French here
      {FileWithGroups("[Langues]\r\nParametres = 3\r\n"), 0},
      {FileWithGroups("[Langues]\r\nParametres = 2\r\n"), 2},
      {FileWithGroups("[Langues]\r\nParametres = 1\r\n[Langues]\r\nParametres = 2\r\n"), 1},
      {FileWithGroups("[LANGUES]\r\n;Parametres = 1\r\n  parametres = 2\r\n"), 2},
      {"[Langues]\nParametres = 2\n", 2},  // no byte-order mark
      {"\xEF\xBB\xBF\xFF\xFE[Langues]\r\nParametres = 2", 0},
      {"", 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.file);
    const std::vector<uint8_t> bytes = Bytes(c.file);
    EXPECT_EQ(c.value, ReadLanguageEarly(std::span<const uint8_t>(bytes)));
  }
  EXPECT_EQ(0, ReadLanguageEarly(std::nullopt));
}

TEST(PreferenceRulesTest, FavouritesKeepFoldersAndIconBearingFilesThatExist) {
  FakeDisk disk;
  disk.Folder(u"D:\\Icons")
      .File(u"D:\\Icons\\App.ICO")
      .File(u"D:\\notes.txt")
      .File(u"D:\\Lib\\shell32.Dll")
      .File(u"ico")
      .Folder(u"D:\\Folder.ico");
  const PreferenceValues values = ReadText(
      FileWithGroups("[Favoris]\r\n"
                     "Item_0 = D:\\Icons\\App.ICO\r\n"
                     "Item_1 = D:\\Icons\r\n"
                     "Item_2 = D:\\notes.txt\r\n"
                     "Item_3 = D:\\Gone.ico\r\n"
                     "Item_4 = D:\\Lib\\shell32.Dll\r\n"
                     "Item_5 = ico\r\n"
                     "Item_6 = D:\\Folder.ico\r\n"),
      disk.Environment());
  EXPECT_EQ((PathList{u"D:\\Icons", u"D:\\Folder.ico"}), values.favouriteFolders);
  EXPECT_EQ((PathList{u"D:\\Icons\\App.ICO", u"D:\\Lib\\shell32.Dll"}), values.favouriteFiles);

  // Written back folders first, numbered on across both lists.
  const PreferenceDocument written = ParsePreferenceFile(BuildPreferenceFile(values, 980));
  const PreferenceGroup* favourites = FindPreferenceGroup(written, u"Favoris");
  ASSERT_NE(nullptr, favourites);
  ASSERT_EQ(4u, favourites->entries.size());
  EXPECT_EQ(u"Item_0", favourites->entries[0].key);
  EXPECT_EQ(u"D:\\Icons", favourites->entries[0].value);
  EXPECT_EQ(u"Item_2", favourites->entries[2].key);
  EXPECT_EQ(u"D:\\Icons\\App.ICO", favourites->entries[2].value);

  for (std::u16string_view name : {u"a.icl", u"a.ICO", u"a.exe", u"a.dLl", u"a.drv", u"a.CPL",
                                   u"a.ocx", u"a.scr", u".scr"}) {
    EXPECT_TRUE(IsFavouriteFileName(name)) << std::string(name.begin(), name.end());
  }
  for (std::u16string_view name : {u"a.txt", u"a.icon", u"a.ic", u"ico", u"", u"a.ico "}) {
    EXPECT_FALSE(IsFavouriteFileName(name)) << std::string(name.begin(), name.end());
  }
}

TEST(PreferenceRulesTest, RepeatedGroupsAreReadInFileOrder) {
  FakeDisk disk;
  disk.Folder(u"A:\\1").Folder(u"A:\\2").Folder(u"A:\\3");
  const PreferenceValues values = ReadText(
      FileWithGroups("[Recents]\r\nPath_0 = A:\\1\r\n"
                     "[Favoris]\r\nItem_0 = A:\\1\r\n"
                     "[Recents]\r\nPath_0 = A:\\2\r\n"
                     "[Favoris]\r\nItem_0 = A:\\3\r\n"
                     "[Dossier source conversion]\r\nSource = A:\\src\r\n"
                     "[Dossier source conversion]\r\nSource = A:\\later\r\n"
                     "[Dossier cible conversion]\r\nOther = x\r\n"),
      disk.Environment());
  // The recent list starts over, favourites add up, the last text wins.
  EXPECT_EQ((PathList{u"A:\\2"}), values.recentFolders);
  EXPECT_EQ((PathList{u"A:\\1", u"A:\\3"}), values.favouriteFolders);
  EXPECT_EQ(u"A:\\later", values.conversionSource);
  EXPECT_EQ(u"", values.conversionTarget);
}

TEST(PreferenceRulesTest, FormatFilterIndexOutsideTheBoxReadsAsZero) {
  struct Case {
    const char* group;
    int expected;
  };
  const Case cases[] = {
      {"", 0},
      {"[Filtre]\r\nSelection = 7\r\n", 7},
      {"[Filtre]\r\nSelection = 9\r\n", 9},
      {"[Filtre]\r\nSelection = 10\r\n", 0},
      {"[Filtre]\r\nSelection = -1\r\n", 0},
      {"[Filtre]\r\n", 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.group);
    EXPECT_EQ(c.expected, ReadText(FileWithGroups(c.group), FakeDisk().Environment()).formatFilterIndex);
  }
}

TEST(PreferenceRulesTest, StartModeAtClosingAndAtStart) {
  struct WriteCase {
    int mode;
    int width;
    int written;
  };
  const WriteCase writes[] = {
      {kStartRemember, 1936, kStartRememberedMaximised},
      {kStartRemember, 986, kStartRememberedMaximised},
      {kStartRemember, 985, kStartRememberedNormal},
      {kStartRemember, 980, kStartRememberedNormal},
      {0, 1200, kStartRememberedMaximised},
      {kStartRememberedMaximised, 980, kStartRememberedNormal},
      {kStartRememberedNormal, 1200, kStartRememberedMaximised},
      {7, 1200, kStartRememberedMaximised},
      {kStartNormal, 1936, kStartNormal},
      {kStartMaximised, 980, kStartMaximised},
  };
  for (const WriteCase& c : writes) {
    SCOPED_TRACE(testing::Message() << "mode " << c.mode << " width " << c.width);
    const FileOptions options = WithStartMode(kConfirmDelete | kConfirmIco, c.mode);
    const FileOptions written = FileOptionsForWriting(options, c.width);
    EXPECT_EQ(c.written, StartModeOf(written));
    EXPECT_EQ(kFileOptionsWritten | kConfirmDelete | kConfirmIco, written & ~kStartModeMask);
  }

  struct StartCase {
    int stored;
    bool maximised;
    int mode;
  };
  const StartCase starts[] = {
      {kStartNormal, false, kStartNormal},
      {kStartMaximised, true, kStartMaximised},
      {kStartRememberedMaximised, true, kStartRememberedMaximised},
      {kStartRememberedNormal, false, kStartRememberedNormal},
      {kStartRemember, false, kStartRememberedNormal},
      {0, false, kStartRememberedNormal},
      {3, false, kStartRememberedNormal},
      {7, false, kStartRememberedNormal},
  };
  for (const StartCase& c : starts) {
    SCOPED_TRACE(c.stored);
    const StartDecision decision = DecideStartMode(WithStartMode(kSortFavourites, c.stored));
    EXPECT_EQ(c.maximised, decision.maximised);
    EXPECT_EQ(c.mode, StartModeOf(decision.options));
    EXPECT_EQ(kSortFavourites, decision.options & ~kStartModeMask);
  }
}

TEST(PreferenceRulesTest, MaximisedWindowWithRememberModeStartsMaximisedNextTime) {
  PreferenceValues values = ReadPreferenceValues(std::nullopt, FakeDisk().Environment());
  values.fileOptions = WithStartMode(values.fileOptions, kStartRemember);
  const std::vector<uint8_t> file = BuildPreferenceFile(values, 1936);
  EXPECT_EQ(kStartRememberedMaximised, StartModeOf(WrittenFileOptions(file)));

  const PreferenceValues next = ReadPreferenceValues(std::span<const uint8_t>(file), FakeDisk().Environment());
  EXPECT_EQ(kStartRememberedMaximised, StartModeOf(next.fileOptions));
  EXPECT_TRUE(DecideStartMode(next.fileOptions).maximised);
}

TEST(PreferenceRulesTest, WriteReadWriteIsIdentical) {
  PreferenceValues values;
  values.fileOptions = kFileOptionsWritten | kSortFavourites | kConfirmExe | kShowCreatedIcl |
                       (FileOptions{kDateUs} << kDateFormatShift) |
                       (FileOptions{kStartMaximised} << kStartModeShift) | kFileViewDetails;
  values.maxRecents = 3;
  values.recentFolders = {u"C:\\Caf\u00e9\\", u"D:\\\U0001F600 Icons", u"E:\\x"};
  values.favouriteFolders = {u"C:\\Caf\u00e9\\", u"F:\\Fav"};
  values.favouriteFiles = {u"F:\\Fav\\a.icl", u"F:\\\u00c9t\u00e9.EXE"};
  values.formatFilterIndex = 9;
  values.conversionSource = u"G:\\Source \u20ac";
  values.conversionTarget = u"H:\\Target";
  values.languageValue = kLanguageChoiceFrench;

  FakeDisk disk;
  for (const PathList* list : {&values.recentFolders, &values.favouriteFolders}) {
    for (const std::u16string& path : *list) disk.Folder(path);
  }
  for (const std::u16string& path : values.favouriteFiles) disk.File(path);

  const std::vector<uint8_t> first = BuildPreferenceFile(values, 1200);
  const PreferenceValues reread =
      ReadPreferenceValues(std::span<const uint8_t>(first), disk.Environment(kFrenchFrance));
  EXPECT_EQ(values.fileOptions, reread.fileOptions);
  EXPECT_EQ(values.maxRecents, reread.maxRecents);
  EXPECT_EQ(values.recentFolders, reread.recentFolders);
  EXPECT_EQ(values.favouriteFolders, reread.favouriteFolders);
  EXPECT_EQ(values.favouriteFiles, reread.favouriteFiles);
  EXPECT_EQ(values.formatFilterIndex, reread.formatFilterIndex);
  EXPECT_EQ(values.conversionSource, reread.conversionSource);
  EXPECT_EQ(values.conversionTarget, reread.conversionTarget);
  EXPECT_EQ(values.languageValue, reread.languageValue);
  EXPECT_EQ(AsString(first), AsString(BuildPreferenceFile(reread, 1200)));
}

TEST(PreferenceRulesTest, UnreadableBytesGiveTheDefaults) {
  const std::string garbage[] = {
      "\xEF\xBB\xBF\xFF\xFE[Fichiers\r\nParametres = 5\r\n\0\0[x]"s,
      "\x00\x01\x02\x03"s,
      "]]]]====;;;;[[[["s,
  };
  const PreferenceValues noFile = ReadPreferenceValues(std::nullopt, FakeDisk().Environment());
  for (const std::string& bytes : garbage) {
    const PreferenceValues values = ReadText(bytes, FakeDisk().Environment());
    EXPECT_EQ(noFile.fileOptions, values.fileOptions);
    EXPECT_EQ(noFile.recentFolders, values.recentFolders);
    EXPECT_EQ(30, values.maxRecents);
    EXPECT_EQ(0, values.languageValue);
  }
}

TEST(PreferenceRulesTest, PreferenceFolderAndFile) {
  struct Case {
    std::u16string_view appData;
    std::u16string_view folder;
  };
  const Case cases[] = {
      {u"C:\\Users\\Ann\\AppData\\Roaming", u"C:\\Users\\Ann\\AppData\\Roaming\\Zorvex\\"},
      {u"C:\\Data\\", u"C:\\Data\\Zorvex\\"},
      {u"", u""},
  };
  for (const Case& c : cases) EXPECT_EQ(c.folder, PreferenceFolderFrom(c.appData));
  EXPECT_EQ(u"C:\\Data\\Zorvex\\" + std::u16string(kPreferenceFileName),
            PreferenceFilePath(u"C:\\Data\\Zorvex\\"));
  EXPECT_EQ((std::vector<std::u16string>{u"C:", u"C:\\Data", u"C:\\Data\\Zorvex"}),
            PreferenceFolderLevels(u"C:\\Data\\Zorvex\\"));

  ThreadContext ctx;
  EXPECT_EQ(0, RequirePreferenceFolder(ctx, u""));
  EXPECT_EQ(kMsgPreferenceFolder, ErrorMessage(ctx.error));
  EXPECT_EQ(3, ErrorSite(ctx.error));
  ThreadContext fine;
  EXPECT_EQ(1, RequirePreferenceFolder(fine, u"C:\\Data\\Zorvex\\"));
  EXPECT_EQ(0, fine.error);
}

}  // namespace
}  // namespace zx
