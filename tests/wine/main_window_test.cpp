// The main window built inside the test program: splitter moves and drags,
// the error panel and the owner-drawn status parts.
#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include <string>

#include "app/platform_functions_win.h"
#include "core/messages.h"
#include "core/ui_text_win.h"
#include "core/win_text.h"
#include "imaging/thread_services_win.h"
#include "support/document_fixture.h"
#include "core/ui_text_win.h"
#include "ui/explorer/explorer_win.h"
#include "ui/explorer/file_list_win.h"
#include "ui/explorer/folder_tree_win.h"
#include "ui/iconview/icon_view_win.h"
#include "ui/iconview/thumbnails_win.h"
#include "ui/main/main_window_panel_win.h"
#include "ui/main/main_window_win.h"
#include "ui/main/main_window_texts_win.h"
#include "ui/main/splitter_win.h"
#include "ui/menus/main_menus_win.h"
#include "wine/program_support.h"
#include "wine/wine_support.h"

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
    ResolveThemeFunctions(functions_);
    ResolveGdiplus(gdiplus_);
    ResolveGdiplus(services_.gdiplus());
    font_.Reset(CreateFontW(-15, 0, 0, 0, FW_NORMAL, 0, 0, 0, DEFAULT_CHARSET, 0, 0, 0, 0, L"ARIAL"));
    main_.ctx = &ctx_;
    main_.reporter = &reporter_;
    main_.startupFont = static_cast<HFONT>(font_.get());
    ASSERT_EQ(CreateMainWindow(ctx_, main_, u"Zorvex main window test"), 1);
    ASSERT_EQ(BuildMainWindow(ctx_, main_, functions_.setWindowTheme, 2057), 1) << ctx_.error;
    ShowWindow(main_.window, SW_SHOW);
    UpdateWindow(main_.window);
  }
  void TearDown() override {
    if (main_.window) DestroyWindow(main_.window);
  }

  ThreadContext ctx_;
  // The pictures of tool bar 1 are decoded with the thread's codec services.
  ThreadServices services_{ctx_};
  IconDocument document_;
  ErrorReporter reporter_{ctx_, document_};
  PlatformFunctions functions_;
  GdiplusLibrary gdiplus_;
  UniqueGdiObject font_;
  MainWindow main_;
};

TEST(MainWindowPlacement, CentredInTheWorkAreaOrOnTheScreen) {
  const SIZE screen = {1280, 1024};
  const SIZE outer = {986, 698};
  const struct {
    bool known;
    RECT work;
    POINT at;
  } cases[] = {
      {true, {0, 0, 1280, 994}, {150, 157}},
      {true, {100, 30, 1380, 1024}, {100 + 150, 30 + 162 - 5}},
      {true, {0, 0, 980, 669}, {0, -5}},
      {true, {0, 0, 979, 994}, {147, 163}},  // too narrow: the screen
      {true, {0, 0, 1280, 668}, {147, 163}},  // too low
      {false, {}, {147, 163}},
  };
  for (const auto& c : cases) {
    const POINT at = MainWindowPosition(c.known ? &c.work : nullptr, screen, outer);
    EXPECT_EQ(at.x, c.at.x) << c.work.right << "x" << c.work.bottom;
    EXPECT_EQ(at.y, c.at.y) << c.work.right << "x" << c.work.bottom;
  }
}

TEST_F(MainWindowTest, EveryPartReportsATheme) {
  EXPECT_TRUE(HasThemeAndGdiplusFunctions(functions_, gdiplus_));
  GdiplusLibrary missing;
  EXPECT_FALSE(HasThemeAndGdiplusFunctions(functions_, missing));
  EXPECT_TRUE(MainWindowHasTheme(main_, functions_.getWindowTheme));
  EXPECT_EQ(MainClientWidth(main_), 980);
}

// The image lists kept by name: ten decoded tool bar pictures, the seven
// icons of tool bar 2 and the group list's white placeholder.
TEST_F(MainWindowTest, ImageListsHoldTheirPictures) {
  const struct {
    HIMAGELIST list;
    int count;
    int size;
  } lists[] = {{main_.list85.get(), 10, 32}, {main_.list86.get(), 7, 16}, {main_.list48.get(), 1, 48}};
  for (const auto& l : lists) {
    EXPECT_EQ(ImageList_GetImageCount(l.list), l.count) << l.size;
    int width = 0, height = 0;
    ImageList_GetIconSize(l.list, &width, &height);
    EXPECT_EQ(width, l.size);
    EXPECT_EQ(height, l.size);
  }
  EXPECT_EQ(SendMessageW(main_.toolBar1, TB_GETIMAGELIST, 0, 0), reinterpret_cast<LRESULT>(main_.list85.get()));
  EXPECT_EQ(SendMessageW(main_.toolBar2, TB_GETIMAGELIST, 0, 0), reinterpret_cast<LRESULT>(main_.list86.get()));
  EXPECT_EQ(SendMessageW(main_.groupList, LVM_GETIMAGELIST, LVSIL_NORMAL, 0),
            reinterpret_cast<LRESULT>(main_.list48.get()));
  // Icons 22 and 23 live on in list "86" only.
  EXPECT_FALSE(main_.packedIcons[22]);
  EXPECT_FALSE(main_.packedIcons[23]);
  EXPECT_TRUE(main_.packedIcons[48]);
}

// Each container holds a caption band across its top, above its pane at y = 31.
TEST_F(MainWindowTest, CaptionBandsSitAboveThePanes) {
  const struct {
    HWND caption;
    HWND container;
    HWND pane;
  } holders[] = {{main_.groupCaption, main_.groupContainer, main_.groupList},
                 {main_.paneCaption, main_.paneContainer, main_.imagePane}};
  for (const auto& h : holders) {
    ASSERT_EQ(GetParent(h.caption), h.container);
    ASSERT_EQ(GetParent(h.pane), h.container);
    RECT caption = {}, pane = {}, container = {};
    GetWindowRect(h.caption, &caption);
    GetWindowRect(h.pane, &pane);
    GetWindowRect(h.container, &container);
    EXPECT_EQ(caption.top, container.top);
    EXPECT_EQ(caption.right - caption.left, container.right - container.left);
    EXPECT_GE(caption.bottom - caption.top, 30);
    EXPECT_LE(caption.bottom, pane.top);
    EXPECT_EQ(pane.top - container.top, 31);
    EXPECT_EQ(SendMessageW(h.caption, RB_GETBANDCOUNT, 0, 0), 1);
  }
  SetGroupListCaption(main_, u"  12 groups");
  EXPECT_EQ(BandText(main_.groupCaption, 0), u"  12 groups");
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
  EXPECT_EQ(SendMessageW(main_.status.bar, SB_GETICON, 1, 0), 0);
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
  EXPECT_TRUE(testing::SaveScreenshot(std::string(ZX_SOURCE_DIR).substr(2) + "/build/screenshots/status_bar.png"));
  EXPECT_EQ(SendMessageW(main_.status.bar, SB_GETICON, 0, 0), reinterpret_cast<LRESULT>(main_.packedIcons[21].get()));
  EXPECT_EQ(SendMessageW(main_.status.bar, SB_GETICON, 1, 0), reinterpret_cast<LRESULT>(main_.packedIcons[20].get()));
  EXPECT_GT(blue, 5);
  EXPECT_GT(black, 20);
  EXPECT_GT(detail, 5);
}

TEST(ToolBar2Tips, EachButtonInBothLanguages) {
  const struct {
    int command;
    int language;
    const char16_t* tip;
  } cases[] = {
      {510, 2057, u"Copy displayed path (recent) to clipboard"},
      {511, 2057, u"Paste clipboard to recent path list"},
      {512, 2057, u"Customize files view"},
      {513, 2057, u"Change language"},
      {510, 1036, u"Copier le chemin affich\u00e9 (r\u00e9cents) dans le presse-papiers"},
      {511, 1036, u"Coller le presse-papiers dans la liste des chemins affich\u00e9s"},
      {512, 1036, u"Changer le mode d'affichage des fichiers"},
      {513, 1036, u"Changer la langue"},
      {509, 2057, u""},
  };
  for (const auto& c : cases) EXPECT_TRUE(ToolBar2Tip(c.command, c.language) == c.tip) << c.command << " " << c.language;
}

// Each popup menu and the system menu open over the window, in both
// languages, each entry measured by the facility; saved as screenshots.
TEST_F(MainWindowTest, MenusOpenOverTheWindowInBothLanguages) {
  static std::string shot;
  static bool saved = false;
  static int ticks = 0;
  static COLORREF column = 0;
  static HWND window = nullptr;
  window = main_.window;
  RECT frame = {};
  GetWindowRect(main_.window, &frame);
  for (int language : {2057, 1036}) {
    MenuFacility facility;
    facility.Prepare();
    const MenuPictureSource pictures{main_.packedIcons};
    BuildMenus(facility, main_.window, pictures, language, 1);
    BuildPreferencesMenu(facility, pictures, language);
    BuildFavouritesMenu(facility, pictures, language);
    const struct {
      int number;
      int entries;
      const char* name;
    } menus[] = {{kImagePaneMenu, 17, "image_pane"}, {kGroupListMenu, 17, "group_list"}, {kFileListMenu, 13, "file_list"},
                 {kFileViewMenu, 3, "file_view"},    {kLanguageMenu, 2, "language"},     {kPreferencesMenu, 3, "preferences"},
                 {kFavouritesMenu, 3, "favourites"}, {0, 0, "system"}};
    for (const auto& menu : menus) {
      HMENU handle = menu.number ? facility.MenuHandle(menu.number) : GetSystemMenu(main_.window, FALSE);
      ASSERT_TRUE(handle) << menu.name;
      if (menu.entries) {
        EXPECT_EQ(GetMenuItemCount(handle), menu.entries) << menu.name;
      }
      shot = std::string(ZX_SOURCE_DIR).substr(2) + "/build/screenshots/menu_" + menu.name +
             (language == 1036 ? "_french.png" : "_english.png");
      saved = false;
      ticks = 0;
      // The menu's own loop runs the timer: the second tick comes after the
      // loop has painted the menu and shown it on the screen; the screenshot,
      // then the menu closes.
      const UINT_PTR timer = SetTimer(nullptr, 0, 300, [](HWND, UINT, UINT_PTR id, DWORD) {
        if (++ticks < 4) return;
        KillTimer(nullptr, id);
        // The menu's own window, as drawn: its picture column at the left.
        column = CLR_INVALID;
        HWND popup = FindWindowW(L"#32768", nullptr);
        if (popup) {
          HDC dc = GetWindowDC(popup);
          RECT r = {};
          GetWindowRect(popup, &r);
          column = GetPixel(dc, 6, (r.bottom - r.top) / 2);
          ReleaseDC(popup, dc);
        }
        // The X screen shows menus (shadowed windows) as black: the picture is
        // put together from what the windows themselves hold.
        saved = popup && testing::SaveWindowPicture(window, popup, shot);
        EndMenu();
      });
      const int x = frame.left + 200, y = frame.top + 150;
      if (menu.number) {
        EXPECT_EQ(facility.ShowPopupMenu(menu.number, main_.window, x, y), 0) << menu.name;
      } else {
        TrackPopupMenuEx(handle, TPM_VERTICAL | TPM_RIGHTBUTTON, x, y, main_.window, nullptr);
      }
      KillTimer(nullptr, timer);
      EXPECT_TRUE(saved) << menu.name;
      EXPECT_NE(column, CLR_INVALID) << menu.name;
      EXPECT_NE(column, RGB(0, 0, 0)) << menu.name << ": the menu is drawn";
    }
    // The entries' texts are those of the language.
    const MenuEntryRecord* select = facility.FindEntry(24);
    ASSERT_TRUE(select);
    EXPECT_TRUE(select->text == UiText(1010, language));
    const MenuEntryRecord* close = facility.FindEntry(SC_CLOSE);
    ASSERT_TRUE(close);
    EXPECT_TRUE(close->text == UiText(5005, language));
    facility.Teardown();
  }
}

}  // namespace
}  // namespace zx

namespace zx {
namespace {

// 24-bit pixel (blue, green, red) of a picture.
COLORREF PixelOf(HBITMAP picture, int width, int height, int x, int y) {
  std::vector<uint8_t> rows(static_cast<size_t>(((width * 3 + 3) / 4) * 4) * height);
  BITMAPINFO info = {};
  info.bmiHeader.biSize = sizeof(info.bmiHeader);
  info.bmiHeader.biWidth = width;
  info.bmiHeader.biHeight = -height;
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 24;
  HDC screen = GetDC(nullptr);
  GetDIBits(screen, picture, 0, height, rows.data(), &info, DIB_RGB_COLORS);
  ReleaseDC(nullptr, screen);
  const uint8_t* at = rows.data() + static_cast<size_t>(y) * ((width * 3 + 3) / 4) * 4 + x * 3;
  return RGB(at[2], at[1], at[0]);
}

// The icon view over the window built in the test program.
class IconViewTest : public MainWindowTest {
 protected:
  void SetUp() override {
    MainWindowTest::SetUp();
    reporter_.SetPanel(&panel_);
    ctx_.language = 2057;
    AttachIconView(view_, main_, ctx_, document_, reporter_);
  }
  void TearDown() override {
    CloseViewDocument(view_, true);
    for (const std::u16string& file : files_) DeleteFileW(Wide(file));
    MainWindowTest::TearDown();
  }
  std::u16string Write(const std::u16string& name, const std::vector<uint8_t>& bytes) {
    files_.push_back(temp_.Write(name, bytes));
    return files_.back();
  }

  MainWindowErrorPanel panel_{main_, reporter_};
  IconView view_;
  testing::TempFolder temp_;
  std::vector<std::u16string> files_;
};

// A 16 x 16 image sits unscaled in the middle of its white thumbnail; a
// 256 x 256 one covers the whole 48 x 48 square.
TEST_F(IconViewTest, ThumbnailsCentreSmallImagesAndScaleLargeOnes) {
  const struct {
    int side;
    POINT black[2];
    POINT white[2];
  } cases[] = {{16, {{16, 16}, {31, 31}}, {{15, 15}, {32, 32}}}, {256, {{0, 0}, {47, 47}}, {{0, 0}, {47, 47}}}};
  for (const auto& c : cases) {
    const std::vector<uint8_t> image = testing::DibImage(c.side, c.side, 32);
    DocumentImage described{c.side, c.side, 32, false, static_cast<uint32_t>(image.size()), image.data()};
    UniqueBitmap picture;
    ASSERT_EQ(DrawThumbnailPicture(ctx_, described, kContainerIco, false, picture), 1) << ctx_.error;
    for (POINT p : c.black) EXPECT_EQ(PixelOf(picture.get(), 48, 48, p.x, p.y), RGB(0, 0, 0)) << c.side;
    if (c.side == 16) {
      for (POINT p : c.white) EXPECT_EQ(PixelOf(picture.get(), 48, 48, p.x, p.y), RGB(255, 255, 255)) << c.side;
    }
  }
}

// Opening an .ico file: one item per entry labelled "#n", the first entry in
// the pane, the status text and captions; clicks select in the pane.
TEST_F(IconViewTest, OpeningAnIcoFileFillsTheViewAndItsTexts) {
  using testing::DibImage;
  const std::u16string path = Write(u"three.ico", testing::IcoFile({DibImage(16, 16, 32), DibImage(24, 24, 8), DibImage(256, 256, 32)}));
  OpenIconFile(view_, path);
  ASSERT_EQ(document_.container, kContainerIco) << ctx_.error;
  ASSERT_EQ(SendMessageW(main_.groupList, LVM_GETITEMCOUNT, 0, 0), 3);
  EXPECT_EQ(ImageList_GetImageCount(main_.list48.get()), 4);
  ASSERT_EQ(view_.pictures.size(), 1u);
  EXPECT_EQ(view_.shownItem, 0);
  const std::u16string gap = u"          ";
  EXPECT_EQ(main_.status.english.fileText, u"File :three.ico (ICO format, file contains 3 icons / 3 groups)");
  EXPECT_EQ(main_.status.french.fileText.rfind(u"Fichier", 0), 0u);
  EXPECT_EQ(BandText(main_.groupCaption, 0), u" Groups number :  3" + gap + u"( 1 selection  / 1  icon )");
  EXPECT_EQ(BandText(main_.paneCaption, 0), u" The group has 1 icon" + gap + u"( No selection )");

  ClickPicture(view_, 0, false, false);
  EXPECT_EQ(view_.pictures[0].state, PictureState::kSelectedFocused);
  EXPECT_EQ(BandText(main_.paneCaption, 0), u" The group has 1 icon" + gap + u"( 1 selection )");
  ToggleSelection(view_);
  EXPECT_EQ(view_.pictures[0].state, PictureState::kPlainFocused);

  // Another item of the group list shows its own entry; 256 pixels make a 266 pane.
  ASSERT_EQ(ShowGroup(view_, 2), 1) << ctx_.error;
  ASSERT_EQ(view_.pictures.size(), 1u);
  RECT button = {};
  GetWindowRect(view_.pictures[0].button.get(), &button);
  EXPECT_EQ(button.right - button.left, 266);
  EXPECT_EQ(button.bottom - button.top, 256 + 35);

  // Closing empties the view and keeps the placeholder.
  CloseViewDocument(view_, true);
  EXPECT_EQ(SendMessageW(main_.groupList, LVM_GETITEMCOUNT, 0, 0), 0);
  EXPECT_EQ(ImageList_GetImageCount(main_.list48.get()), 1);
  EXPECT_TRUE(view_.pictures.empty());
}

TEST_F(IconViewTest, WideImagesWidenThePane) {
  const std::u16string path = Write(u"wide.ico", testing::IcoFile({testing::DibImage(300, 300, 32)}));
  OpenIconFile(view_, path);
  ASSERT_EQ(view_.pictures.size(), 1u) << ctx_.error;
  RECT button = {};
  GetWindowRect(view_.pictures[0].button.get(), &button);
  EXPECT_EQ(button.right - button.left, 310);
}

// A malformed file: its message in the group list's caption, the number
// line in the status bar, an empty view; the next file opens normally.
TEST_F(IconViewTest, MalformedIcoGoesToTheErrorPanel) {
  const std::u16string bad = Write(u"bad.ico", std::vector<uint8_t>(40, 0x5A));
  OpenIconFile(view_, bad);
  EXPECT_EQ(ctx_.error, 0);
  EXPECT_EQ(BandText(main_.groupCaption, 0), u"  Bad file format");
  EXPECT_EQ(main_.status.english.detailText, u"Error 37 / Sub Error 50");
  EXPECT_EQ(SendMessageW(main_.groupList, LVM_GETITEMCOUNT, 0, 0), 0);
  EXPECT_EQ(document_.container, kContainerNone);

  const std::u16string good = Write(u"good.ico", testing::IcoFile({testing::DibImage(32, 32, 32)}));
  OpenIconFile(view_, good, 0, 0, true);
  EXPECT_EQ(SendMessageW(main_.groupList, LVM_GETITEMCOUNT, 0, 0), 1);
  EXPECT_EQ(main_.status.english.detailText, u"");
  EXPECT_EQ(main_.status.english.fileText, u"File :good.ico (ICO format, file contains 1 icon / group)");
}

}  // namespace
}  // namespace zx

namespace zx {
namespace {

// Opening a chosen file: the filter "*.*" switches to "all icons formats",
// the list shows the file's folder with the file selected, and the chosen
// file stays open (the tree's move does not reopen the folder's first file).
TEST_F(IconViewTest, OpeningAChosenFileKeepsItOpen) {
  for (int entry = 0; entry < 10; ++entry) {
    SendMessageW(main_.formatBox, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(Wide(UiText(16000 + entry, 2057))));
  }
  SendMessageW(main_.formatBox, CB_SETCURSEL, 9, 0);
  std::vector<std::u16string> names;
  for (const char16_t* name : {u"a.ico", u"b.ico", u"c.ico"}) {
    Write(name, testing::IcoFile({testing::DibImage(16, 16, 32)}));
    names.push_back(name);
  }
  PreferenceValues preferences;
  preferences.fileOptions = static_cast<FileOptions>(kDateEnglish) << kDateFormatShift;
  Explorer explorer;
  AttachExplorer(explorer, main_, view_, preferences, u"C:\\zorvex.exe");
  main_.host.viewEvent = [&](UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) {
    return OnExplorerNotify(explorer, message, wParam, lParam, result) ||
           OnIconViewNotify(view_, message, wParam, lParam, result);
  };
  FillFolderTree(main_.tree);
  // Whatever the directory walk lists first, open another file.
  FillFileList(main_.fileList, temp_.path(), u"*.*", 2057, kDateEnglish);
  const std::u16string first = FileRowName(main_.fileList, 0);
  const std::u16string chosen = temp_.path() + (first == u"b.ico" ? u"c.ico" : u"b.ico");
  OpenChosenFile(explorer, chosen);
  MSG message;
  while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&message);

  EXPECT_EQ(SendMessageW(main_.formatBox, CB_GETCURSEL, 0, 0), 0);
  EXPECT_EQ(FileRowCount(main_.fileList), 3);
  const int row = SelectedFileRow(main_.fileList);
  ASSERT_GE(row, 0);
  EXPECT_EQ(temp_.path() + FileRowName(main_.fileList, row), chosen);
  EXPECT_EQ(document_.path, chosen);
  EXPECT_EQ(FindListedFile(explorer, chosen), row);
  EXPECT_EQ(FindListedFile(explorer, temp_.path() + u"absent.ico"), -2);
  EXPECT_EQ(FindListedFile(explorer, u"C:\\elsewhere\\a.ico"), -1);
  main_.host.viewEvent = nullptr;
}

}  // namespace
}  // namespace zx
