// The one message box of the program: a task dialog where the common controls
// offer one, the plain system message box otherwise.
#pragma once

#include <windows.h>

#include <string>

namespace zx {

using TaskDialogIndirectFunction = HRESULT(WINAPI*)(const void* config, int* button, int* radio,
                                                    BOOL* verification);

// Set once at start-up from the common controls (null where absent).
void SetTaskDialogFunction(TaskDialogIndirectFunction function);
TaskDialogIndirectFunction TaskDialogFunction();

// type: message-box icon and button bits. Result: 0 OK (or anything else),
// 2 Cancel, 6 Yes, 7 No.
int ShowMessageBox(const std::u16string& text, UINT type, HWND owner);

// The title every message box carries: "Zorvex version 2.00 beta 2 - (x64)".
std::u16string MessageBoxTitle();

}  // namespace zx
