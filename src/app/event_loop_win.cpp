// The main event loop: shortcuts, the mouse routing between the panes, the
// keyboard navigation of the image pane and timer 11, around the ordinary
// dispatch of window messages.
#include <windows.h>
#include <commctrl.h>

#include "app/application_win.h"
#include "app/command_dispatch_win.h"
#include "ui/controls/list_view_win.h"
#include "ui/main/command_entry_points_win.h"
#include "ui/menus/main_menus_win.h"

namespace zx {
namespace {

constexpr UINT kSelectionTimerPeriod = 50;

bool IsIn(HWND window, HWND control) { return control && (window == control || IsChild(control, window)); }

// Where a button press lands decides the focus, and the right button's menu.
void RouteMouse(Application& app, const MSG& message) {
  MainWindow& main = app.main;
  const HWND under = WindowFromPoint(message.pt);
  if (!under) return;
  const bool onPane = IsIn(under, main.imagePane) || IsIn(under, main.paneContainer);
  if (message.message == WM_LBUTTONDOWN) {
    if (IsIn(under, main.groupList)) {
      GroupSelectionChanged(app);
    } else if (onPane) {
      SetFocus(main.imagePane);
    }
    return;
  }
  if (IsIn(under, main.groupList)) {
    if (ListView(main.groupList).SelectedCount() == 0) {
      GroupSelectionChanged(app);
    } else {
      ResetPictures(app);
      app.menus.ShowPopupMenu(kGroupListMenu, main.window, message.pt.x, message.pt.y);
    }
  } else if (IsIn(under, main.fileList) && IsIn(GetFocus(), main.fileList)) {
    UnselectAllPictures(app);
    ShowFileListMenu(app, message.pt.x, message.pt.y);
  } else if (onPane) {
    SetFocus(main.imagePane);
    if (HasFocusedSelectedPicture(app)) {
      app.menus.ShowPopupMenu(kImagePaneMenu, main.window, message.pt.x, message.pt.y);
    }
  }
}

// Timer 11: the selected file row scrolled into view, then the tree's selection.
void KeepSelectionVisible(Application& app) {
  MainWindow& main = app.main;
  const int row = static_cast<int>(SendMessageW(main.fileList, LVM_GETNEXTITEM, -1, LVNI_SELECTED));
  if (row >= 0 && !SendMessageW(main.fileList, LVM_ISITEMVISIBLE, row, 0)) {
    SendMessageW(main.fileList, LVM_ENSUREVISIBLE, row, FALSE);
    return;
  }
  KillTimer(main.window, kSelectionTimer);
  if (HTREEITEM selected = TreeView_GetSelection(main.tree)) TreeView_Select(main.tree, selected, TVGN_FIRSTVISIBLE);
}

void OnSized(Application& app) {
  if (ListView(app.main.fileList).SelectedCount() == 0) OpenSelectedFileIfOther(app);
  SetTimer(app.main.window, kSelectionTimer, kSelectionTimerPeriod, nullptr);
}

}  // namespace

void ConnectMainWindow(Application& app) {
  MainWindowHost& host = app.main.host;
  host.command = [&app](int command) { DispatchCommand(app, command); };
  host.controlEvent = [&app](int control, int event) { DispatchControlEvent(app, control, event); };
  host.notify = [&app](NMHDR* header) { return DispatchNotify(app, header); };
  host.sized = [&app](WPARAM) { OnSized(app); };
  host.close = [&app] { app.quitRequested = true; };
}

void RunEventLoop(Application& app) {
  MainWindow& main = app.main;
  MSG message;
  while (!app.quitRequested && GetMessageW(&message, nullptr, 0, 0) > 0) {
    if (app.accelerators && TranslateAcceleratorW(main.window, app.accelerators, &message)) continue;
    if (message.message == WM_TIMER && message.hwnd == main.window && message.wParam == kSelectionTimer) {
      KeepSelectionVisible(app);
      continue;
    }
    if (message.message == WM_KEYDOWN && (message.wParam == VK_UP || message.wParam == VK_DOWN) &&
        !IsIn(message.hwnd, main.groupList) && HasFocusedSelectedPicture(app)) {
      NavigatePicture(app, static_cast<int>(message.wParam), GetKeyState(VK_SHIFT) < 0);
      continue;
    }
    TranslateMessage(&message);
    DispatchMessageW(&message);
    if (message.message == WM_LBUTTONDOWN || message.message == WM_RBUTTONDOWN) RouteMouse(app, message);
  }
}

}  // namespace zx
