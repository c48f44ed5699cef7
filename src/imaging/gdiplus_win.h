// The GDI+ entry points the image codec uses, resolved by name from
// gdiplus.dll once per thread, so a system without GDI+ still runs (its PNG
// images are then decoded by libpng alone).
#pragma once

#include <windows.h>
#include <objidl.h>

#include <cstdint>

#include "core/thread_context.h"
#include "core/win_handles.h"

namespace zx {

// The flat API's own types, declared here so that nothing else of GDI+ is needed.
struct GdiplusStartupInput {
  UINT32 gdiplusVersion = 1;
  void* debugEventCallback = nullptr;
  BOOL suppressBackgroundThread = FALSE;
  BOOL suppressExternalCodecs = FALSE;
};
using GdiplusImage = void;
constexpr int kGdiplusOk = 0;

struct GdiplusLibrary {
  using Startup = int(WINAPI*)(ULONG_PTR* token, const GdiplusStartupInput* input, void* output);
  using Shutdown = void(WINAPI*)(ULONG_PTR token);
  using LoadImageFromStream = int(WINAPI*)(IStream* stream, GdiplusImage** image);
  using GetImageDimension = int(WINAPI*)(GdiplusImage* image, UINT* value);
  using SaveImageToStream = int(WINAPI*)(GdiplusImage* image, IStream* stream,
                                         const CLSID* encoder, const void* parameters);
  using DisposeImage = int(WINAPI*)(GdiplusImage* image);

  GdiplusLibrary() = default;
  GdiplusLibrary(const GdiplusLibrary&) = delete;
  GdiplusLibrary& operator=(const GdiplusLibrary&) = delete;

  // True once every entry point is known (resolved, or put here by a test).
  bool ready = false;
  UniqueModule module;
  Startup startup = nullptr;
  Shutdown shutdown = nullptr;
  LoadImageFromStream loadImageFromStream = nullptr;
  GetImageDimension getImageWidth = nullptr;
  GetImageDimension getImageHeight = nullptr;
  SaveImageToStream saveImageToStream = nullptr;
  DisposeImage disposeImage = nullptr;
};

// Loads gdiplus.dll and resolves the entry points, once; 0 when the library
// or one of them is missing.
int ResolveGdiplus(GdiplusLibrary& library);

// GDI+ started for one decode and shut down when the owner goes away.
class GdiplusSession {
 public:
  explicit GdiplusSession(const GdiplusLibrary& library);
  GdiplusSession(const GdiplusSession&) = delete;
  GdiplusSession& operator=(const GdiplusSession&) = delete;
  ~GdiplusSession();
  bool started() const { return started_; }

 private:
  const GdiplusLibrary& library_;
  ULONG_PTR token_ = 0;
  bool started_ = false;
};

// An image of GDI+, disposed with the owner.
class GdiplusImageOwner {
 public:
  explicit GdiplusImageOwner(const GdiplusLibrary& library) : library_(library) {}
  GdiplusImageOwner(const GdiplusImageOwner&) = delete;
  GdiplusImageOwner& operator=(const GdiplusImageOwner&) = delete;
  ~GdiplusImageOwner() {
    if (image_) library_.disposeImage(image_);
  }
  GdiplusImage* get() const { return image_; }
  GdiplusImage** Put() { return &image_; }

 private:
  const GdiplusLibrary& library_;
  GdiplusImage* image_ = nullptr;
};

}  // namespace zx
