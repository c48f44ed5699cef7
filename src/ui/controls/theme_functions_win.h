// The visual-style functions, resolved by name from Uxtheme.dll at start-up
// (older systems lack them).
#pragma once

#include <windows.h>
#include <uxtheme.h>

namespace zx {

using OpenThemeDataFunction = HTHEME(WINAPI*)(HWND, LPCWSTR);
using SetWindowThemeFunction = HRESULT(WINAPI*)(HWND, LPCWSTR, LPCWSTR);
using IsThemeActiveFunction = BOOL(WINAPI*)();
using GetWindowThemeFunction = HTHEME(WINAPI*)(HWND);

}  // namespace zx
