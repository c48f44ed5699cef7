// System functions that older Windows versions may lack, resolved by name at
// start-up. Functions the conversion worker uses are resolved twice, from two
// handles of their library: index 0 for the user-interface thread, 1 for the
// worker. GDI+ and StgCreateStorageEx live with the thread's image codec
// services (imaging/thread_services_win.h).
#pragma once

#include <windows.h>

#include <cstdint>

#include "core/thread_context.h"
#include "core/win_handles.h"
#include "imaging/gdiplus_win.h"
#include "imaging/scratch_stream_win.h"
#include "ui/controls/theme_functions_win.h"

namespace zx {

using UpdateResourceAFunction = BOOL(WINAPI*)(HANDLE, LPCSTR, LPCSTR, WORD, LPVOID, DWORD);
using EnumResourceNamesWFunction = BOOL(WINAPI*)(HMODULE, LPCWSTR, ENUMRESNAMEPROCW, LONG_PTR);
using EnumResourceLanguagesWFunction = BOOL(WINAPI*)(HMODULE, LPCWSTR, LPCWSTR, ENUMRESLANGPROCW, LONG_PTR);
using HeapSetInformationFunction = BOOL(WINAPI*)(HANDLE, HEAP_INFORMATION_CLASS, PVOID, SIZE_T);
using DllGetVersionFunction = HRESULT(CALLBACK*)(void* versionInfo);

struct PlatformFunctions {
  UniqueModule uxtheme;
  OpenThemeDataFunction openThemeData = nullptr;
  SetWindowThemeFunction setWindowTheme = nullptr;
  IsThemeActiveFunction isThemeActive = nullptr;
  GetWindowThemeFunction getWindowTheme = nullptr;

  UniqueModule kernel[2];
  UpdateResourceAFunction updateResourceA[2] = {};
  EnumResourceNamesWFunction enumResourceNames[2] = {};
  EnumResourceLanguagesWFunction enumResourceLanguages = nullptr;
  HeapSetInformationFunction heapSetInformation = nullptr;

  UniqueModule comctl;
  DllGetVersionFunction dllGetVersion = nullptr;
  FARPROC taskDialogIndirect = nullptr;
};

// Uxtheme: whatever is found; what is missing stops the start in the theme
// check instead. GDI+ is resolved into the thread's GdiplusLibrary.
void ResolveThemeFunctions(PlatformFunctions& functions);
// True when every theme function the theme check needs and all seven GDI+
// entry points were found.
bool HasThemeAndGdiplusFunctions(const PlatformFunctions& functions, const GdiplusLibrary& gdiplus);

// kernel32 twice; 0 with fatal message 220 when the library or one of the
// first five functions is missing. Switches the process heap to the
// low-fragmentation heap where that is offered.
int ResolveKernelFunctions(ThreadContext& ctx, PlatformFunctions& functions);

// The common controls' version check (fatal 221) and TaskDialogIndirect,
// which may be absent. Nothing is checked when the library does not load.
int ResolveCommonControlsFunctions(ThreadContext& ctx, PlatformFunctions& functions);

// Ole32 twice and StgCreateStorageEx from both, into the scratch-stream
// registries of the user-interface thread and of the conversion worker;
// fatal 222 when missing.
int ResolveOleFunctions(ThreadContext& ctx, ScratchStreamRegistry& ui, ScratchStreamRegistry& conversion);

// kernel32 (both), comctl32 and Uxtheme, in this order.
void ReleasePlatformFunctions(PlatformFunctions& functions);

}  // namespace zx
