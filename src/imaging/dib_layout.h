// Byte layout of DIB icon images and of the one-image ICO file that an icon
// is turned into (IconToIcoStream): sizes of the colour table, the colour
// (XOR) rows and the 1-bit (AND) mask rows, the encoded header fields, the
// writing and reading back of that ICO, and the colour-key mask rule by which
// a decoded bitmap becomes an icon. The Windows code only reads pixels out of
// its bitmaps and hands them here.
#pragma once

#include <cstdint>

#include "core/block_registry.h"
#include "core/thread_context.h"
#include "imaging/byte_stream.h"
#include "imaging/icon_image_classify.h"

namespace zx {

// Offset of the image in a one-image ICO: 6-byte header + one 16-byte entry.
constexpr uint64_t kOneImageIcoDataOffset = 22;
// Where the image size sits in that ICO (the first entry's size field).
constexpr uint64_t kOneImageIcoSizeField = 14;

// ---- Sizes ---------------------------------------------------------------
// All sizes are 64-bit and saturate at UINT64_MAX, so absurd header values
// compare as "too big" against a buffer instead of wrapping round.

// Entries of the colour table: colours-used when set, else 2^bit count for 1
// to 8 bits (2, 16, 256 for 1, 4, 8), else none. Each entry is 4 bytes.
uint64_t ColorTableEntries(uint32_t bitCount, uint32_t colorsUsed);
// One row of the colour bitmap: ((width × bit count + 31) ÷ 32) × 4.
uint64_t ColorRowBytes(uint64_t width, uint32_t bitCount);
// One row of the 1-bit mask: ((width + 31) ÷ 32) × 4.
uint64_t MaskRowBytes(uint64_t width);

// Colour count byte of an ICO entry: 2^bit count below 8 bits, else 0.
uint8_t IcoColorCount(uint32_t bitCount);
// Width or height byte of an ICO entry: the size when 0..255, else 0
// (so 256 is written as 0).
uint8_t IcoDimensionByte(int64_t pixels);

// Where the parts of a DIB icon image lie, from the start of its header.
struct DibLayout {
  uint64_t colorTableOffset = 0;
  uint64_t colorTableBytes = 0;
  uint64_t colorBitsOffset = 0;
  uint64_t colorBitsBytes = 0;
  uint64_t maskOffset = 0;
  uint64_t maskBytes = 0;
  uint64_t totalBytes = 0;  // header + table + colour rows + mask rows
};
// For an icon of `width` × `iconHeight` pixels (the header height is twice that).
DibLayout DibLayoutOf(uint64_t width, uint64_t iconHeight, uint32_t bitCount,
                      uint32_t colorsUsed);
// For a classified DIB image (magnitudes of its header width and half height).
DibLayout DibLayoutOf(const IconImageInfo& info);

// ---- Encoded fields ------------------------------------------------------

// The 6-byte ICO header: reserved 0, type 1 (icon), `count` (low 16 bits).
void EncodeIcoHeader(uint8_t out[6], uint64_t count);

struct IcoEntryFields {
  uint8_t width = 0;
  uint8_t height = 0;
  uint8_t colorCount = 0;
  uint8_t reserved = 0;
  uint16_t planes = 0;
  uint16_t bitCount = 0;
  uint32_t imageSize = 0;
  uint32_t imageOffset = 0;
};
void EncodeIcoEntry(uint8_t out[16], const IcoEntryFields& entry);

// A 40-byte BITMAPINFOHEADER of an icon image: 40, width, 2 × height,
// planes, bit count, then compression, image size, both resolutions,
// colours used and colours important all 0.
void EncodeIconInfoHeader(uint8_t out[40], int32_t width, int32_t height, uint16_t planes,
                          uint16_t bitCount);

// ---- The one-image ICO of an icon ------------------------------------------

// What the system reports of an icon's bitmaps (icon information and bitmap
// objects), as plain numbers.
struct IconBitmapFacts {
  bool hasColorBitmap = false;  // false: a monochrome icon, mask only
  int32_t colorWidth = 0;
  int32_t colorHeight = 0;
  uint16_t colorPlanes = 0;
  uint16_t colorBitsPerPixel = 0;
  int32_t maskWidth = 0;
  int32_t maskHeight = 0;  // twice the icon height for a monochrome icon
};

// The shape of the ICO written for those bitmaps.
struct OneImageIcoShape {
  bool monochrome = false;
  uint32_t width = 0;
  uint32_t height = 0;
  uint16_t planes = 1;
  uint16_t bitCount = 0;
  uint8_t colorCount = 0;
  uint64_t paletteEntries = 0;  // black and white for a monochrome icon, 2^bits up to 8 bits
  uint64_t colorRowBytes = 0;
  uint64_t colorBytes = 0;  // height colour rows
  uint64_t maskRowBytes = 0;
  uint64_t maskBytes = 0;  // height mask rows
  uint64_t imageSize = 0;  // 40 + table + colour rows + mask rows
  uint64_t fileSize = 0;   // 22 + imageSize
};

// Colour icon: the colour bitmap's size, planes and depth (0 bits count as
// 1); monochrome icon: the mask's width and half its height, 1 bit, 1 plane.
// Fails with message 37 (site 16) for planes other than 1, message 3 (site
// 165) for a size that is not positive, message 59 (site 166) for an image
// too large for the 32-bit size field.
int ShapeOneImageIco(ThreadContext& ctx, const IconBitmapFacts& facts, OneImageIcoShape& shape);

// The bytes read from the bitmaps, rows bottom-up as the system gives them.
struct OneImageIcoPixels {
  // shape.paletteEntries × 4 bytes (blue, green, red, 0); unused for a
  // monochrome icon, whose table is always black, white.
  const uint8_t* palette = nullptr;
  uint64_t paletteBytes = 0;
  // shape.colorBytes: the colour bitmap, or for a monochrome icon the lower
  // half of its mask bitmap.
  const uint8_t* colorRows = nullptr;
  uint64_t colorRowsBytes = 0;
  // shape.maskBytes: the mask, or for a monochrome icon the upper half of it.
  const uint8_t* maskRows = nullptr;
  uint64_t maskRowsBytes = 0;
};

// Writes the complete one-image ICO at the stream's position: header 0, 1, 1;
// the entry (width and height bytes 0 above 255, colour count, reserved 0,
// planes, bit count, image size, offset 22); the 40-byte image header; the
// colour table; the colour rows; the mask rows. Fails with message 4 (site
// 167) when a part the shape needs is missing or shorter than the shape, and
// message 11 (sites 170 to 175, one per part) when the stream refuses a write.
int WriteOneImageIco(ThreadContext& ctx, ByteStream& stream, const OneImageIcoShape& shape,
                     const OneImageIcoPixels& pixels);

// Reads the image of a one-image ICO back out of a stream into a registered
// block: seek to 14 (message 9, site 176), read the image size and offset
// (message 10, site 177; short: message 59, site 177); a size of 0 or above
// 2^31 - 1 is message 1 (site 178); an image that would run past the end of
// the stream is message 59 (site 179) before anything is allocated; then
// seek to the offset (message 9, site 180) and read the image (message 10,
// site 181; short: message 59, site 181).
int ImageFromIcoStream(ThreadContext& ctx, ByteStream& stream, RegisteredBlock& image,
                       uint64_t& length);

// ---- Colour-key transparency -----------------------------------------------
// A decoded bitmap becomes an icon whose transparency is keyed on one colour:
// the bottom-left pixel's RGB. Pixels are 32-bit (blue, green, red, alpha),
// rows bottom-up, width × height of them, so the first pixel is the key.

// Turns every pixel whose RGB equals the key (alpha ignored, so an opaque
// black pixel matches a transparent black key) into white 0x00FFFFFF, the
// transparent value of the mask, and every other pixel into black 0. Width
// and height must be > 0 and the pixels all there (message 3, site 5).
int ApplyColorKey(ThreadContext& ctx, uint8_t* pixels, uint64_t pixelBytes, int32_t width,
                  int32_t height);

// Packs keyed pixels into 1-bit mask rows (MaskRowBytes(width) each, most
// significant bit first): 1 (transparent) for a white pixel, 0 otherwise,
// padding bits 0. Message 3 (site 164) for a bad size or short buffer.
int PackMaskRows(ThreadContext& ctx, const uint8_t* keyedPixels, uint64_t pixelBytes,
                 int32_t width, int32_t height, uint8_t* maskRows, uint64_t maskBytes);

}  // namespace zx
