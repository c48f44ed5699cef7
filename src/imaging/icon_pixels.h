// An icon's picture as plain RGBA: its colour pixels with the transparency
// the system draws it with. A colour bitmap that carries any alpha draws
// with that alpha; otherwise the 1-bit mask decides (set: transparent).
#pragma once

#include <cstdint>

#include "core/thread_context.h"

namespace zx {

// `color` and `mask` are width × height 32-bit pixels (blue, green, red,
// alpha), rows bottom-up as GetDIBits gives them; a mask pixel that is not
// black is transparent. `rgba` gets width × height pixels (red, green, blue,
// alpha), rows top-down as a PNG file stores them. `colorHasAlphaChannel`
// says whether the colour bitmap is a 32-bit one whose fourth byte is alpha.
// Message 3 (site 168) for a bad size or a missing buffer.
int ComposeIconRgba(ThreadContext& ctx, const uint8_t* color, const uint8_t* mask,
                    bool colorHasAlphaChannel, int32_t width, int32_t height, uint8_t* rgba);

}  // namespace zx
