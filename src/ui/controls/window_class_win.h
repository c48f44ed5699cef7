// Registering the program's own window classes, and what the holders among
// them pass on.
#pragma once

#include <windows.h>

namespace zx {

// Registers a class of this program with the arrow cursor and the given
// background (null: the window paints all of itself). True when the class
// exists afterwards, also when it was registered before.
bool RegisterProgramClass(const wchar_t* name, WNDPROC procedure, HBRUSH background);

// A window that only holds controls passes their notifications, commands,
// drawing requests and context menus on to its own parent: true when
// `message` is one of them.
inline bool IsChildNotification(UINT message) {
  return message == WM_NOTIFY || message == WM_COMMAND || message == WM_DRAWITEM || message == WM_CONTEXTMENU;
}

}  // namespace zx
