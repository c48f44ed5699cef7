#include "imaging/gdiplus_win.h"

namespace zx {
namespace {

template <typename Function>
bool Resolve(HMODULE module, const char* name, Function& function) {
  function = reinterpret_cast<Function>(reinterpret_cast<void*>(GetProcAddress(module, name)));
  return function != nullptr;
}

}  // namespace

int ResolveGdiplus(GdiplusLibrary& library) {
  if (library.ready) return 1;
  if (!library.module) library.module.Reset(LoadLibraryW(L"gdiplus.dll"));
  if (!library.module) return 0;
  const HMODULE m = library.module.get();
  library.ready = Resolve(m, "GdiplusStartup", library.startup) &&
                  Resolve(m, "GdiplusShutdown", library.shutdown) &&
                  Resolve(m, "GdipLoadImageFromStream", library.loadImageFromStream) &&
                  Resolve(m, "GdipGetImageWidth", library.getImageWidth) &&
                  Resolve(m, "GdipGetImageHeight", library.getImageHeight) &&
                  Resolve(m, "GdipSaveImageToStream", library.saveImageToStream) &&
                  Resolve(m, "GdipDisposeImage", library.disposeImage);
  return library.ready ? 1 : 0;
}

GdiplusSession::GdiplusSession(const GdiplusLibrary& library) : library_(library) {
  GdiplusStartupInput input;
  started_ = library_.ready && library_.startup(&token_, &input, nullptr) == kGdiplusOk;
}

GdiplusSession::~GdiplusSession() {
  if (started_) library_.shutdown(token_);
}

}  // namespace zx
