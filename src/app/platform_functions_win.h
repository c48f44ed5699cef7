// System functions that older Windows versions may lack, resolved by name at
// start-up. Functions the conversion worker uses are resolved twice, from two
// handles of their library: index 0 for the user-interface thread, 1 for the
// worker.
#pragma once

#include <windows.h>
#include <uxtheme.h>

#include <cstdint>

#include "core/thread_context.h"
#include "core/win_handles.h"

namespace zx {

using OpenThemeDataFunction = HTHEME(WINAPI*)(HWND, LPCWSTR);
using SetWindowThemeFunction = HRESULT(WINAPI*)(HWND, LPCWSTR, LPCWSTR);
using IsThemeActiveFunction = BOOL(WINAPI*)();
using GetWindowThemeFunction = HTHEME(WINAPI*)(HWND);
using UpdateResourceAFunction = BOOL(WINAPI*)(HANDLE, LPCSTR, LPCSTR, WORD, LPVOID, DWORD);
using EnumResourceNamesWFunction = BOOL(WINAPI*)(HMODULE, LPCWSTR, ENUMRESNAMEPROCW, LONG_PTR);
using EnumResourceLanguagesWFunction = BOOL(WINAPI*)(HMODULE, LPCWSTR, LPCWSTR, ENUMRESLANGPROCW, LONG_PTR);
using HeapSetInformationFunction = BOOL(WINAPI*)(HANDLE, HEAP_INFORMATION_CLASS, PVOID, SIZE_T);
using DllGetVersionFunction = HRESULT(CALLBACK*)(void* versionInfo);
using StgCreateStorageExFunction = HRESULT(WINAPI*)(const WCHAR*, DWORD, DWORD, DWORD, void*, void*,
                                                    REFIID, void**);

// The GDI+ entry points, in the order they are resolved.
enum GdiplusEntry {
  kGdiplusStartup,
  kGdipLoadImageFromStream,
  kGdipGetImageWidth,
  kGdipGetImageHeight,
  kGdipDisposeImage,
  kGdiplusShutdown,
  kGdipSaveImageToStream,
  kGdiplusEntryCount
};

struct PlatformFunctions {
  UniqueModule uxtheme;
  OpenThemeDataFunction openThemeData = nullptr;
  SetWindowThemeFunction setWindowTheme = nullptr;
  IsThemeActiveFunction isThemeActive = nullptr;
  GetWindowThemeFunction getWindowTheme = nullptr;

  UniqueModule gdiplus;
  FARPROC gdiplusEntries[kGdiplusEntryCount] = {};

  UniqueModule kernel[2];
  UpdateResourceAFunction updateResourceA[2] = {};
  EnumResourceNamesWFunction enumResourceNames[2] = {};
  EnumResourceLanguagesWFunction enumResourceLanguages = nullptr;
  HeapSetInformationFunction heapSetInformation = nullptr;

  UniqueModule comctl;
  DllGetVersionFunction dllGetVersion = nullptr;
  FARPROC taskDialogIndirect = nullptr;

  UniqueModule ole[2];
  StgCreateStorageExFunction stgCreateStorageEx[2] = {};
};

// Uxtheme and GDI+: whatever is found; what is missing stops the start in the
// theme check instead.
void ResolveThemeAndGdiplus(PlatformFunctions& functions);
// True when every theme function the theme check needs and all seven GDI+
// entry points were found.
bool HasThemeAndGdiplusFunctions(const PlatformFunctions& functions);

// kernel32 twice; 0 with fatal message 220 when the library or one of the
// first five functions is missing. Switches the process heap to the
// low-fragmentation heap where that is offered.
int ResolveKernelFunctions(ThreadContext& ctx, PlatformFunctions& functions);

// The common controls' version check (fatal 221) and TaskDialogIndirect,
// which may be absent. Nothing is checked when the library does not load.
int ResolveCommonControlsFunctions(ThreadContext& ctx, PlatformFunctions& functions);

// Ole32 twice and StgCreateStorageEx from both; fatal 222 when missing.
int ResolveOleFunctions(ThreadContext& ctx, PlatformFunctions& functions);

// The libraries in their release order: Ole32 (both), kernel32 (both),
// comctl32, Uxtheme, gdiplus.
void ReleasePlatformFunctions(PlatformFunctions& functions);

}  // namespace zx
