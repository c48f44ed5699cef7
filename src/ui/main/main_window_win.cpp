// The main window itself: its creation and placement, and the window
// procedures the program adds to it.
#include "ui/main/main_window_win.h"

#include <commctrl.h>

#include "core/messages.h"
#include "core/win_text.h"
#include "ui/controls/window_class_win.h"

namespace zx {
namespace {

constexpr wchar_t kMainWindowClass[] = L"ZorvexMainWindow";
constexpr DWORD kMainWindowStyle = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX | WS_MAXIMIZEBOX;
constexpr UINT_PTR kMainProcedureId = 1;
// The window sits this much above the centre of the work area.
constexpr int kRaiseAboveCentre = 5;

MainWindow* From(HWND window) { return reinterpret_cast<MainWindow*>(GetWindowLongPtrW(window, GWLP_USERDATA)); }

// The whole window's size for a 980 x 669 client area.
SIZE OuterSize() {
  RECT rect = {0, 0, kMainWidth, kMainHeight};
  AdjustWindowRectEx(&rect, kMainWindowStyle, FALSE, 0);
  return {rect.right - rect.left, rect.bottom - rect.top};
}

// The window's own events: size, minimum size, closing and commands.
LRESULT CALLBACK MainWindowEvents(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  MainWindow* main = From(window);
  if (LRESULT handled = 0; main && main->host.viewEvent && main->host.viewEvent(message, wParam, lParam, handled)) {
    return handled;
  }
  switch (message) {
    case WM_GETMINMAXINFO: {
      const SIZE outer = OuterSize();
      auto* limits = reinterpret_cast<MINMAXINFO*>(lParam);
      limits->ptMinTrackSize = {outer.cx, outer.cy};
      return 0;
    }
    case WM_SIZE:
      if (main && main->splitter13 && wParam != SIZE_MINIMIZED) LayoutMainWindow(*main);
      if (main && main->host.sized && (wParam == SIZE_MAXIMIZED || wParam == SIZE_RESTORED)) main->host.sized(wParam);
      return 0;
    case WM_CLOSE:
      if (main && main->host.close) main->host.close();
      return 0;
    case WM_COMMAND: {
      if (!main) return 0;
      // Menus and shortcuts come without a control, tool bar buttons from their bar.
      const HWND from = reinterpret_cast<HWND>(lParam);
      if (!from || from == main->toolBar1 || from == main->toolBar2) {
        if (main->host.command) main->host.command(LOWORD(wParam));
      } else if (main->host.controlEvent) {
        main->host.controlEvent(LOWORD(wParam), HIWORD(wParam));
      }
      return 0;
    }
    case WM_NOTIFY:
      if (main && main->host.notify) return main->host.notify(reinterpret_cast<NMHDR*>(lParam));
      break;
  }
  return DefWindowProcW(window, message, wParam, lParam);
}

// Added over the window's own procedure; the previous one handles each message first.
LRESULT CALLBACK MainWindowProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR,
                                     DWORD_PTR data) {
  auto* main = reinterpret_cast<MainWindow*>(data);
  const LRESULT result = DefSubclassProc(window, message, wParam, lParam);
  if (message == WM_THEMECHANGED) {
    // The controls were built for the style in effect at start; the program
    // stops rather than run with a half-changed look.
    if (!main->themeChangeSeen) {
      main->themeChangeSeen = true;
      ShowWindow(window, SW_HIDE);
      Fail(*main->ctx, kMsgThemeChanged);
      main->reporter->ReportError();
    }
  } else if (main->activateMessage && message == main->activateMessage) {
    // Minimising first brings the window forward even behind another program.
    if (!IsIconic(window)) ShowWindow(window, SW_MINIMIZE);
    ShowWindow(window, SW_RESTORE);
    SetForegroundWindow(window);
  } else if (message == WM_ACTIVATE) {
    if ((LOWORD(wParam) == WA_ACTIVE || LOWORD(wParam) == WA_CLICKACTIVE) && main->splitter11) {
      BringWindowToTop(window);
      RedrawWindow(main->splitter11, nullptr, nullptr, RDW_INVALIDATE | RDW_ALLCHILDREN);
    }
  } else if (message == WM_NCDESTROY) {
    RemoveWindowSubclass(window, MainWindowProcedure, kMainProcedureId);
  }
  return result;
}

bool RegisterMainWindowClass() {
  static const bool registered = RegisterProgramClass(kMainWindowClass, MainWindowEvents, GetSysColorBrush(COLOR_BTNFACE));
  return registered;
}

}  // namespace

int CreateMainWindow(ThreadContext& ctx, MainWindow& main, const std::u16string& title) {
  if (!RegisterMainWindowClass()) return Fail(ctx, kMsgFirstFatal);
  const SIZE outer = OuterSize();
  RECT work = {};
  const bool haveWorkArea = SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
  const POINT at = MainWindowPosition(haveWorkArea ? &work : nullptr,
                                      {GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)}, outer);
  main.window = CreateWindowExW(0, kMainWindowClass, Wide(title), kMainWindowStyle, at.x, at.y, outer.cx, outer.cy,
                                nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
  if (!main.window) return Fail(ctx, kMsgFirstFatal);
  SetWindowLongPtrW(main.window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(&main));
  SetWindowLongPtrW(main.window, GWL_STYLE, GetWindowLongPtrW(main.window, GWL_STYLE) | WS_CLIPCHILDREN);
  return 1;
}

POINT MainWindowPosition(const RECT* workArea, SIZE screen, SIZE outer) {
  if (workArea && workArea->right - workArea->left >= kMainWidth && workArea->bottom - workArea->top >= kMainHeight) {
    return {workArea->left + (workArea->right - workArea->left - kMainWidth) / 2,
            workArea->top + (workArea->bottom - workArea->top - kMainHeight) / 2 - kRaiseAboveCentre};
  }
  return {(screen.cx - outer.cx) / 2, (screen.cy - outer.cy) / 2};
}

bool InstallMainWindowProcedure(MainWindow& main) {
  return SetWindowSubclass(main.window, MainWindowProcedure, kMainProcedureId, reinterpret_cast<DWORD_PTR>(&main));
}

bool MainWindowHasTheme(const MainWindow& main, GetWindowThemeFunction getWindowTheme) {
  if (!getWindowTheme) return false;
  for (HWND part : {main.rebar, main.fileList, main.recentBox, main.formatBox, main.tree, main.groupList,
                    main.imagePane, main.toolBar1, main.toolBar2}) {
    if (part && getWindowTheme(part)) return true;
  }
  return false;
}

int MainClientWidth(const MainWindow& main) {
  RECT client = {};
  GetClientRect(main.window, &client);
  return client.right;
}

}  // namespace zx
