#include "imaging/icon_pixels.h"

#include "core/messages.h"

namespace zx {

int ComposeIconRgba(ThreadContext& ctx, const uint8_t* color, const uint8_t* mask,
                    bool colorHasAlphaChannel, int32_t width, int32_t height, uint8_t* rgba) {
  if (!color || !mask || !rgba || width <= 0 || height <= 0) {
    return Fail(ctx, kMsgBadParameterValue, 168);
  }
  const uint64_t count = uint64_t(width) * uint64_t(height);
  // Like the system: an all-zero alpha channel means the image has none.
  bool useAlpha = false;
  if (colorHasAlphaChannel) {
    for (uint64_t i = 0; i < count && !useAlpha; ++i) useAlpha = color[4 * i + 3] != 0;
  }
  for (uint64_t y = 0; y < uint64_t(height); ++y) {
    const uint64_t sourceRow = (uint64_t(height) - 1 - y) * uint64_t(width);
    for (uint64_t x = 0; x < uint64_t(width); ++x) {
      const uint8_t* c = color + 4 * (sourceRow + x);
      const uint8_t* m = mask + 4 * (sourceRow + x);
      uint8_t* out = rgba + 4 * (y * uint64_t(width) + x);
      out[0] = c[2];
      out[1] = c[1];
      out[2] = c[0];
      if (useAlpha) {
        out[3] = c[3];
      } else {
        const bool transparent = m[0] != 0 || m[1] != 0 || m[2] != 0;
        out[3] = transparent ? 0 : 255;
      }
    }
  }
  return 1;
}

}  // namespace zx
