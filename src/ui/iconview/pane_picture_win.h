// One image of the shown group in the image pane: its four pictures (plain,
// plain with focus, selected, selected with focus) and the button showing one.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>

#include "core/thread_context.h"
#include "core/win_handles.h"
#include "ops/document_loading.h"
#include "ui/iconview/picture_selection.h"

namespace zx {

struct PanePicture {
  UniqueBitmap plain;
  UniqueBitmap selected;
  UniqueBitmap selectedFocused;
  UniqueBitmap plainFocused;
  UniqueWindow button;
  int width = 0;
  int height = 0;
  int bitCount = 0;
  int entry = 0;
  const uint8_t* data = nullptr;
  uint32_t length = 0;
  bool isPng = false;
  PictureState state = PictureState::kPlain;

  HBITMAP PictureFor(PictureState s) const;
};

// Height of an image's pictures, and the distance to the next one.
inline int PanePictureHeight(int imageHeight) { return imageHeight + 35; }
inline int PanePictureStep(int imageHeight) { return imageHeight + 37; }

// Draws the four pictures `paneWidth` wide: the icon at its own size,
// centred, 5 pixels from the top, `caption` centred below it. Message 12
// (sites 17-25) or 14 (site 1) on failure.
int DrawPanePictures(ThreadContext& ctx, HICON icon, int paneWidth, HFONT font, const std::u16string& caption,
                     PanePicture& picture);

// Shows the picture of `state` on the button.
void ShowPictureState(PanePicture& picture, PictureState state);

}  // namespace zx
