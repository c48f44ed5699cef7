// Drawing helpers shared by the thumbnails and the image pane's pictures.
#pragma once

#include <windows.h>

#include "core/win_handles.h"

namespace zx {

// A top-down 24-bit DIB section of that size filled white; null on failure.
HBITMAP CreateWhitePicture(int width, int height);

// A new picture holding a copy of `source`; null on failure.
HBITMAP CopyPicture(HBITMAP source, int width, int height);

// A memory device context compatible with the screen.
class PictureDc {
 public:
  PictureDc() {
    ScreenDc screen;
    dc_.Reset(CreateCompatibleDC(screen.get()));
  }
  HDC get() const { return dc_.get(); }
  explicit operator bool() const { return static_cast<bool>(dc_); }

 private:
  UniqueMemoryDc dc_;
};

}  // namespace zx
