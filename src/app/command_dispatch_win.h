// The main event loop and the command dispatch of the main window: every
// menu, shortcut, tool bar and posted command, the drop-downs and tool tips,
// the mouse routing between the panes and the change of language.
#pragma once

#include <windows.h>
#include <commctrl.h>

namespace zx {

struct Application;

// Commands without a control of their own.
enum ShortcutCommand : int {
  kSelectAllShortcut = 101,
  kToggleShortcut = 102,
  kEscapeShortcut = 103,
  kDeleteShortcut = 104,
};

// The window property holding the number of the last command the dispatch
// carried out (posted and ignored commands leave it as it was).
constexpr wchar_t kLastCommandProperty[] = L"ZorvexLastCommand";
// The number of commands the dispatch has handled, carried out or not.
constexpr wchar_t kCommandCountProperty[] = L"ZorvexCommandCount";
constexpr UINT_PTR kSelectionTimer = 11;

// Connects the main window's commands, notifications and size events to the dispatch.
void ConnectMainWindow(Application& app);
// Waits for events and dispatches them until the user quits.
void RunEventLoop(Application& app);
// The command table.
void DispatchCommand(Application& app, int command);
// A control's event (WM_COMMAND from a control, its notification code).
void DispatchControlEvent(Application& app, int control, int event);
// Drop-downs and tool tips of the tool bars, events of the lists and the tree.
LRESULT DispatchNotify(Application& app, NMHDR* header);
// The file list's menu at a screen point (negative: at the pointer).
void ShowFileListMenu(Application& app, int x, int y);
// After a change of `LanguageChoice`: every text of the window in the new language.
void ApplyLanguage(Application& app);
// The menus, built again in the current language.
void RebuildMenus(Application& app);

}  // namespace zx
