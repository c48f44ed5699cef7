#include "app/platform_functions_win.h"

#include <shlwapi.h>

#include "app/common_controls_version_win.h"

namespace zx {
namespace {

constexpr int kFatalKernel = 220;
constexpr int kFatalCommonControls = 221;
constexpr int kFatalOle = 222;
// HeapCompatibilityInformation value of the low-fragmentation heap.
constexpr ULONG kLowFragmentationHeap = 2;

template <typename Function>
Function Resolve(const UniqueModule& module, const char* name) {
  if (!module) return nullptr;
  return reinterpret_cast<Function>(reinterpret_cast<void*>(GetProcAddress(module.get(), name)));
}

}  // namespace

void ResolveThemeAndGdiplus(PlatformFunctions& f) {
  f.uxtheme.Reset(LoadLibraryW(L"Uxtheme.dll"));
  f.openThemeData = Resolve<OpenThemeDataFunction>(f.uxtheme, "OpenThemeData");
  f.setWindowTheme = Resolve<SetWindowThemeFunction>(f.uxtheme, "SetWindowTheme");
  f.isThemeActive = Resolve<IsThemeActiveFunction>(f.uxtheme, "IsThemeActive");
  f.getWindowTheme = Resolve<GetWindowThemeFunction>(f.uxtheme, "GetWindowTheme");

  static const char* const kGdiplusNames[kGdiplusEntryCount] = {
      "GdiplusStartup",    "GdipLoadImageFromStream", "GdipGetImageWidth",    "GdipGetImageHeight",
      "GdipDisposeImage",  "GdiplusShutdown",         "GdipSaveImageToStream"};
  f.gdiplus.Reset(LoadLibraryW(L"gdiplus.dll"));
  for (int i = 0; i < kGdiplusEntryCount; ++i) f.gdiplusEntries[i] = Resolve<FARPROC>(f.gdiplus, kGdiplusNames[i]);
}

bool HasThemeAndGdiplusFunctions(const PlatformFunctions& f) {
  if (!f.uxtheme || !f.getWindowTheme || !f.isThemeActive || !f.openThemeData) return false;
  for (FARPROC entry : f.gdiplusEntries) {
    if (!entry) return false;
  }
  return true;
}

int ResolveKernelFunctions(ThreadContext& ctx, PlatformFunctions& f) {
  for (int i = 0; i < 2; ++i) {
    f.kernel[i].Reset(LoadLibraryW(L"kernel32.dll"));
    if (!f.kernel[i]) return Fail(ctx, kFatalKernel);
    f.updateResourceA[i] = Resolve<UpdateResourceAFunction>(f.kernel[i], "UpdateResourceA");
    f.enumResourceNames[i] = Resolve<EnumResourceNamesWFunction>(f.kernel[i], "EnumResourceNamesW");
    if (!f.updateResourceA[i] || !f.enumResourceNames[i]) return Fail(ctx, kFatalKernel);
  }
  f.enumResourceLanguages = Resolve<EnumResourceLanguagesWFunction>(f.kernel[0], "EnumResourceLanguagesW");
  if (!f.enumResourceLanguages) return Fail(ctx, kFatalKernel);
  f.heapSetInformation = Resolve<HeapSetInformationFunction>(f.kernel[0], "HeapSetInformation");
  if (f.heapSetInformation) {
    ULONG mode = kLowFragmentationHeap;
    f.heapSetInformation(GetProcessHeap(), HeapCompatibilityInformation, &mode, sizeof(mode));
  }
  return 1;
}

int ResolveCommonControlsFunctions(ThreadContext& ctx, PlatformFunctions& f) {
  f.comctl.Reset(LoadLibraryW(L"comctl32.dll"));
  if (!f.comctl) return 1;
  f.dllGetVersion = Resolve<DllGetVersionFunction>(f.comctl, "DllGetVersion");
  if (!f.dllGetVersion) return Fail(ctx, kFatalCommonControls);
  DLLVERSIONINFO2 version = {};
  version.info1.cbSize = sizeof(version);
  const uint64_t reported = SUCCEEDED(f.dllGetVersion(&version)) ? version.ullVersion : 0;
  if (!IsCommonControlsVersionAccepted(reported, LoadedModuleMajorVersion(f.comctl.get()))) {
    return Fail(ctx, kFatalCommonControls);
  }
  f.taskDialogIndirect = Resolve<FARPROC>(f.comctl, "TaskDialogIndirect");
  return 1;
}

int ResolveOleFunctions(ThreadContext& ctx, PlatformFunctions& f) {
  for (int i = 0; i < 2; ++i) {
    f.ole[i].Reset(LoadLibraryW(L"Ole32.dll"));
    f.stgCreateStorageEx[i] = Resolve<StgCreateStorageExFunction>(f.ole[i], "StgCreateStorageEx");
    if (!f.stgCreateStorageEx[i]) return Fail(ctx, kFatalOle);
  }
  return 1;
}

void ReleasePlatformFunctions(PlatformFunctions& f) {
  f.ole[0].Reset();
  f.ole[1].Reset();
  f.kernel[0].Reset();
  f.kernel[1].Reset();
  f.comctl.Reset();
  f.uxtheme.Reset();
  f.gdiplus.Reset();
}

}  // namespace zx
