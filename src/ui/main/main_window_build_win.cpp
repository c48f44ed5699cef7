// Construction of the main window's controls, in the order that gives each
// control what it needs from the ones before.
#include <windows.h>
#include <commctrl.h>
#include <uxtheme.h>

#include "app/platform_functions_win.h"
#include "core/embedded_items_win.h"
#include "core/messages.h"
#include "core/ui_text_win.h"
#include "core/win_text.h"
#include "ui/controls/container_win.h"
#include "ui/controls/list_view_win.h"
#include "ui/controls/rebar_win.h"
#include "ui/controls/tool_bar_win.h"
#include "ui/main/main_window_win.h"
#include "ui/main/splitter_win.h"
#include "ui/main/tool_bar_pictures_win.h"

namespace zx {
namespace {

constexpr int kSplitterBar = 3;
constexpr int kCaptionHeight = 30;
constexpr int kPaneTop = 31;
constexpr int kTreeHeight = 180;
constexpr int kUpperSplitterHeight = 202;
constexpr int kUpperHeightLess = 65;
constexpr int kLowerMinimum = 75;
constexpr int kPaneInnerWidth = 266;
constexpr int kPaneScrollStep = 45;
constexpr int kGroupColumnWidth = 580;
constexpr int kFirstPackedIcon = 20;
constexpr int kLastPackedIcon = 48;
constexpr int kStatusMinimumHeight = 20;

HMENU IdOf(int id) { return reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)); }

HWND Child(const wchar_t* type, DWORD style, HWND parent, int id, int x = 0, int y = 0, int width = 0,
           int height = 0, DWORD extended = 0) {
  return CreateWindowExW(extended, type, L"", WS_CHILD | WS_VISIBLE | style, x, y, width, height, parent, IdOf(id),
                         GetModuleHandleW(nullptr), nullptr);
}

struct ToolButton {
  int command;
  int image;
  BYTE style;
};

// Tool bar 1: the main commands, with separators before Favourites and Help.
constexpr ToolButton kToolBar1Buttons[] = {
    {500, 0, BTNS_AUTOSIZE},
    {501, 1, BTNS_AUTOSIZE | BTNS_WHOLEDROPDOWN},
    {502, 2, BTNS_AUTOSIZE},
    {503, 3, BTNS_AUTOSIZE},
    {0, 0, BTNS_SEP},
    {504, 4, BTNS_AUTOSIZE | BTNS_WHOLEDROPDOWN},
    {505, 5, BTNS_AUTOSIZE | BTNS_WHOLEDROPDOWN},
    {506, 6, BTNS_AUTOSIZE},
    {507, 7, BTNS_AUTOSIZE},
    {0, 0, BTNS_SEP},
    {508, 8, BTNS_AUTOSIZE},
    {509, 9, BTNS_AUTOSIZE},
};
// Tool bar 2: copy and paste the recent folder, the file view and the language.
constexpr ToolButton kToolBar2Buttons[] = {
    {510, 0, BTNS_AUTOSIZE},
    {511, 1, BTNS_AUTOSIZE},
    {512, 2, BTNS_AUTOSIZE | BTNS_DROPDOWN},
    {513, 3, BTNS_AUTOSIZE | BTNS_DROPDOWN},
};
// The packed icons of list "86", in index order (5 English, 6 French).
constexpr int kList86Icons[] = {22, 23, 24, 25, 26, 41, 40};

int BuildToolBar1(ThreadContext& ctx, MainWindow& main, int language) {
  main.toolBar1 = Child(TOOLBARCLASSNAMEW,
                        TBSTYLE_FLAT | TBSTYLE_TRANSPARENT | TBSTYLE_TOOLTIPS | TBSTYLE_WRAPABLE | CCS_NORESIZE |
                            CCS_NODIVIDER | CCS_NOPARENTALIGN,
                        main.window, kToolBar1Id);
  if (!main.toolBar1) return Fail(ctx, kMsgFirstFatal);
  ToolBar bar(main.toolBar1);
  bar.SetButtonStructSize();
  main.list85.Reset(ImageList_Create(32, 32, ILC_COLOR32 | ILC_MASK, 10, 0));
  if (!main.list85) return Fail(ctx, 202);
  bar.SetImageList(main.list85.get());
  bar.SetButtonSize(32, 32);
  bar.SetExtendedStyle(TBSTYLE_EX_DRAWDDARROWS | TBSTYLE_EX_MIXEDBUTTONS | TBSTYLE_EX_HIDECLIPPEDBUTTONS);
  bar.AutoSize();
  bar.SetIndent(2);
  if (!InstallMainWindowProcedure(main)) return Fail(ctx, kMsgFirstFatal);
  if (!AddToolBarPictures(ctx, main.list85.get())) return 0;
  for (const ToolButton& b : kToolBar1Buttons) {
    // The caption is set now and again whenever the language changes.
    const std::u16string caption = b.command ? UiText(4000 + b.image, language) : u"";
    // Mixed buttons show their caption only when asked to.
    TBBUTTON button = {b.image, b.command, TBSTATE_ENABLED,
                       static_cast<BYTE>(b.command ? b.style | BTNS_SHOWTEXT : b.style), {}, 0,
                       b.command ? reinterpret_cast<INT_PTR>(Wide(caption)) : 0};
    if (b.style & BTNS_SEP) button.iBitmap = 0;
    if (!bar.AddButton(button)) return Fail(ctx, kMsgFirstFatal);
  }
  bar.AutoSize();
  return 1;
}

int LoadPackedIcons(ThreadContext& ctx, MainWindow& main) {
  for (int id = kFirstPackedIcon; id <= kLastPackedIcon; ++id) {
    main.packedIcons[id].Reset(LoadPackedIcon(id));
    if (!main.packedIcons[id]) return Fail(ctx, 206);
  }
  return 1;
}

int BuildToolBar2(ThreadContext& ctx, MainWindow& main) {
  main.toolBar2 = Child(TOOLBARCLASSNAMEW,
                        TBSTYLE_FLAT | TBSTYLE_TRANSPARENT | TBSTYLE_TOOLTIPS | CCS_NORESIZE | CCS_NODIVIDER |
                            CCS_NOPARENTALIGN,
                        main.window, kToolBar2Id);
  if (!main.toolBar2) return Fail(ctx, 213);
  ToolBar bar(main.toolBar2);
  bar.SetButtonStructSize();
  main.list86.Reset(ImageList_Create(16, 16, ILC_COLOR32 | ILC_MASK, 7, 0));
  if (!main.list86) return Fail(ctx, 215);
  for (int id : kList86Icons) ImageList_AddIcon(main.list86.get(), main.packedIcons[id].get());
  if (ImageList_GetImageCount(main.list86.get()) != 7) return Fail(ctx, 216);
  main.packedIcons[22].Reset();
  main.packedIcons[23].Reset();
  bar.SetExtendedStyle(TBSTYLE_EX_DRAWDDARROWS);
  for (const ToolButton& b : kToolBar2Buttons) {
    TBBUTTON button = {b.image, b.command, TBSTATE_ENABLED, b.style, {}, 0, 0};
    if (!bar.AddButton(button)) return Fail(ctx, 217);
  }
  bar.SetPadding(6, 6);
  if (!bar.SetButtonSize(24, 22)) return Fail(ctx, 217);
  bar.SetImageList(main.list86.get());
  bar.SetIndent(10);
  bar.AutoSize();
  return 1;
}

bool AddBand(const Rebar& rebar, HWND child, UINT style, int minWidth, int minHeight, const std::u16string& caption) {
  REBARBANDINFOW band = {sizeof(band)};
  band.fMask = RBBIM_STYLE | RBBIM_CHILD | RBBIM_CHILDSIZE | RBBIM_SIZE | RBBIM_TEXT;
  band.fStyle = style;
  band.hwndChild = child;
  band.cxMinChild = minWidth;
  band.cyMinChild = minHeight;
  band.cx = minWidth;
  band.lpText = const_cast<wchar_t*>(Wide(caption));
  return rebar.InsertBand(band);
}

int BuildTopRebar(ThreadContext& ctx, MainWindow& main, int language) {
  main.rebar = Child(REBARCLASSNAMEW,
                     WS_CLIPSIBLINGS | WS_CLIPCHILDREN | RBS_VARHEIGHT | RBS_BANDBORDERS | CCS_NODIVIDER,
                     main.window, kTopRebarId, 0, 0, 0, 0, WS_EX_TOOLWINDOW);
  if (!main.rebar) return Fail(ctx, 233);
  const Rebar rebar(main.rebar);
  const int toolBarHeight = ToolBar(main.toolBar1).ButtonSize().cy;
  const bool added =
      AddBand(rebar, main.toolBar1, RBBS_CHILDEDGE | RBBS_NOVERT, 100, toolBarHeight, u"") &&
      AddBand(rebar, main.recentBox, RBBS_BREAK | RBBS_CHILDEDGE | RBBS_NOVERT | RBBS_NOGRIPPER, 100, 20,
              UiText(20013, language)) &&
      AddBand(rebar, main.toolBar2, RBBS_CHILDEDGE | RBBS_NOVERT | RBBS_NOGRIPPER, 72, 25, u"") &&
      AddBand(rebar, main.formatBox, RBBS_NOVERT | RBBS_NOGRIPPER, 200, 20, UiText(20012, language));
  return added ? 1 : Fail(ctx, 233);
}

// The sum of the rebar's rows, and the little gap below them.
int TopHeightOf(const MainWindow& main) {
  const Rebar rebar(main.rebar);
  int height = 0;
  for (int row = 0; row < rebar.RowCount(); ++row) height += rebar.RowHeight(row);
  return height + 4;
}

int BuildFileList(ThreadContext& ctx, MainWindow& main, int width, int language) {
  main.fileList = Child(WC_LISTVIEWW, LVS_REPORT | LVS_SHOWSELALWAYS | LVS_SINGLESEL | LVS_AUTOARRANGE,
                        main.window, kFileList, 0, 0, width, kTreeHeight, WS_EX_CLIENTEDGE);
  if (!main.fileList) return Fail(ctx, 226);
  const ListView list(main.fileList);
  SendMessageW(main.fileList, CCM_SETVERSION, 6, 0);
  list.SetExtendedStyle(LVS_EX_HEADERDRAGDROP, LVS_EX_HEADERDRAGDROP);
  for (int column = 0; column < 5; ++column) {
    const std::u16string title = UiText(20000 + column, language);
    list.InsertColumn(column, Wide(title), 80, column == 2 ? LVCFMT_RIGHT : LVCFMT_LEFT);
  }
  list.SetBackgroundColour(RGB(255, 255, 255));
  main.listColumnZeroWidth = list.ClientWidth() / 3;
  return 1;
}

int BuildCaptionRebar(HWND container, int id, HWND& caption) {
  caption = Child(REBARCLASSNAMEW, WS_CLIPSIBLINGS | CCS_NODIVIDER | RBS_VARHEIGHT, container, id);
  if (!caption) return 0;
  REBARBANDINFOW band = {sizeof(band)};
  band.fMask = RBBIM_STYLE | RBBIM_TEXT | RBBIM_CHILDSIZE | RBBIM_SIZE;
  band.fStyle = RBBS_NOGRIPPER | RBBS_NOVERT;
  band.lpText = const_cast<wchar_t*>(L"");
  band.cxMinChild = 10;
  band.cyMinChild = kCaptionHeight;
  band.cx = 10;
  return Rebar(caption).InsertBand(band) ? 1 : 0;
}

int BuildGroupList(ThreadContext& ctx, MainWindow& main) {
  main.groupList = Child(WC_LISTVIEWW, LVS_ICON | LVS_SHOWSELALWAYS | LVS_AUTOARRANGE, main.groupContainer,
                         kGroupListId, 0, kPaneTop, 100, 100);
  if (!main.groupList) return Fail(ctx, 227);
  const ListView list(main.groupList);
  list.InsertColumn(0, L"", kGroupColumnWidth);
  main.list48.Reset(ImageList_Create(48, 48, ILC_COLOR32 | ILC_MASK, 20, 40));
  if (!main.list48) return Fail(ctx, 204);
  if (!AddBlankPicture(ctx, main.list48.get(), 48)) return 0;
  list.SetImageList(main.list48.get(), LVSIL_NORMAL);
  list.SetBackgroundColour(RGB(255, 255, 255));
  return 1;
}

}  // namespace

int BuildMainWindow(ThreadContext& ctx, MainWindow& main, const PlatformFunctions& functions, int language) {
  RECT client;
  GetClientRect(main.window, &client);
  const int width = client.right;
  const int height = client.bottom;

  if (!BuildToolBar1(ctx, main, language)) return 0;
  main.formatBox = Child(WC_COMBOBOXW, CBS_DROPDOWNLIST | WS_VSCROLL, main.window, kFormatBox, 0, 0, 190, 300);
  if (!main.formatBox) return Fail(ctx, 211);
  main.recentBox = Child(WC_COMBOBOXW, CBS_DROPDOWN | CBS_AUTOHSCROLL | WS_VSCROLL, main.window, kRecentBox, 0, 0,
                         200, 300);
  if (!main.recentBox) return Fail(ctx, 212);
  for (HWND box : {main.formatBox, main.recentBox}) {
    SendMessageW(box, WM_SETFONT, reinterpret_cast<WPARAM>(GetStockObject(DEFAULT_GUI_FONT)), FALSE);
  }
  if (!LoadPackedIcons(ctx, main)) return 0;
  if (!BuildToolBar2(ctx, main)) return 0;
  if (!BuildTopRebar(ctx, main, language)) return 0;

  main.status.bar = Child(STATUSCLASSNAMEW, CCS_BOTTOM, main.window, kStatusBarId);
  if (!main.status.bar) return Fail(ctx, 224);
  SendMessageW(main.status.bar, SB_SETMINHEIGHT, 20, 0);
  SendMessageW(main.status.bar, WM_SIZE, 0, 0);
  main.topHeight = TopHeightOf(main);

  main.tree = Child(WC_TREEVIEWW, TVS_HASBUTTONS | TVS_HASLINES | TVS_LINESATROOT | TVS_SHOWSELALWAYS, main.window,
                    kFolderTree, 0, 0, width / 3, kTreeHeight, WS_EX_CLIENTEDGE);
  if (!main.tree) return Fail(ctx, 225);
  TreeView_SetBkColor(main.tree, RGB(255, 255, 255));
  if (!BuildFileList(ctx, main, width - width / 3 - 4, language)) return 0;

  main.splitter11 = CreateSplitter(main.window, kUpperSplitter,
                                   {1, main.topHeight - 1, width, main.topHeight - 1 + kUpperSplitterHeight},
                                   main.tree, main.fileList, {SplitDirection::kSideBySide, kSplitterBar});
  if (!main.splitter11) return Fail(ctx, kMsgFirstFatal);
  SetSplitterPosition(main.splitter11, width / 3);

  RECT status;
  if (!GetWindowRect(main.status.bar, &status) || !MapWindowPoints(nullptr, main.window, reinterpret_cast<POINT*>(&status), 2)) {
    return Fail(ctx, kMsgFirstFatal);
  }
  main.paneWidth = kPaneInnerWidth + GetSystemMetrics(SM_CXVSCROLL);

  main.groupContainer = CreateContainer(main.window, kGroupContainer, {0, 0, 400, 200});
  if (!main.groupContainer) return Fail(ctx, 229);
  if (!BuildCaptionRebar(main.groupContainer, kGroupCaptionId, main.groupCaption)) return Fail(ctx, 234);
  if (!BuildGroupList(ctx, main)) return 0;

  main.paneContainer = CreateContainer(main.window, kPaneContainer, {0, 0, 300, 200});
  if (!main.paneContainer || !BuildCaptionRebar(main.paneContainer, kPaneCaptionId, main.paneCaption)) {
    return Fail(ctx, kMsgFirstFatal);
  }
  main.imagePane = CreateScrollArea(main.paneContainer, kImagePaneId, {0, kPaneTop, 300, 200},
                                    main.paneWidth - GetSystemMetrics(SM_CXVSCROLL) + 5, kPaneScrollStep);
  if (!main.imagePane) return Fail(ctx, 228);

  const int upperBottom = main.topHeight - 1 + kUpperSplitterHeight;
  main.splitter12 = CreateSplitter(main.window, kLowerSplitter,
                                   {1, upperBottom, width, upperBottom + status.top - main.topHeight - 3},
                                   main.groupContainer, main.paneContainer, {SplitDirection::kSideBySide, kSplitterBar});
  if (!main.splitter12) return Fail(ctx, 231);

  if (functions.setWindowTheme) {
    for (HWND themed : {main.groupList, main.tree, main.fileList}) functions.setWindowTheme(themed, L"Explorer", nullptr);
  }
  ListView(main.fileList).SetIconSpacing(52, 82);
  ListView(main.groupList).SetIconSpacing(56, 88);
  SetSplitterMinimumSizes(main.splitter12, 0, width / 3);

  const int statusHeight = status.bottom - status.top;
  main.splitter13 = CreateSplitter(main.window, kMainSplitter,
                                   {1, main.topHeight - 1, width, height - statusHeight - 1}, main.splitter11,
                                   main.splitter12, {SplitDirection::kAboveBelow, kSplitterBar});
  if (!main.splitter13) return Fail(ctx, 232);
  SetSplitterMinimumSizes(main.splitter13, 0, kLowerMinimum);
  for (HWND splitter : {main.splitter11, main.splitter12, main.splitter13}) {
    SetSplitterCallback(splitter, [&main](HWND moved, int first, int second) {
      return OnSplitterMoved(main, moved, first, second);
    });
  }
  SetSplitterPosition(main.splitter13, kUpperSplitterHeight - kUpperHeightLess);
  SetSplitterPosition(main.splitter12, width - main.paneWidth - GetSystemMetrics(SM_CXVSCROLL) + 11);

  LayoutMainWindow(main);
  // The file list's last column leaves room for a thumb at the start.
  ListView(main.fileList).SetColumnWidth(4, ListView(main.fileList).ColumnWidth(4) - GetSystemMetrics(SM_CXHTHUMB));
  UpdateWindow(main.window);

  if (!InstallStatusPartDrawing(main.window, main.status)) return Fail(ctx, kMsgFirstFatal);
  main.status.fileIcon = main.packedIcons[21].get();
  main.status.detailIcon = main.packedIcons[20].get();
  main.status.font = main.startupFont;
  SendMessageW(main.status.bar, WM_SETFONT, reinterpret_cast<WPARAM>(main.startupFont), TRUE);
  ClearStatus(main.status);
  // The status bar's height follows its font.
  LayoutMainWindow(main);
  return 1;
}

}  // namespace zx
