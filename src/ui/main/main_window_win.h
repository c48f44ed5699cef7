// The main window: the top rebar with both tool bars and the recent-folder and
// format boxes, the folder tree and file list above, the group list and image
// pane below, three splitters between them and the two-part status bar.
// Every control carries its number as its window id.
#pragma once

#include <windows.h>

#include <functional>
#include <string>

#include "core/error_report_win.h"
#include "core/thread_context.h"
#include "core/win_handles.h"
#include "ui/controls/theme_functions_win.h"
#include "ui/main/status_parts_win.h"

namespace zx {

// Window ids of the controls.
enum MainControl : int {
  kRecentBox = 3,
  kFormatBox = 4,
  kFolderTree = 5,
  kFileList = 6,
  kGroupListId = 7,
  kImagePaneId = 8,
  kGroupContainer = 9,
  kPaneContainer = 10,
  kUpperSplitter = 11,
  kLowerSplitter = 12,
  kMainSplitter = 13,
  kToolBar1Id = 20,
  kToolBar2Id = 21,
  kTopRebarId = 22,
  kStatusBarId = 23,
  kGroupCaptionId = 24,
  kPaneCaptionId = 25,
};

// Client size at start, and the smallest the window may become.
constexpr int kMainWidth = 980;
constexpr int kMainHeight = 669;  // rint(980 / 1.618...) + 63

// What the window asks of the program around it.
struct MainWindowHost {
  // Every command (tool bars, menus, shortcuts).
  std::function<void(int command)> command;
  // A control's own event: its number and the notification code.
  std::function<void(int control, int event)> controlEvent;
  // Notifications (tool bar drop-downs and tool tips, list and tree events).
  std::function<LRESULT(NMHDR* header)> notify;
  // The window was maximised or restored.
  std::function<void(WPARAM kind)> sized;
  // The user closed the window or chose Exit.
  std::function<void()> close;
  // Control events and posted events of the views, seen first; true when handled.
  std::function<bool(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result)> viewEvent;
};

struct MainWindow {
  HWND window = nullptr;
  HWND toolBar1 = nullptr;
  HWND toolBar2 = nullptr;
  HWND rebar = nullptr;
  HWND recentBox = nullptr;
  HWND formatBox = nullptr;
  HWND tree = nullptr;
  HWND fileList = nullptr;
  HWND groupList = nullptr;
  HWND imagePane = nullptr;
  HWND groupContainer = nullptr;
  HWND paneContainer = nullptr;
  HWND groupCaption = nullptr;
  HWND paneCaption = nullptr;
  HWND splitter11 = nullptr;
  HWND splitter12 = nullptr;
  HWND splitter13 = nullptr;
  StatusBarState status;

  // The image lists kept by name: "85" tool bar 1, "86" tool bar 2, "48" group list.
  UniqueImageList list85;
  UniqueImageList list86;
  UniqueImageList list48;
  // Packed icons 20-48 as image objects; 22 and 23 are freed once in list "86".
  UniqueIcon packedIcons[49];

  int topHeight = 0;
  int listColumnZeroWidth = 0;
  int paneWidth = 0;

  // Registered "QOR_ALREADY_EXIST": a second start asks this window forward.
  UINT activateMessage = 0;
  bool themeChangeSeen = false;
  ThreadContext* ctx = nullptr;
  ErrorReporter* reporter = nullptr;
  MainWindowHost host;
  HFONT startupFont = nullptr;
};

// Creates the top-level window, hidden, with a 980 x 669 client area placed in
// the work area (centred on the screen when that is too small). 0 with fatal
// 200 when it cannot be created.
int CreateMainWindow(ThreadContext& ctx, MainWindow& main, const std::u16string& title);

// Where the window goes: centred in the work area (its client area counted),
// 5 pixels above the middle; centred on the screen (the whole window
// counted) when the work area is unknown (null) or smaller than 980 x 669.
POINT MainWindowPosition(const RECT* workArea, SIZE screen, SIZE outer);

// Adds `MainWindowProcedure` over the window's own procedure.
bool InstallMainWindowProcedure(MainWindow& main);

// Builds every control; 0 with the fatal number of the part that failed.
// `setWindowTheme` (null where absent) gives the lists and the tree the
// "Explorer" look. `ctx` needs its image codec services for the pictures.
int BuildMainWindow(ThreadContext& ctx, MainWindow& main, SetWindowThemeFunction setWindowTheme, int language);

// Fits the controls to the window's size (every size event).
void LayoutMainWindow(MainWindow& main);

// Splitters 11, 12 and 13 report their moves here; false refuses the move.
bool OnSplitterMoved(MainWindow& main, HWND splitter, int first, int second);

// True when one of the window's themed parts reports a visual style.
bool MainWindowHasTheme(const MainWindow& main, GetWindowThemeFunction getWindowTheme);

// The window's client width now.
int MainClientWidth(const MainWindow& main);

}  // namespace zx
