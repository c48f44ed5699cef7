// How the main window's controls follow its size and the splitters' moves.
#include <windows.h>
#include <commctrl.h>

#include <cmath>

#include "ui/controls/list_view_win.h"
#include "ui/controls/rebar_win.h"
#include "ui/main/main_window_win.h"
#include "ui/main/splitter_win.h"

namespace zx {
namespace {

constexpr int kPaneTop = 31;
// Below the group list: the caption band and its gap.
constexpr int kPaneHeightLess = 35;
constexpr int kRecentBandShare = 2;  // band 1 is half the window wide
constexpr int kToolBar2BandWidth = 96;
constexpr int kFormatBandWidth = 200;
constexpr int kFormatBoxInset = 10;

int WidthOf(HWND window) {
  RECT rect = {};
  GetWindowRect(window, &rect);
  return rect.right - rect.left;
}
int HeightOf(HWND window) {
  RECT rect = {};
  GetWindowRect(window, &rect);
  return rect.bottom - rect.top;
}

void Resize(HWND window, int x, int y, int width, int height) {
  SetWindowPos(window, nullptr, x, y, std::max(0, width), std::max(0, height), SWP_NOZORDER | SWP_NOACTIVATE);
}

// The group list and the image pane inside their containers.
void SizeIconViewPanes(MainWindow& main) {
  const int border = SplitterBorder(main.splitter12);
  const int groupWidth = SplitterPosition(main.splitter12) - border;
  const int height = HeightOf(main.splitter13) - SplitterPosition(main.splitter13) - kPaneHeightLess;
  Resize(main.groupList, 0, kPaneTop, groupWidth, height);
  Resize(main.imagePane, 0, kPaneTop, WidthOf(main.splitter13) - groupWidth - 2 * border - 3, height);
}

// Details-view widths: 2 : 0.6 : 0.9 : 1 sixths of the width, the last column
// filling the header. Other views get them too, so that details is right when
// the user comes back to it.
void SizeFileListColumns(MainWindow& main) {
  const ListView list(main.fileList);
  const int view = list.View();
  if (view != LV_VIEW_DETAILS) list.SetView(LV_VIEW_DETAILS);
  const int sixth = list.ClientWidth() / 6;
  list.SetColumnWidth(0, sixth * 2);
  list.SetColumnWidth(1, static_cast<int>(std::lrint(sixth * 0.6)));
  list.SetColumnWidth(2, static_cast<int>(std::lrint(sixth * 0.9)));
  list.SetColumnWidth(3, sixth);
  list.SetColumnWidth(4, LVSCW_AUTOSIZE_USEHEADER);
  if (view != LV_VIEW_DETAILS) {
    list.SetView(view);
    if (view == LV_VIEW_SMALLICON) list.SetColumnWidth(0, main.listColumnZeroWidth);
  }
}

void SizeRebarBands(MainWindow& main, int width) {
  const Rebar rebar(main.rebar);
  rebar.SetBandWidth(1, width / kRecentBandShare);
  rebar.SetBandWidth(2, kToolBar2BandWidth);
  rebar.SetBandWidth(3, kFormatBandWidth);
  RECT box = {};
  GetWindowRect(main.formatBox, &box);
  SetWindowPos(main.formatBox, nullptr, 0, 0, std::max(0, static_cast<int>(rebar.BandRect(3).right - rebar.BandRect(3).left) - kFormatBoxInset),
               box.bottom - box.top, SWP_NOZORDER | SWP_NOMOVE | SWP_NOACTIVATE);
}

}  // namespace

void LayoutMainWindow(MainWindow& main) {
  RECT client;
  GetClientRect(main.window, &client);
  const int width = client.right;
  InvalidateRect(main.window, nullptr, TRUE);
  Resize(main.rebar, 0, 0, width - 2, HeightOf(main.rebar));
  SendMessageW(main.status.bar, WM_SIZE, 0, 0);
  const int statusHeight = HeightOf(main.status.bar);
  Resize(main.splitter13, 1, main.topHeight - 1, width - 2, client.bottom - main.topHeight - statusHeight);
  SizeIconViewPanes(main);
  SizeRebarBands(main, width);
  SizeFileListColumns(main);
  SetStatusPartWidths(main.status, width);
  UpdateWindow(main.window);
}

bool OnSplitterMoved(MainWindow& main, HWND splitter, int first, int second) {
  const int border = SplitterBorder(splitter);
  if (splitter == main.splitter11) {
    Resize(main.tree, 0, 0, first - 2 * border, HeightOf(main.tree));
    const ListView list(main.fileList);
    // Tiles flow again only when the view is set anew.
    if (list.View() == LV_VIEW_TILE) {
      list.SetView(LV_VIEW_DETAILS);
      list.SetView(LV_VIEW_TILE);
    }
    return true;
  }
  if (splitter == main.splitter12) {
    if (second == WidthOf(main.imagePane) + 1) return false;
    SendMessageW(main.groupCaption, WM_SETREDRAW, FALSE, 0);
    Rebar(main.groupCaption).SetBandWidth(0, first);
    Rebar(main.paneCaption).SetBandWidth(0, second);
    SizeIconViewPanes(main);
    SendMessageW(main.groupCaption, WM_SETREDRAW, TRUE, 0);
    for (HWND repaint : {main.groupCaption, main.paneCaption, main.toolBar2}) {
      RedrawWindow(repaint, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
    }
    return true;
  }
  if (splitter == main.splitter13) {
    // Splitter 11 has given the tree and the file list its new height already.
    (void)first;
    RedrawWindow(main.toolBar2, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE);
    return true;
  }
  return true;
}

}  // namespace zx
