// The main window built inside the test program: splitter moves and drags,
// the error panel and the owner-drawn status parts.
#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include <string>

#include "app/platform_functions_win.h"
#include "core/messages.h"
#include "core/win_text.h"
#include "ui/main/main_window_panel_win.h"
#include "ui/main/main_window_win.h"
#include "ui/main/splitter_win.h"

namespace zx {
namespace {

int Width(HWND window) {
  RECT rect = {};
  GetWindowRect(window, &rect);
  return rect.right - rect.left;
}

int BandWidth(HWND rebar, int band) {
  REBARBANDINFOW info = {};
  info.cbSize = sizeof(info);
  info.fMask = RBBIM_SIZE;
  SendMessageW(rebar, RB_GETBANDINFOW, band, reinterpret_cast<LPARAM>(&info));
  return static_cast<int>(info.cx);
}

std::u16string BandText(HWND rebar, int band) {
  wchar_t text[256] = {};
  REBARBANDINFOW info = {};
  info.cbSize = sizeof(info);
  info.fMask = RBBIM_TEXT;
  info.lpText = text;
  info.cch = 256;
  SendMessageW(rebar, RB_GETBANDINFOW, band, reinterpret_cast<LPARAM>(&info));
  return FromWide(text);
}

// Drags a splitter's bar from its place to `to` (client coordinates of the splitter).
void Drag(HWND splitter, POINT from, POINT to) {
  SendMessageW(splitter, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(from.x, from.y));
  SendMessageW(splitter, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(to.x, to.y));
  SendMessageW(splitter, WM_LBUTTONUP, 0, MAKELPARAM(to.x, to.y));
}

class MainWindowTest : public ::testing::Test {
 protected:
  void SetUp() override {
    INITCOMMONCONTROLSEX controls = {sizeof(controls), ICC_COOL_CLASSES | ICC_BAR_CLASSES};
    InitCommonControlsEx(&controls);
    ResolveThemeAndGdiplus(functions_);
    font_.Reset(CreateFontW(-15, 0, 0, 0, FW_NORMAL, 0, 0, 0, DEFAULT_CHARSET, 0, 0, 0, 0, L"ARIAL"));
    main_.ctx = &ctx_;
    main_.reporter = &reporter_;
    main_.startupFont = static_cast<HFONT>(font_.get());
    ASSERT_EQ(CreateMainWindow(ctx_, main_, u"Zorvex main window test"), 1);
    ASSERT_EQ(BuildMainWindow(ctx_, main_, functions_, 2057), 1) << ctx_.error;
    ShowWindow(main_.window, SW_SHOW);
    UpdateWindow(main_.window);
  }
  void TearDown() override {
    if (main_.window) DestroyWindow(main_.window);
  }

  ThreadContext ctx_;
  IconDocument document_;
  ErrorReporter reporter_{ctx_, document_};
  PlatformFunctions functions_;
  UniqueGdiObject font_;
  MainWindow main_;
};

TEST_F(MainWindowTest, EveryPartReportsATheme) {
  EXPECT_TRUE(HasThemeAndGdiplusFunctions(functions_));
  EXPECT_TRUE(MainWindowHasTheme(main_, functions_));
  EXPECT_EQ(MainClientWidth(main_), 980);
}

// Splitter 12 refuses a move that would make the image pane exactly one
// pixel wider than it is; otherwise both caption bands follow.
TEST_F(MainWindowTest, Splitter12RefusesAPaneOnePixelWider) {
  const int paneWidth = Width(main_.imagePane);
  EXPECT_FALSE(OnSplitterMoved(main_, main_.splitter12, 500, paneWidth + 1));
  EXPECT_TRUE(OnSplitterMoved(main_, main_.splitter12, 500, paneWidth + 2));
  EXPECT_EQ(BandWidth(main_.groupCaption, 0), 500);
  EXPECT_EQ(BandWidth(main_.paneCaption, 0), paneWidth + 2);

  // Moved for real: the panes follow the bar.
  SetSplitterPosition(main_.splitter12, 600);
  EXPECT_EQ(SplitterPosition(main_.splitter12), 600);
  EXPECT_EQ(Width(main_.groupList), 600);
  EXPECT_EQ(Width(main_.imagePane), 978 - 600 - 3);
  EXPECT_EQ(BandWidth(main_.groupCaption, 0), 600);
}

// The user's drags stop at the minimum sizes: a third of the window for the
// image pane's side, 75 pixels for the lower half.
TEST_F(MainWindowTest, DragsKeepTheMinimumSizes) {
  const int at = SplitterPosition(main_.splitter12);
  Drag(main_.splitter12, {at + 1, 10}, {970, 10});
  EXPECT_EQ(SplitterPosition(main_.splitter12), 978 - 3 - 980 / 3);
  Drag(main_.splitter12, {SplitterPosition(main_.splitter12) + 1, 10}, {200, 10});
  EXPECT_EQ(SplitterPosition(main_.splitter12), 199);

  RECT area = {};
  GetClientRect(main_.splitter13, &area);
  const int upper = SplitterPosition(main_.splitter13);
  Drag(main_.splitter13, {10, upper + 1}, {10, static_cast<int>(area.bottom) - 5});
  EXPECT_EQ(SplitterPosition(main_.splitter13), area.bottom - 3 - 75);
  RECT tree = {};
  GetWindowRect(main_.tree, &tree);
  EXPECT_EQ(tree.bottom - tree.top, area.bottom - 3 - 75);

  Drag(main_.splitter11, {SplitterPosition(main_.splitter11) + 1, 10}, {100, 10});
  EXPECT_EQ(Width(main_.tree), 99);
}

// A report in the panel form: the message line becomes the group list's
// caption and the status bar shows the file and number lines.
TEST_F(MainWindowTest, ErrorPanelShowsOnTheWindow) {
  MainWindowErrorPanel panel(main_, reporter_);
  reporter_.SetPanel(&panel);
  document_.path = u"C:\\icons\\broken.ico";
  document_.container = kContainerIco;
  ctx_.language = 2057;
  Fail(ctx_, kMsgOverflow, 12);
  EXPECT_FALSE(reporter_.ReportError());
  EXPECT_EQ(BandText(main_.groupCaption, 0), u"  Format error [read/write memory overflow]");
  EXPECT_EQ(main_.status.parts[0].text, u"File :broken.ico (ICO format)");
  EXPECT_EQ(main_.status.parts[0].split, 6u);
  EXPECT_EQ(main_.status.parts[1].text, u"Error 59 / Sub Error 12");
  EXPECT_EQ(main_.status.french.detailText, u"Erreur 59 / Erreur secondaire 12");

  ShowStatus(main_.status, 1036);
  EXPECT_EQ(main_.status.parts[1].text, u"Erreur 59 / Erreur secondaire 12");
  ClearStatus(main_.status);
  EXPECT_EQ(main_.status.parts[0].text, u"");
  EXPECT_EQ(main_.status.english.fileText, u"");
  EXPECT_EQ(main_.status.french.detailText, u"");
}

// What the status bar shows on screen: the label in blue, the file name in
// black, the detail text in dark blue.
TEST_F(MainWindowTest, StatusPartsAreDrawnInTheirColours) {
  main_.status.english = {u"File :some_long_file_name.ico (ICO format)", u"Error 54 / Sub Error 9"};
  ShowStatus(main_.status, 2057);
  RedrawWindow(main_.status.bar, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ERASE);
  Sleep(100);
  RECT rect = {};
  GetClientRect(main_.status.bar, &rect);
  HDC screen = GetDC(main_.status.bar);
  int blue = 0, black = 0, detail = 0;
  for (int y = 0; y < rect.bottom; ++y) {
    for (int x = 0; x < rect.right; x += 1) {
      const COLORREF c = GetPixel(screen, x, y);
      if (c == RGB(18, 94, 186)) blue += x < 735 ? 1 : -1000;
      if (c == RGB(0, 0, 0) && x > 60 && x < 735) ++black;
      if (c == RGB(23, 17, 119)) detail += x > 735 ? 1 : -1000;
    }
  }
  ReleaseDC(main_.status.bar, screen);
  EXPECT_GT(blue, 5);
  EXPECT_GT(black, 20);
  EXPECT_GT(detail, 5);
}

}  // namespace
}  // namespace zx
