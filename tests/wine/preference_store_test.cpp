// The preference file on a real disk: its folder under APPDATA, what survives
// reading (folders and files that exist), and the exact bytes written.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/messages.h"
#include "core/win_text.h"
#include "prefs/preference_store_win.h"
#include "wine/wine_support.h"

namespace zx {
namespace {

constexpr uint16_t kEnglishUk = 0x0809;

std::string Narrow(const std::u16string& text) { return std::string(text.begin(), text.end()); }
std::u16string Widen(const std::string& text) { return std::u16string(text.begin(), text.end()); }
std::vector<uint8_t> Bytes(const std::string& text) { return {text.begin(), text.end()}; }
std::string AsString(const std::vector<uint8_t>& bytes) { return {bytes.begin(), bytes.end()}; }

// Sets APPDATA for the test's duration and puts the old value back.
class AppDataOverride {
 public:
  explicit AppDataOverride(const wchar_t* value) {
    wchar_t old[MAX_PATH] = {};
    hadOld_ = GetEnvironmentVariableW(L"APPDATA", old, MAX_PATH) > 0;
    old_ = old;
    SetEnvironmentVariableW(L"APPDATA", value);
  }
  ~AppDataOverride() { SetEnvironmentVariableW(L"APPDATA", hadOld_ ? old_.c_str() : nullptr); }

 private:
  bool hadOld_ = false;
  std::wstring old_;
};

// A folder of its own for the preference folder and what the file names.
class PreferenceStoreTest : public ::testing::Test {
 protected:
  std::u16string Folder() const { return temp_.path() + u"Zorvex\\"; }
  void WriteFile(const std::string& text) {
    CreateDirectoryW(Wide(Folder()), nullptr);
    HANDLE file = CreateFileW(Wide(PreferenceFile(Folder())), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    DWORD written = 0;
    ::WriteFile(file, text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
    CloseHandle(file);
  }
  std::string Written() const { return AsString(testing::ReadFileBytes(PreferenceFile(Folder()))); }
  std::u16string MakeFolder(const std::string& name) const {
    const std::u16string path = temp_.path() + Widen(name);
    CreateDirectoryW(Wide(path), nullptr);
    folders_.push_back(path);
    return path;
  }
  void TearDown() override {
    DeleteFileW(Wide(PreferenceFile(Folder())));
    RemoveDirectoryW(Wide(Folder()));
    for (auto it = folders_.rbegin(); it != folders_.rend(); ++it) RemoveDirectoryW(Wide(*it));
  }

  testing::TempFolder temp_;
  mutable std::vector<std::u16string> folders_;
};

TEST_F(PreferenceStoreTest, FolderComesFromAppData) {
  {
    AppDataOverride appData(L"C:\\users\\someone\\AppData\\Roaming");
    EXPECT_EQ(PreferenceFolder(), u"C:\\users\\someone\\AppData\\Roaming\\Zorvex\\");
    EXPECT_EQ(PreferenceFile(PreferenceFolder()), u"C:\\users\\someone\\AppData\\Roaming\\Zorvex\\Zorvex.ini");
  }
  {
    AppDataOverride appData(L"D:\\");
    EXPECT_EQ(PreferenceFolder(), u"D:\\Zorvex\\");
  }
  {
    AppDataOverride appData(nullptr);
    EXPECT_EQ(PreferenceFolder(), u"");
  }
}

// No file on an English (United Kingdom) system: every default, the current
// folder as the only recent folder, and once the file list shows tiles the
// exact first-run file.
TEST_F(PreferenceStoreTest, FirstRunWritesTheDefaultsByteForByte) {
  const std::u16string start = MakeFolder("start");
  wchar_t previous[MAX_PATH];
  GetCurrentDirectoryW(MAX_PATH, previous);
  SetCurrentDirectoryW(Wide(start));
  PreferenceValues values = ReadPreferences(Folder(), kEnglishUk);
  SetCurrentDirectoryW(previous);
  values.fileOptions = NormaliseFileView(values.fileOptions);
  ThreadContext ctx;
  ASSERT_EQ(WritePreferences(ctx, Folder(), values, 986), 1);
  EXPECT_EQ(Written(),
            "\xEF\xBB\xBF\r\n[Version]\r\nQOR = 2.00 beta 2\r\n\r\n[Filtre]\r\nSelection = 0\r\n\r\n"
            "[Recents]\r\nPath_0 = " + Narrow(start) + "\\\r\n\r\n[Recents_maxi]\r\nNombre = 30\r\n\r\n"
            "[Favoris]\r\n\r\n[Dossier source conversion]\r\nSource = \r\n\r\n"
            "[Dossier cible conversion]\r\nCible = \r\n\r\n"
            "[Fichiers]\r\nParametres = -9223372036548575236\r\n\r\n[Langues]\r\nParametres = 0\r\n");
}

// 40 folders that exist and "Nombre" = 50: only the first 30 are kept and the
// limit is written back as 30; a folder that has gone is dropped on the way.
TEST_F(PreferenceStoreTest, FortyRecentFoldersWithLimitFifty) {
  std::string text = "[Recents]\r\nPath_x = " + Narrow(temp_.path()) + "gone\r\n";
  std::vector<std::u16string> made;
  for (int i = 0; i < 40; ++i) {
    made.push_back(MakeFolder("recent" + std::to_string(i)));
    text += "Path_" + std::to_string(i) + " = " + Narrow(made.back()) + "\r\n";
  }
  WriteFile(text + "[Recents_maxi]\r\nNombre = 50\r\n");
  const PreferenceValues values = ReadPreferences(Folder(), kEnglishUk);
  EXPECT_EQ(values.maxRecents, 30);
  ASSERT_EQ(values.recentFolders.size(), 30u);
  EXPECT_EQ(values.recentFolders.front(), made[0]);
  EXPECT_EQ(values.recentFolders.back(), made[29]);

  ThreadContext ctx;
  ASSERT_EQ(WritePreferences(ctx, Folder(), values, 980), 1);
  const std::string written = Written();
  EXPECT_NE(written.find("Path_29 = " + Narrow(made[29]) + "\r\n\r\n[Recents_maxi]\r\nNombre = 30\r\n"),
            std::string::npos);
  EXPECT_EQ(written.find("Path_30"), std::string::npos);
  EXPECT_EQ(written.find("gone"), std::string::npos);
}

// Language value 3 means automatic, both early and in the full reading, and
// is written back as 0.
TEST_F(PreferenceStoreTest, LanguageThreeIsAutomatic) {
  WriteFile("[Langues]\r\nParametres = 3\r\n");
  EXPECT_EQ(ReadLanguageEarly(Folder()), 0);
  const PreferenceValues values = ReadPreferences(Folder(), kEnglishUk);
  EXPECT_EQ(values.languageValue, 0);
  ThreadContext ctx;
  ASSERT_EQ(WritePreferences(ctx, Folder(), values, 980), 1);
  EXPECT_NE(Written().find("[Langues]\r\nParametres = 0\r\n"), std::string::npos);

  WriteFile("\xEF\xBB\xBF\r\n[langues]\r\nParametres = 1\r\n");
  EXPECT_EQ(ReadLanguageEarly(Folder()), 1);
  EXPECT_EQ(ReadLanguageEarly(temp_.path() + u"nowhere\\"), 0);
  EXPECT_EQ(ReadLanguageEarly(u""), 0);
}

// A folder and an .ICO file are kept, a .txt file and a missing file dropped;
// folders are written first.
TEST_F(PreferenceStoreTest, FavouritesKeepWhatExistsAndBearsIcons) {
  const std::u16string folder = MakeFolder("favourite");
  const std::u16string icon = temp_.Write(u"Shell.ICO", {0, 0, 1, 0});
  const std::u16string text = temp_.Write(u"notes.txt", {'x'});
  WriteFile("[Favoris]\r\nItem_0 = " + Narrow(icon) + "\r\nItem_1 = " + Narrow(text) + "\r\nItem_2 = " +
            Narrow(folder) + "\r\nItem_3 = " + Narrow(temp_.path()) + "missing.ico\r\n");
  const PreferenceValues values = ReadPreferences(Folder(), kEnglishUk);
  EXPECT_EQ(values.favouriteFolders, PathList{folder});
  EXPECT_EQ(values.favouriteFiles, PathList{icon});
  ThreadContext ctx;
  ASSERT_EQ(WritePreferences(ctx, Folder(), values, 980), 1);
  EXPECT_NE(Written().find("[Favoris]\r\nItem_0 = " + Narrow(folder) + "\r\nItem_1 = " + Narrow(icon) +
                           "\r\n\r\n"),
            std::string::npos);
}

// "Remember at closing" with a maximised window is stored as 6, which the next
// start shows maximised; a window at its start width stores 5.
TEST_F(PreferenceStoreTest, RememberedStartModeFollowsTheWidthAtClosing) {
  const struct {
    int width;
    int storedMode;
    bool maximisedNext;
  } cases[] = {{1280, 6, true}, {986, 6, true}, {985, 5, false}, {980, 5, false}};
  for (const auto& c : cases) {
    PreferenceValues values = ReadPreferences(Folder(), kEnglishUk);
    values.fileOptions = WithStartMode(values.fileOptions, kStartRemember);
    ThreadContext ctx;
    ASSERT_EQ(WritePreferences(ctx, Folder(), values, c.width), 1);
    const PreferenceValues next = ReadPreferences(Folder(), kEnglishUk);
    EXPECT_EQ(StartModeOf(next.fileOptions), c.storedMode) << c.width;
    EXPECT_EQ(DecideStartMode(next.fileOptions).maximised, c.maximisedNext) << c.width;
    DeleteFileW(Wide(PreferenceFile(Folder())));
  }
}

// Missing levels of the folder are created; no folder at all is message 41
// at site 3, a folder that cannot be made (a file in its way) site 4.
TEST_F(PreferenceStoreTest, WritingCreatesTheFolderOrSaysWhyNot) {
  const std::u16string deep = temp_.path() + u"a\\b\\Zorvex\\";
  ThreadContext ctx;
  PreferenceValues values = ReadPreferences(u"", kEnglishUk);
  ASSERT_EQ(WritePreferences(ctx, deep, values, 980), 1);
  EXPECT_FALSE(testing::ReadFileBytes(PreferenceFile(deep)).empty());
  DeleteFileW(Wide(PreferenceFile(deep)));
  RemoveDirectoryW(Wide(deep));
  RemoveDirectoryW(Wide(temp_.path() + u"a\\b"));
  RemoveDirectoryW(Wide(temp_.path() + u"a"));

  EXPECT_EQ(WritePreferences(ctx, u"", values, 980), 0);
  EXPECT_EQ(ctx.error, MakeError(kMsgPreferenceFolder, 3));

  const std::u16string blocker = temp_.Write(u"blocker", {1});
  EXPECT_EQ(WritePreferences(ctx, blocker + u"\\Zorvex\\", values, 980), 0);
  EXPECT_EQ(ctx.error, MakeError(kMsgPreferenceFolder, 4));
}

}  // namespace
}  // namespace zx
