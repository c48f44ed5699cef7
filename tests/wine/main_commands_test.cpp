// Zorvex itself, driven from outside: the language button, a posted save
// command, the shortcuts and their key-state rules, the Remove of the active
// control. The window records the number of each command it carried out.
#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include <cstddef>
#include <memory>
#include <string>
#include <vector>

#include "core/thread_context.h"
#include "core/ui_text_win.h"
#include "core/win_text.h"
#include "support/document_fixture.h"
#include "wine/program_support.h"
#include "wine/wine_support.h"

namespace zx {
namespace {

using testing::FindControl;
using testing::MainWindowTitle;
using testing::ProgramLock;
using testing::ProgramRun;
using testing::SendWithBuffer;

constexpr int kWaitMs = 20000;

std::string Narrow(const std::u16string& text) { return std::string(text.begin(), text.end()); }

template <typename T>
std::vector<uint8_t> BytesOf(const T& value) {
  const auto* p = reinterpret_cast<const uint8_t*>(&value);
  return {p, p + sizeof(T)};
}

int LastCommand(HWND main) { return static_cast<int>(reinterpret_cast<INT_PTR>(GetPropW(main, L"ZorvexLastCommand"))); }
int CommandCount(HWND main) { return static_cast<int>(reinterpret_cast<INT_PTR>(GetPropW(main, L"ZorvexCommandCount"))); }

template <typename Condition>
bool WaitFor(Condition condition, int ms = kWaitMs) {
  for (int waited = 0; waited <= ms; waited += 25) {
    if (condition()) return true;
    Sleep(25);
  }
  return false;
}

std::u16string ButtonText(HWND bar, int command) {
  std::vector<uint8_t> text(512, 0);
  SendWithBuffer(bar, TB_GETBUTTONTEXTW, command, text);
  return FromWide(reinterpret_cast<const wchar_t*>(text.data()));
}

std::u16string BandText(HWND rebar, int band) {
  REBARBANDINFOW info = {};
  info.cbSize = sizeof(info);
  info.fMask = RBBIM_TEXT;
  info.cch = 128;
  return testing::SendForText(rebar, RB_GETBANDINFOW, band, BytesOf(info), offsetof(REBARBANDINFOW, lpText), 128);
}

std::u16string ColumnTitle(HWND list, int column) {
  LVCOLUMNW info = {};
  info.mask = LVCF_TEXT;
  info.cchTextMax = 128;
  return testing::SendForText(list, LVM_GETCOLUMNW, column, BytesOf(info), offsetof(LVCOLUMNW, pszText), 128);
}

// The window system carries this message's text between the processes itself.
std::u16string ComboText(HWND box, int index) {
  wchar_t text[256] = {};
  SendMessageW(box, CB_GETLBTEXT, index, reinterpret_cast<LPARAM>(text));
  return FromWide(text);
}

// Every text of the window that follows the language, with the expected text.
std::vector<std::pair<std::u16string, std::u16string>> LanguageTexts(HWND main, int language) {
  std::vector<std::pair<std::u16string, std::u16string>> texts;
  HWND bar = FindControl(main, 20);
  for (int button = 0; button < 10; ++button) {
    texts.push_back({ButtonText(bar, 500 + button), UiText(4000 + button, language)});
  }
  HWND rebar = FindControl(main, 22);
  texts.push_back({BandText(rebar, 1), UiText(20013, language)});
  texts.push_back({BandText(rebar, 3), UiText(20012, language)});
  HWND list = FindControl(main, 6);
  for (int column = 0; column < 5; ++column) texts.push_back({ColumnTitle(list, column), UiText(20000 + column, language)});
  HWND formats = FindControl(main, 4);
  for (int entry = 0; entry < 10; ++entry) texts.push_back({ComboText(formats, entry), UiText(16000 + entry, language)});
  return texts;
}

bool AllIn(HWND main, int language) {
  for (const auto& [shown, wanted] : LanguageTexts(main, language)) {
    if (shown != wanted) return false;
  }
  return true;
}

// A click on a control, as the mouse would deliver it.
void Click(HWND control, POINT at) {
  PostMessageW(control, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(at.x, at.y));
  PostMessageW(control, WM_LBUTTONUP, 0, MAKELPARAM(at.x, at.y));
}

// Every row selected (-1), or one.
void SelectRows(HWND list, int row = -1) {
  LVITEMW state = {};
  state.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
  state.state = LVIS_SELECTED | (row >= 0 ? LVIS_FOCUSED : 0);
  auto bytes = BytesOf(state);
  SendWithBuffer(list, LVM_SETITEMSTATE, static_cast<WPARAM>(row), bytes);
}

int SelectedCount(HWND list) { return static_cast<int>(SendMessageW(list, LVM_GETSELECTEDCOUNT, 0, 0)); }

class MainCommandsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    CreateDirectoryW(Wide(AppData()), nullptr);
    if (withIconFile_) {
      // A real three-image file in the remembered folder: the program opens it
      // at start, so the file list and the group list hold real rows.
      CreateDirectoryW(Wide(temp_.path() + u"start"), nullptr);
      temp_.Write(u"start\\three.ico",
                  testing::IcoFile({testing::DibImage(16, 16, 32), testing::DibImage(32, 32, 8),
                                    testing::DibImage(48, 48, 32)}));
      CreateDirectoryW(Wide(AppData() + u"\\Zorvex"), nullptr);
      const std::string folder = Narrow(temp_.path() + u"start");
      const std::string ini = "[Recents]\r\nPath_0 = " + folder + "\\\r\n\r\n[Filtre]\r\nSelection = 0\r\n";
      temp_.Write(u"AppData\\Zorvex\\Zorvex.ini", std::vector<uint8_t>(ini.begin(), ini.end()));
    }
    run_ = std::make_unique<ProgramRun>(AppData(), temp_.path());
    ASSERT_TRUE(run_->started());
    main_ = run_->WaitForWindow(MainWindowTitle(), kWaitMs);
    ASSERT_NE(main_, nullptr);
  }
  void TearDown() override {
    if (run_ && run_->started()) {
      PostMessageW(main_, WM_CLOSE, 0, 0);
      EXPECT_TRUE(run_->WaitForExit());
    }
    run_.reset();
    DeleteFileW(Wide(AppData() + u"\\Zorvex\\Zorvex.ini"));
    RemoveDirectoryW(Wide(AppData() + u"\\Zorvex"));
    RemoveDirectoryW(Wide(AppData()));
  }
  std::u16string AppData() const { return temp_.path() + u"AppData"; }
  // Posts a command as a menu or a shortcut delivers it and waits until the window has taken it.
  void PostCommand(int command, int source = 0) {
    const int before = CommandCount(main_);
    PostMessageW(main_, WM_COMMAND, MAKEWPARAM(command, source), 0);
    ASSERT_TRUE(WaitFor([&] { return CommandCount(main_) > before; })) << command;
  }

  bool withIconFile_ = false;
  ProgramLock lock_;
  testing::TempFolder temp_;
  std::unique_ptr<ProgramRun> run_;
  HWND main_ = nullptr;
};

TEST_F(MainCommandsTest, LanguageButtonSwitchesEveryTextBackAndForth) {
  for (const auto& [shown, wanted] : LanguageTexts(main_, kLangEnglish)) {
    EXPECT_TRUE(shown == wanted) << Narrow(shown) << " / " << Narrow(wanted);
  }
  ASSERT_TRUE(AllIn(main_, kLangEnglish));
  HWND bar2 = FindControl(main_, 21);
  std::vector<uint8_t> rect(sizeof(RECT), 0);
  ASSERT_TRUE(SendWithBuffer(bar2, TB_GETRECT, 513, rect));
  const RECT button = *reinterpret_cast<RECT*>(rect.data());
  // The button's own part, left of its drop-down arrow.
  const POINT at = {button.left + 4, (button.top + button.bottom) / 2};
  const int expected[] = {kLangFrench, kLangEnglish, kLangFrench};
  for (int language : expected) {
    Click(bar2, at);
    EXPECT_TRUE(WaitFor([&] { return AllIn(main_, language); })) << language;
    for (const auto& [shown, wanted] : LanguageTexts(main_, language)) {
      EXPECT_TRUE(shown == wanted) << Narrow(shown) << " / " << Narrow(wanted);
    }
    EXPECT_EQ(LastCommand(main_), language == kLangFrench ? 43 : 42);
    std::vector<uint8_t> info(sizeof(TBBUTTONINFOW), 0);
    reinterpret_cast<TBBUTTONINFOW*>(info.data())->cbSize = sizeof(TBBUTTONINFOW);
    reinterpret_cast<TBBUTTONINFOW*>(info.data())->dwMask = TBIF_IMAGE;
    SendWithBuffer(bar2, TB_GETBUTTONINFOW, 513, info);
    EXPECT_EQ(reinterpret_cast<TBBUTTONINFOW*>(info.data())->iImage, language == kLangFrench ? 6 : 5);
  }
  EXPECT_TRUE(testing::SaveScreenshot(std::string(ZX_SOURCE_DIR).substr(2) + "/build/screenshots/main_window_french.png"));
}

TEST_F(MainCommandsTest, SaveChosenFromGroupMenuArrivesAgainAsCommand14) {
  PostMessageW(main_, WM_COMMAND, 5, 0);
  // No file is open: the save reports message 7 in a box once the menu's
  // command has come back as 14.
  HWND box = testing::WaitForOtherWindow(run_->processId(), main_);
  ASSERT_NE(box, nullptr);
  EXPECT_TRUE(testing::AnyContains(testing::DialogTexts(box), UiText(7, kLangEnglish)));
  PostMessageW(box, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
  EXPECT_TRUE(WaitFor([&] { return LastCommand(main_) == 14; }));
  EXPECT_TRUE(WaitFor([&] { return IsWindowEnabled(main_); }));
}

TEST_F(MainCommandsTest, ShortcutsWithTheirKeysReleasedDoNothing) {
  for (int shortcut : {101, 102}) {
    PostCommand(shortcut, 1);
    EXPECT_NE(LastCommand(main_), shortcut);
  }
  PostCommand(57);
  EXPECT_EQ(LastCommand(main_), 0) << "57 and unlisted numbers do nothing";
  PostCommand(103, 1);
  EXPECT_EQ(LastCommand(main_), 103);
}

// The same program started on a folder holding a real .ico file.
class MainCommandsOnAFileTest : public MainCommandsTest {
 protected:
  void SetUp() override {
    withIconFile_ = true;
    MainCommandsTest::SetUp();
  }
};

TEST_F(MainCommandsOnAFileTest, EscapeWithTheGroupListActiveEmptiesTheSelection) {
  HWND groups = FindControl(main_, 7);
  ASSERT_NE(groups, nullptr);
  ASSERT_TRUE(WaitFor([&] { return SendMessageW(groups, LVM_GETITEMCOUNT, 0, 0) == 3; }));
  RECT client = {};
  GetClientRect(groups, &client);
  Click(groups, {client.right - 5, client.bottom - 5});
  Sleep(300);
  SelectRows(groups);
  ASSERT_TRUE(WaitFor([&] { return SelectedCount(groups) == 3; }));
  PostMessageW(groups, WM_KEYDOWN, VK_ESCAPE, 0);
  EXPECT_TRUE(WaitFor([&] { return LastCommand(main_) == 3; }));
  EXPECT_TRUE(WaitFor([&] { return SelectedCount(groups) == 0; }));
}

TEST_F(MainCommandsOnAFileTest, DeleteWithTheFileListActiveReachesTheFileDeletion) {
  HWND files = FindControl(main_, 6);
  ASSERT_NE(files, nullptr);
  ASSERT_TRUE(WaitFor([&] { return SendMessageW(files, LVM_GETITEMCOUNT, 0, 0) == 1; }));
  std::vector<uint8_t> rect(sizeof(RECT), 0);
  reinterpret_cast<RECT*>(rect.data())->left = LVIR_BOUNDS;
  SendWithBuffer(files, LVM_GETITEMRECT, 0, rect);
  const RECT row = *reinterpret_cast<RECT*>(rect.data());
  // The first click opens the file (the view may take the focus); the second,
  // on the row already chosen, leaves the focus in the file list.
  const POINT middle = {(row.left + row.right) / 2, (row.top + row.bottom) / 2};
  Click(files, middle);
  ASSERT_TRUE(WaitFor([&] { return SendMessageW(FindControl(main_, 7), LVM_GETITEMCOUNT, 0, 0) == 3; }));
  Sleep(500);
  Click(files, middle);
  Sleep(500);
  SelectRows(files, 0);
  ASSERT_TRUE(WaitFor([&] { return SelectedCount(files) > 0; }));
  PostMessageW(files, WM_KEYDOWN, VK_DELETE, 0);
  EXPECT_TRUE(WaitFor([&] { return LastCommand(main_) == 40; }));
}

}  // namespace
}  // namespace zx
