// Zorvex itself, started under Wine: the main window and its controls, how
// they follow the window's size, the single instance, the fatal start-up
// reports and the preference file written at the end.
#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "core/catalogue.h"
#include "core/ui_text_win.h"
#include "core/win_text.h"
#include "support/document_fixture.h"
#include "wine/program_support.h"
#include "wine/wine_support.h"

namespace zx {
namespace {

using testing::AnyContains;
using testing::DialogTexts;
using testing::FindControl;
using testing::MainWindowTitle;
using testing::ProgramLock;
using testing::ProgramRun;
using testing::RectIn;

std::string AsString(const std::vector<uint8_t>& bytes) { return {bytes.begin(), bytes.end()}; }
std::string Narrow(const std::u16string& text) { return std::string(text.begin(), text.end()); }
int Width(const RECT& r) { return r.right - r.left; }
int Height(const RECT& r) { return r.bottom - r.top; }

RECT Client(HWND window) {
  RECT rect = {};
  GetClientRect(window, &rect);
  return rect;
}

// The first status part's right edge.
int StatusFirstPart(HWND status) {
  std::vector<uint8_t> parts(2 * sizeof(int), 0);
  testing::SendWithBuffer(status, SB_GETPARTS, 2, parts);
  return *reinterpret_cast<int*>(parts.data());
}

int BandWidth(HWND rebar, int band) {
  REBARBANDINFOW info = {};
  info.cbSize = sizeof(info);
  info.fMask = RBBIM_SIZE;
  std::vector<uint8_t> bytes(reinterpret_cast<uint8_t*>(&info), reinterpret_cast<uint8_t*>(&info) + sizeof(info));
  testing::SendWithBuffer(rebar, RB_GETBANDINFOW, band, bytes);
  return static_cast<int>(reinterpret_cast<REBARBANDINFOW*>(bytes.data())->cx);
}

// A folder of its own for APPDATA and the program's current folder.
class ProgramTest : public ::testing::Test {
 protected:
  std::u16string AppData() const { return temp_.path() + u"AppData"; }
  std::u16string PreferenceFile() const { return AppData() + u"\\Zorvex\\Zorvex.ini"; }
  std::u16string StartFolder() const { return temp_.path() + u"start"; }
  void SetUp() override {
    CreateDirectoryW(Wide(AppData()), nullptr);
    CreateDirectoryW(Wide(StartFolder()), nullptr);
  }
  void TearDown() override {
    DeleteFileW(Wide(PreferenceFile()));
    RemoveDirectoryW(Wide(AppData() + u"\\Zorvex"));
    RemoveDirectoryW(Wide(AppData()));
    RemoveDirectoryW(Wide(StartFolder()));
  }
  void WritePreferences(const std::string& text) const {
    CreateDirectoryW(Wide(AppData() + u"\\Zorvex"), nullptr);
    temp_.Write(u"AppData\\Zorvex\\Zorvex.ini", std::vector<uint8_t>(text.begin(), text.end()));
  }
  // Closes the main window and waits for the program to end.
  static void Close(ProgramRun& run, HWND main) {
    PostMessageW(main, WM_CLOSE, 0, 0);
    ASSERT_TRUE(run.WaitForExit());
    EXPECT_EQ(run.exitCode(), 0u);
  }

  ProgramLock lock_;
  testing::TempFolder temp_;
};

// Where every control sits in a 980 x 669 client area, and what a first run
// on an English (United Kingdom) system leaves in the preference file.
TEST_F(ProgramTest, FirstStartShowsEveryControlAndClosingWritesThePreferences) {
  ASSERT_EQ(GetUserDefaultLangID(), 0x0809) << "the Wine tests run with LC_ALL=en_GB.UTF-8";
  ProgramRun run(AppData(), StartFolder());
  ASSERT_TRUE(run.started());
  HWND main = run.WaitForWindow(MainWindowTitle());
  ASSERT_NE(main, nullptr);
  EXPECT_EQ(Width(Client(main)), 980);
  EXPECT_EQ(Height(Client(main)), 669);

  for (int id = 3; id <= 13; ++id) {
    HWND control = FindControl(main, id);
    ASSERT_NE(control, nullptr) << id;
    EXPECT_TRUE(IsWindowVisible(control)) << id;
    EXPECT_GT(Width(RectIn(control, main)), 0) << id;
  }
  const auto control = [&](int id) { return FindControl(main, id); };
  const int scroll = GetSystemMetrics(SM_CXVSCROLL);
  HWND status = FindWindowExW(main, nullptr, STATUSCLASSNAMEW, nullptr);
  ASSERT_NE(status, nullptr);
  const RECT statusRect = RectIn(status, main);
  EXPECT_EQ(statusRect.bottom, 669);

  // Splitter 13 spans the work area: below the rebar, down to the status bar.
  const RECT s13 = RectIn(control(13), main);
  EXPECT_EQ(s13.left, 1);
  EXPECT_EQ(Width(s13), 978);
  EXPECT_EQ(s13.bottom, statusRect.top - 1);
  HWND rebar = FindWindowExW(main, nullptr, REBARCLASSNAMEW, nullptr);
  ASSERT_NE(rebar, nullptr);
  EXPECT_EQ(SendMessageW(rebar, RB_GETBANDCOUNT, 0, 0), 4);
  EXPECT_EQ(SendMessageW(rebar, RB_GETROWCOUNT, 0, 0), 2);
  const int topHeight = static_cast<int>(SendMessageW(rebar, RB_GETROWHEIGHT, 0, 0) +
                                         SendMessageW(rebar, RB_GETROWHEIGHT, 1, 0)) + 4;
  EXPECT_EQ(s13.top, topHeight - 1);

  // Tree a third of the width, 137 high; the image pane 266 + a scroll bar wide.
  const RECT tree = RectIn(control(5), main);
  EXPECT_EQ(Width(tree), 980 / 3);
  EXPECT_EQ(Height(tree), 137);
  EXPECT_EQ(RectIn(control(6), main).left, tree.right + 3);
  const RECT groups = RectIn(control(9), main);
  EXPECT_EQ(Width(groups), 980 - (266 + scroll) - scroll + 11);
  EXPECT_EQ(groups.top, tree.bottom + 3);
  EXPECT_EQ(RectIn(control(10), main).left, groups.right + 3);
  const RECT groupList = RectIn(control(7), control(9));
  EXPECT_EQ(groupList.left, 0);
  EXPECT_EQ(groupList.top, 31);
  EXPECT_EQ(Width(groupList), Width(groups));
  EXPECT_EQ(Height(groupList), Height(s13) - 137 - 35);
  const RECT pane = RectIn(control(8), control(10));
  EXPECT_EQ(pane.top, 31);
  EXPECT_EQ(Width(pane), 978 - Width(groups) - 3);
  EXPECT_EQ(StatusFirstPart(status), 735);

  // Tool bar 1: ten buttons and two separators; tool bar 2: four buttons.
  HWND bar1 = nullptr;
  HWND bar2 = nullptr;
  for (HWND bar = FindWindowExW(rebar, nullptr, TOOLBARCLASSNAMEW, nullptr); bar;
       bar = FindWindowExW(rebar, bar, TOOLBARCLASSNAMEW, nullptr)) {
    (SendMessageW(bar, TB_BUTTONCOUNT, 0, 0) == 12 ? bar1 : bar2) = bar;
  }
  ASSERT_NE(bar1, nullptr);
  ASSERT_NE(bar2, nullptr);
  EXPECT_EQ(SendMessageW(bar2, TB_BUTTONCOUNT, 0, 0), 4);
  EXPECT_EQ(SendMessageW(bar1, TB_COMMANDTOINDEX, 509, 0), 11);
  EXPECT_EQ(SendMessageW(bar2, TB_COMMANDTOINDEX, 513, 0), 3);
  HWND header = reinterpret_cast<HWND>(SendMessageW(control(6), LVM_GETHEADER, 0, 0));
  EXPECT_EQ(SendMessageW(header, HDM_GETITEMCOUNT, 0, 0), 5);

  // ZX_SOURCE_DIR is "Z:" followed by the Unix path of the sources.
  EXPECT_TRUE(testing::SaveScreenshot(std::string(ZX_SOURCE_DIR).substr(2) + "/build/screenshots/main_window.png"));

  Close(run, main);
  EXPECT_EQ(AsString(testing::ReadFileBytes(PreferenceFile())),
            "\xEF\xBB\xBF\r\n[Version]\r\nQOR = 2.00 beta 2\r\n\r\n[Filtre]\r\nSelection = 0\r\n\r\n"
            "[Recents]\r\nPath_0 = " + Narrow(StartFolder()) + "\\\r\n\r\n[Recents_maxi]\r\nNombre = 30\r\n\r\n"
            "[Favoris]\r\n\r\n[Dossier source conversion]\r\nSource = \r\n\r\n"
            "[Dossier cible conversion]\r\nCible = \r\n\r\n"
            "[Fichiers]\r\nParametres = -9223372036548575236\r\n\r\n[Langues]\r\nParametres = 0\r\n");
}

// Maximised, the work area, bands, columns and status parts follow the width
// while the splitters keep their positions; "remember at closing" then stores
// mode 6 and the next start is maximised.
TEST_F(ProgramTest, MaximisingFollowsTheWidthAndIsRemembered) {
  // Mode 4 (remember at closing) in bits 22-24, with bit 63 and the UK date format.
  WritePreferences("[Fichiers]\r\nParametres = " + std::to_string(static_cast<int64_t>(
                                                      (1ull << 63) | (4ull << 22) | (2ull << 27) | 1)) + "\r\n");
  {
    ProgramRun run(AppData(), StartFolder());
    HWND main = run.WaitForWindow(MainWindowTitle());
    ASSERT_NE(main, nullptr);
    EXPECT_FALSE(IsZoomed(main));
    const auto control = [&](int id) { return FindControl(main, id); };
    const int treeWidth = Width(RectIn(control(5), main));
    const int groupsWidth = Width(RectIn(control(9), main));
    const int upperHeight = Height(RectIn(control(5), main));

    ShowWindow(main, SW_MAXIMIZE);
    Sleep(300);
    const int width = Width(Client(main));
    ASSERT_GT(width, 985);
    HWND status = FindWindowExW(main, nullptr, STATUSCLASSNAMEW, nullptr);
    HWND rebar = FindWindowExW(main, nullptr, REBARCLASSNAMEW, nullptr);
    EXPECT_EQ(Width(RectIn(control(13), main)), width - 2);
    EXPECT_EQ(RectIn(control(13), main).bottom, RectIn(status, main).top - 1);
    EXPECT_EQ(Width(RectIn(control(5), main)), treeWidth);
    EXPECT_EQ(Width(RectIn(control(9), main)), groupsWidth);
    EXPECT_EQ(Height(RectIn(control(5), main)), upperHeight);
    EXPECT_EQ(Width(RectIn(control(8), control(10))), width - 2 - groupsWidth - 3);
    EXPECT_EQ(StatusFirstPart(status), static_cast<int>(std::lrint(0.75 * width)));
    EXPECT_EQ(BandWidth(rebar, 1), width / 2);
    HWND list = control(6);
    const int sixth = Width(Client(list)) / 6;
    EXPECT_EQ(SendMessageW(list, LVM_GETCOLUMNWIDTH, 0, 0), sixth * 2);
    EXPECT_EQ(SendMessageW(list, LVM_GETCOLUMNWIDTH, 1, 0), std::lrint(sixth * 0.6));
    EXPECT_EQ(SendMessageW(list, LVM_GETCOLUMNWIDTH, 2, 0), std::lrint(sixth * 0.9));
    EXPECT_EQ(SendMessageW(list, LVM_GETCOLUMNWIDTH, 3, 0), sixth);

    ShowWindow(main, SW_RESTORE);
    Sleep(300);
    EXPECT_EQ(Width(Client(main)), 980);
    EXPECT_EQ(StatusFirstPart(status), 735);
    EXPECT_EQ(Width(RectIn(control(9), main)), groupsWidth);
    ShowWindow(main, SW_MAXIMIZE);
    Sleep(300);
    Close(run, main);
  }
  const std::string written = AsString(testing::ReadFileBytes(PreferenceFile()));
  const int64_t stored = static_cast<int64_t>((1ull << 63) | (6ull << 22) | (2ull << 27) | 1);
  EXPECT_NE(written.find("[Fichiers]\r\nParametres = " + std::to_string(stored) + "\r\n"), std::string::npos) << written;

  ProgramRun again(AppData(), StartFolder());
  HWND main = again.WaitForWindow(MainWindowTitle());
  ASSERT_NE(main, nullptr);
  EXPECT_TRUE(IsZoomed(main));
  Close(again, main);
}

// A second start asks the first forward (minimised before, restored after)
// and ends at once: no window, no preference file of its own.
TEST_F(ProgramTest, SecondStartBringsTheFirstForwardAndEnds) {
  ProgramRun first(AppData(), StartFolder());
  HWND main = first.WaitForWindow(MainWindowTitle());
  ASSERT_NE(main, nullptr);
  ShowWindow(main, SW_MINIMIZE);
  Sleep(200);
  ASSERT_TRUE(IsIconic(main));

  const std::u16string secondAppData = temp_.path() + u"Second";
  CreateDirectoryW(Wide(secondAppData), nullptr);
  {
    ProgramRun second(secondAppData, StartFolder());
    ASSERT_TRUE(second.started());
    ASSERT_TRUE(second.WaitForExit());
    EXPECT_EQ(second.exitCode(), 0u);
    EXPECT_EQ(second.WaitForWindow(MainWindowTitle(), 0), nullptr);
  }
  Sleep(300);
  EXPECT_FALSE(IsIconic(main));
  EXPECT_TRUE(IsWindowVisible(main));
  EXPECT_EQ(GetForegroundWindow(), main);
  EXPECT_EQ(GetFileAttributesW(Wide(secondAppData + u"\\Zorvex")), INVALID_FILE_ATTRIBUTES);
  RemoveDirectoryW(Wide(secondAppData));
  // The Exit button ends the first normally: its preferences are written.
  PostMessageW(main, WM_COMMAND, MAKEWPARAM(509, BN_CLICKED), 0);
  ASSERT_TRUE(first.WaitForExit());
  EXPECT_EQ(first.exitCode(), 0u);
  EXPECT_FALSE(testing::ReadFileBytes(PreferenceFile()).empty());
}

// Without visual styles start-up stops with message 200 and (Error 218), in
// French first and then English when the preference file chooses French;
// nothing is written.
TEST_F(ProgramTest, WithoutVisualStylesStartUpStops) {
  const struct {
    std::string languageValue;
    int language;
  } cases[] = {{"2", 2057}, {"1", 1036}};
  for (const auto& c : cases) {
    const std::string file = "[Langues]\r\nParametres = " + c.languageValue + "\r\n";
    WritePreferences(file);
    testing::SetVisualStyle(false);
    ProgramRun run(AppData(), StartFolder());
    HWND box = run.WaitForWindow(ProductTitle());
    testing::SetVisualStyle(true);
    ASSERT_NE(box, nullptr) << c.language;
    Sleep(100);
    const auto texts = DialogTexts(box);
    PostMessageW(box, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
    ASSERT_TRUE(run.WaitForExit()) << c.language;
    EXPECT_EQ(run.exitCode(), 0u);
    std::u16string all;
    for (const auto& text : texts) all += text;
    if (c.language == 1036) {
      const size_t french = all.find(u"(Erreur 218)");
      ASSERT_NE(french, std::u16string::npos) << Narrow(all);
      EXPECT_NE(all.find(u"Impossible de cr"), std::u16string::npos);
      EXPECT_GT(all.find(u"(Error 218)"), french);
    } else {
      EXPECT_NE(all.find(u"(Error 218)"), std::u16string::npos) << Narrow(all);
      EXPECT_EQ(all.find(u"Erreur"), std::u16string::npos);
    }
    EXPECT_NE(all.find(u"Unable to create Zorvex main window."), std::u16string::npos);
    EXPECT_EQ(AsString(testing::ReadFileBytes(PreferenceFile())), file);
  }
}

// A change of desktop theme while running stops the program with message
// 201 (one box, however many theme messages arrive) and writes nothing.
TEST_F(ProgramTest, ThemeChangeWhileRunningStopsOnce) {
  ProgramRun run(AppData(), StartFolder());
  HWND main = run.WaitForWindow(MainWindowTitle());
  ASSERT_NE(main, nullptr);
  PostMessageW(main, WM_THEMECHANGED, 0, 0);
  HWND box = run.WaitForWindow(ProductTitle());
  ASSERT_NE(box, nullptr);
  EXPECT_FALSE(IsWindowVisible(main));
  // A second theme message while the first report is showing is passed over.
  PostMessageW(main, WM_THEMECHANGED, 0, 0);
  Sleep(300);
  int boxes = 0;
  for (HWND w = FindWindowW(nullptr, Wide(ProductTitle())); w; w = FindWindowExW(nullptr, w, nullptr, Wide(ProductTitle()))) {
    DWORD process = 0;
    GetWindowThreadProcessId(w, &process);
    if (process == run.processId() && IsWindowVisible(w)) ++boxes;
  }
  EXPECT_EQ(boxes, 1);
  const auto texts = DialogTexts(box);
  PostMessageW(box, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
  ASSERT_TRUE(run.WaitForExit());
  EXPECT_EQ(run.exitCode(), 0u);
  EXPECT_TRUE(AnyContains(texts, u"Windows Themes have just changed.")) << texts.size();
  EXPECT_FALSE(AnyContains(texts, u"(Error"));
  EXPECT_EQ(GetFileAttributesW(Wide(PreferenceFile())), INVALID_FILE_ATTRIBUTES);
}

// With APPDATA empty the program runs; at closing it says it cannot create
// the preference folder (message 41, site 3).
TEST_F(ProgramTest, EmptyAppDataReportsMessage41AtTheEnd) {
  ProgramRun run(u"", StartFolder());
  HWND main = run.WaitForWindow(MainWindowTitle());
  ASSERT_NE(main, nullptr);
  PostMessageW(main, WM_CLOSE, 0, 0);
  for (int i = 0; i < 200 && IsWindowVisible(main); ++i) Sleep(20);
  HWND box = run.WaitForWindow(MainWindowTitle());
  ASSERT_NE(box, nullptr);
  Sleep(100);
  const auto texts = DialogTexts(box);
  PostMessageW(box, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
  ASSERT_TRUE(run.WaitForExit());
  EXPECT_TRUE(AnyContains(texts, u"Unable to create preference folder [system error]")) << texts.size();
  EXPECT_TRUE(AnyContains(texts, u"(Error 41 / Sub Error 3)"));
}

}  // namespace
}  // namespace zx

namespace zx {
namespace {

const std::u16string kGap = u"          ";

// Waits until `condition` holds or `ms` have passed (the machine is loaded).
template <typename Condition>
bool WaitUntil(Condition condition, int ms = 30000) {
  for (int waited = 0; waited < ms; waited += 100) {
    if (condition()) return true;
    Sleep(100);
  }
  return condition();
}

int ItemCount(HWND list) { return static_cast<int>(SendMessageW(list, LVM_GETITEMCOUNT, 0, 0)); }

int ChildCount(HWND window) {
  int count = 0;
  for (HWND child = GetWindow(window, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) ++count;
  return count;
}

// Selects one row of another process's list (the others unselected).
void SelectRow(HWND list, int row) {
  LVITEMW state = {};
  state.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
  std::vector<uint8_t> none(reinterpret_cast<uint8_t*>(&state), reinterpret_cast<uint8_t*>(&state) + sizeof(state));
  testing::SendWithBuffer(list, LVM_SETITEMSTATE, static_cast<WPARAM>(-1), none);
  state.state = LVIS_SELECTED | LVIS_FOCUSED;
  std::vector<uint8_t> one(reinterpret_cast<uint8_t*>(&state), reinterpret_cast<uint8_t*>(&state) + sizeof(state));
  testing::SendWithBuffer(list, LVM_SETITEMSTATE, row, one);
}

int RowNamed(HWND list, const std::u16string& name) {
  for (int row = 0; row < ItemCount(list); ++row) {
    if (testing::ListItemText(list, row) == name) return row;
  }
  return -1;
}

std::string ScreenshotPath(const std::string& name) {
  return std::string(ZX_SOURCE_DIR).substr(2) + "/build/screenshots/" + name;
}

// A recent folder holding an .ico file: the program lists it (not the text
// file next to it), opens it, shows one thumbnail per entry and the first
// entry's image with the captions of the icon view.
TEST_F(ProgramTest, RecentFolderWithIconFilesOpensTheFirstFile) {
  using testing::DibImage;
  const std::vector<uint8_t> bytes = testing::IcoFile({DibImage(16, 16, 32), DibImage(32, 32, 8), DibImage(48, 48, 32)});
  const std::u16string ico = temp_.Write(u"start\\three.ico", bytes);
  const std::u16string text = temp_.Write(u"start\\notes.txt", std::vector<uint8_t>(40, 'x'));
  WritePreferences("[Recents]\r\nPath_0 = " + Narrow(StartFolder()) + "\\\r\n\r\n[Filtre]\r\nSelection = 0\r\n");
  {
    ProgramRun run(AppData(), StartFolder());
    HWND main = run.WaitForWindow(MainWindowTitle());
    ASSERT_NE(main, nullptr);
    HWND groups = FindControl(main, 7);
    ASSERT_TRUE(WaitUntil([&] { return ItemCount(groups) == 3; })) << ItemCount(groups);
    HWND files = FindControl(main, 6);
    EXPECT_EQ(ItemCount(files), 1);
    EXPECT_EQ(testing::ListItemText(files, 0), u"three.ico");
    // Kilobytes rounded up.
    EXPECT_EQ(testing::ListItemText(files, 0, 2), DecimalText(static_cast<int64_t>((bytes.size() + 1023) / 1024)) + u" KB");
    for (int item = 0; item < 3; ++item) {
      EXPECT_EQ(testing::ListItemText(groups, item), u"#" + std::u16string(1, static_cast<char16_t>(u'1' + item)));
    }
    ASSERT_TRUE(WaitUntil([&] { return !testing::BandText(FindControl(main, 25), 0).empty(); }));
    EXPECT_EQ(testing::BandText(FindControl(main, 24), 0),
              u" Groups number :  3" + kGap + u"( 1 selection  / 1  icon )");
    EXPECT_EQ(testing::BandText(FindControl(main, 25), 0), u" The group has 1 icon" + kGap + u"( No selection )");
    EXPECT_EQ(ChildCount(FindControl(main, 8)), 1);
    EXPECT_TRUE(testing::SaveScreenshot(ScreenshotPath("icon_view_ico.png")));
    Close(run, main);
  }
  DeleteFileW(Wide(ico));
  DeleteFileW(Wide(text));
}

// A malformed .ico file shows the error panel; the next file opens as usual.
TEST_F(ProgramTest, MalformedIcoShowsTheErrorPanelAndTheViewStaysUsable) {
  using testing::DibImage;
  const std::u16string bad = temp_.Write(u"start\\bad.ico", std::vector<uint8_t>(40, 0x5A));
  const std::u16string good = temp_.Write(u"start\\good.ico", testing::IcoFile({DibImage(32, 32, 32)}));
  WritePreferences("[Recents]\r\nPath_0 = " + Narrow(StartFolder()) + "\\\r\n\r\n[Filtre]\r\nSelection = 5\r\n");
  {
    ProgramRun run(AppData(), StartFolder());
    HWND main = run.WaitForWindow(MainWindowTitle());
    ASSERT_NE(main, nullptr);
    HWND files = FindControl(main, 6);
    HWND groups = FindControl(main, 7);
    const bool listed = WaitUntil([&] { return ItemCount(files) == 2 && IsWindowEnabled(main); });
    EXPECT_TRUE(testing::SaveScreenshot(ScreenshotPath("icon_view_two_files.png")));
    ASSERT_TRUE(listed) << ItemCount(files);
    SelectRow(files, RowNamed(files, u"bad.ico"));
    ASSERT_TRUE(WaitUntil([&] { return testing::BandText(FindControl(main, 24), 0) == u"  Bad file format"; }))
        << Narrow(testing::BandText(FindControl(main, 24), 0));
    EXPECT_EQ(ItemCount(groups), 0);
    EXPECT_EQ(ChildCount(FindControl(main, 8)), 0);
    EXPECT_TRUE(testing::SaveScreenshot(ScreenshotPath("icon_view_error_panel.png")));
    // The screen is read by a Unix program whose end the test cannot await.
    Sleep(3000);
    SelectRow(files, RowNamed(files, u"good.ico"));
    ASSERT_TRUE(WaitUntil([&] { return ItemCount(groups) == 1; }));
    EXPECT_EQ(testing::BandText(FindControl(main, 24), 0), u" Groups number :  1" + kGap + u"( 1 selection  / 1  icon )");
    Close(run, main);
  }
  DeleteFileW(Wide(bad));
  DeleteFileW(Wide(good));
}

// Wine's own shell32.dll: one thumbnail per icon group.
TEST_F(ProgramTest, ShellLibraryShowsEveryGroup) {
  wchar_t system[MAX_PATH] = {};
  GetSystemDirectoryW(system, MAX_PATH);
  const std::u16string copy = StartFolder() + u"\\shell32.dll";
  ASSERT_TRUE(CopyFileW((std::wstring(system) + L"\\shell32.dll").c_str(), Wide(copy), FALSE));
  WritePreferences("[Recents]\r\nPath_0 = " + Narrow(StartFolder()) + "\\\r\n\r\n[Filtre]\r\nSelection = 0\r\n");
  {
    ProgramRun run(AppData(), StartFolder());
    HWND main = run.WaitForWindow(MainWindowTitle());
    ASSERT_NE(main, nullptr);
    HWND groups = FindControl(main, 7);
    // 184 groups, most with a compressed image to decode: give it time.
    ASSERT_TRUE(WaitUntil([&] { return ItemCount(groups) > 100 && IsWindowEnabled(main); }, 120000)) << ItemCount(groups);
    EXPECT_EQ(ItemCount(groups), 184);
    EXPECT_GE(ChildCount(FindControl(main, 8)), 1);
    const std::u16string caption = testing::BandText(FindControl(main, 24), 0);
    EXPECT_EQ(caption.rfind(u" Groups number :  " + std::u16string(u"184"), 0), 0u) << Narrow(caption);
    EXPECT_TRUE(testing::SaveScreenshot(ScreenshotPath("icon_view_shell32.png")));
    Close(run, main);
  }
  DeleteFileW(Wide(copy));
}

}  // namespace
}  // namespace zx
