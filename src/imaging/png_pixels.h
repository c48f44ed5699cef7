// PNG images to and from plain 32-bit pixels through libpng: the decoder the
// codec falls back on (and the second step after GDI+), and the encoder the
// console's export writes its files with.
#pragma once

#include <cstdint>

#include "core/block_registry.h"
#include "core/thread_context.h"

namespace zx {

// The largest side of a decoded image and the largest pixel block; icons are
// at most 256 pixels wide, anything far beyond is a damaged header.
constexpr uint32_t kLargestDecodedSide = 4096;
constexpr uint64_t kLargestPixelBytes = 0x7FFFFFFF;

struct PngPixels {
  RegisteredBlock pixels;  // width × height × 4 bytes
  uint32_t width = 0;
  uint32_t height = 0;
};

// Decodes a PNG into 32-bit pixels (blue, green, red, alpha, not
// premultiplied), rows bottom-up as in a DIB. On failure 0 with message 22
// ("Unable to unpack Vista icon") at `site`, or message 1 when the pixel
// block cannot be had.
int DecodePngPixels(ThreadContext& ctx, const uint8_t* data, uint64_t length, PngPixels& out,
                    int site);

// Encodes width × height pixels (red, green, blue, alpha, rows top-down) as
// an 8-bit RGBA PNG into a registered block. Message 22 at `site` on failure.
int EncodePngRgba(ThreadContext& ctx, const uint8_t* rgba, uint32_t width, uint32_t height,
                  RegisteredBlock& png, uint64_t& pngBytes, int site);

}  // namespace zx
