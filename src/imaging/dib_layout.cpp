#include "imaging/dib_layout.h"

#include <cstdlib>
#include <cstring>

#include "core/messages.h"
#include "formats/byte_reader.h"

namespace zx {
namespace {

constexpr uint64_t kSaturated = UINT64_MAX;

uint64_t AddSaturating(uint64_t a, uint64_t b) {
  uint64_t sum = 0;
  return __builtin_add_overflow(a, b, &sum) ? kSaturated : sum;
}

uint64_t MulSaturating(uint64_t a, uint64_t b) {
  uint64_t product = 0;
  return __builtin_mul_overflow(a, b, &product) ? kSaturated : product;
}

// Rows are padded to whole 32-bit words.
uint64_t PaddedRowBytes(uint64_t bits) {
  if (bits == kSaturated) return kSaturated;
  return MulSaturating(AddSaturating(bits, 31) / 32, 4);
}

uint64_t Magnitude(int64_t value) {
  return value < 0 ? 0 - static_cast<uint64_t>(value) : static_cast<uint64_t>(value);
}

constexpr int kSiteNotPositive = 165;
constexpr int kSiteTooLarge = 166;
constexpr int kSiteMissingPixels = 167;
constexpr int kSiteWriteHeader = 170;
constexpr int kSiteWriteEntry = 171;
constexpr int kSiteWriteInfoHeader = 172;
constexpr int kSiteWritePalette = 173;
constexpr int kSiteWriteColorRows = 174;
constexpr int kSiteWriteMaskRows = 175;
constexpr int kSiteSeekSizeField = 176;
constexpr int kSiteReadSizeField = 177;
constexpr int kSiteBadImageSize = 178;
constexpr int kSitePastEnd = 179;
constexpr int kSiteSeekImage = 180;
constexpr int kSiteReadImage = 181;
constexpr int kSiteMaskPacking = 164;
constexpr int kSiteColorKey = 5;
constexpr int kSitePlanes = 16;

// 4-byte entries of the fixed table of a monochrome icon: black, then white.
constexpr uint8_t kMonochromePalette[8] = {0x00, 0x00, 0x00, 0x00, 0xFF, 0xFF, 0xFF, 0x00};

bool Covers(const uint8_t* bytes, uint64_t have, uint64_t need) {
  return need == 0 || (bytes != nullptr && have >= need);
}

// Width × height 32-bit pixels, when both are positive and they fit `pixelBytes`.
bool PixelBufferHolds(uint64_t pixelBytes, int32_t width, int32_t height) {
  if (width <= 0 || height <= 0) return false;
  const uint64_t needed = MulSaturating(MulSaturating(uint64_t(width), uint64_t(height)), 4);
  return needed <= pixelBytes;
}

// An empty part (no colour table above 8 bits) is not written at all.
int WritePart(ThreadContext& ctx, ByteStream& stream, const uint8_t* bytes, uint64_t count,
              int site) {
  return count == 0 ? 1 : stream.Write(ctx, bytes, count, site);
}

}  // namespace

uint64_t ColorTableEntries(uint32_t bitCount, uint32_t colorsUsed) {
  if (colorsUsed != 0) return colorsUsed;
  if (bitCount >= 1 && bitCount <= 8) return uint64_t{1} << bitCount;
  return 0;
}

uint64_t ColorRowBytes(uint64_t width, uint32_t bitCount) {
  return PaddedRowBytes(MulSaturating(width, bitCount));
}

uint64_t MaskRowBytes(uint64_t width) { return PaddedRowBytes(width); }

uint8_t IcoColorCount(uint32_t bitCount) {
  return bitCount < 8 ? static_cast<uint8_t>(1u << bitCount) : 0;
}

uint8_t IcoDimensionByte(int64_t pixels) {
  return pixels >= 0 && pixels <= 255 ? static_cast<uint8_t>(pixels) : 0;
}

DibLayout DibLayoutOf(uint64_t width, uint64_t iconHeight, uint32_t bitCount,
                      uint32_t colorsUsed) {
  DibLayout layout;
  layout.colorTableOffset = kDibHeaderBytes;
  layout.colorTableBytes = MulSaturating(ColorTableEntries(bitCount, colorsUsed), 4);
  layout.colorBitsOffset = AddSaturating(layout.colorTableOffset, layout.colorTableBytes);
  layout.colorBitsBytes = MulSaturating(ColorRowBytes(width, bitCount), iconHeight);
  layout.maskOffset = AddSaturating(layout.colorBitsOffset, layout.colorBitsBytes);
  layout.maskBytes = MulSaturating(MaskRowBytes(width), iconHeight);
  layout.totalBytes = AddSaturating(layout.maskOffset, layout.maskBytes);
  return layout;
}

DibLayout DibLayoutOf(const IconImageInfo& info) {
  return DibLayoutOf(Magnitude(info.headerWidth), Magnitude(info.headerHeight) / 2, info.bitCount,
                     info.colorsUsed);
}

void EncodeIcoHeader(uint8_t out[6], uint64_t count) {
  WriteU16(out, 0);
  WriteU16(out + 2, 1);
  WriteU16(out + 4, static_cast<uint16_t>(count));
}

void EncodeIcoEntry(uint8_t out[16], const IcoEntryFields& entry) {
  out[0] = entry.width;
  out[1] = entry.height;
  out[2] = entry.colorCount;
  out[3] = entry.reserved;
  WriteU16(out + 4, entry.planes);
  WriteU16(out + 6, entry.bitCount);
  WriteU32(out + 8, entry.imageSize);
  WriteU32(out + 12, entry.imageOffset);
}

void EncodeIconInfoHeader(uint8_t out[40], int32_t width, int32_t height, uint16_t planes,
                          uint16_t bitCount) {
  std::memset(out, 0, 40);
  WriteU32(out, 40);
  WriteU32(out + 4, static_cast<uint32_t>(width));
  // Colour rows and mask rows together: twice the icon height.
  WriteU32(out + 8, static_cast<uint32_t>(height) * 2u);
  WriteU16(out + 12, planes);
  WriteU16(out + 14, bitCount);
}

int ShapeOneImageIco(ThreadContext& ctx, const IconBitmapFacts& facts, OneImageIcoShape& shape) {
  shape = OneImageIcoShape{};
  int64_t width = 0;
  int64_t height = 0;
  uint64_t maskWidth = 0;
  if (facts.hasColorBitmap) {
    width = facts.colorWidth;
    height = facts.colorHeight;
    maskWidth = Magnitude(facts.maskWidth);
    shape.planes = facts.colorPlanes;
    shape.bitCount = facts.colorBitsPerPixel == 0 ? 1 : facts.colorBitsPerPixel;
    shape.paletteEntries = shape.bitCount <= 8 ? uint64_t{1} << shape.bitCount : 0;
  } else {
    // The mask bitmap holds the AND mask above the XOR bitmap.
    width = facts.maskWidth;
    height = facts.maskHeight / 2;
    maskWidth = Magnitude(facts.maskWidth);
    shape.monochrome = true;
    shape.planes = 1;
    shape.bitCount = 1;
    shape.paletteEntries = 2;
  }
  if (width <= 0 || height <= 0 || maskWidth == 0) {
    return Fail(ctx, kMsgBadParameterValue, kSiteNotPositive);
  }
  if (shape.planes != 1) return Fail(ctx, kMsgBadFileFormat, kSitePlanes);

  shape.width = static_cast<uint32_t>(width);
  shape.height = static_cast<uint32_t>(height);
  shape.colorCount = IcoColorCount(shape.bitCount);
  shape.colorRowBytes = ColorRowBytes(shape.width, shape.bitCount);
  shape.colorBytes = MulSaturating(shape.colorRowBytes, shape.height);
  shape.maskRowBytes = MaskRowBytes(maskWidth);
  shape.maskBytes = MulSaturating(shape.maskRowBytes, shape.height);
  shape.imageSize = AddSaturating(
      AddSaturating(kDibHeaderBytes, shape.paletteEntries * 4),
      AddSaturating(shape.colorBytes, shape.maskBytes));
  if (shape.imageSize > UINT32_MAX - kOneImageIcoDataOffset) {
    return Fail(ctx, kMsgOverflow, kSiteTooLarge);
  }
  shape.fileSize = kOneImageIcoDataOffset + shape.imageSize;
  return 1;
}

int WriteOneImageIco(ThreadContext& ctx, ByteStream& stream, const OneImageIcoShape& shape,
                     const OneImageIcoPixels& pixels) {
  const uint64_t paletteBytes = MulSaturating(shape.paletteEntries, 4);
  const uint8_t* palette = shape.monochrome ? kMonochromePalette : pixels.palette;
  const uint64_t paletteHave = shape.monochrome ? sizeof(kMonochromePalette) : pixels.paletteBytes;
  if ((shape.monochrome && shape.paletteEntries != 2) ||
      !Covers(palette, paletteHave, paletteBytes) ||
      !Covers(pixels.colorRows, pixels.colorRowsBytes, shape.colorBytes) ||
      !Covers(pixels.maskRows, pixels.maskRowsBytes, shape.maskBytes) ||
      shape.imageSize > UINT32_MAX - kOneImageIcoDataOffset) {
    return Fail(ctx, kMsgNullPointer, kSiteMissingPixels);
  }

  uint8_t header[6];
  EncodeIcoHeader(header, 1);
  if (!stream.Write(ctx, header, sizeof(header), kSiteWriteHeader)) return 0;

  IcoEntryFields fields;
  fields.width = IcoDimensionByte(shape.width);
  fields.height = IcoDimensionByte(shape.height);
  fields.colorCount = shape.colorCount;
  fields.planes = shape.planes;
  fields.bitCount = shape.bitCount;
  // The size is known before anything is written, so it goes in directly
  // rather than being patched at offset 14 afterwards.
  fields.imageSize = static_cast<uint32_t>(shape.imageSize);
  fields.imageOffset = static_cast<uint32_t>(kOneImageIcoDataOffset);
  uint8_t entry[16];
  EncodeIcoEntry(entry, fields);
  if (!stream.Write(ctx, entry, sizeof(entry), kSiteWriteEntry)) return 0;

  uint8_t infoHeader[40];
  EncodeIconInfoHeader(infoHeader, static_cast<int32_t>(shape.width),
                       static_cast<int32_t>(shape.height), shape.planes, shape.bitCount);
  if (!stream.Write(ctx, infoHeader, sizeof(infoHeader), kSiteWriteInfoHeader)) return 0;

  if (!WritePart(ctx, stream, palette, paletteBytes, kSiteWritePalette)) return 0;
  if (!WritePart(ctx, stream, pixels.colorRows, shape.colorBytes, kSiteWriteColorRows)) return 0;
  if (!WritePart(ctx, stream, pixels.maskRows, shape.maskBytes, kSiteWriteMaskRows)) return 0;
  return 1;
}

int ImageFromIcoStream(ThreadContext& ctx, ByteStream& stream, RegisteredBlock& image,
                       uint64_t& length) {
  image.Reset();
  length = 0;
  if (!SeekTo(ctx, stream, kOneImageIcoSizeField, kSiteSeekSizeField)) return 0;
  uint8_t fields[8];
  if (!ReadExactly(ctx, stream, fields, sizeof(fields), kSiteReadSizeField, kMsgOverflow,
                   kSiteReadSizeField)) {
    return 0;
  }
  // The size is taken as a signed 32-bit value: 0 or "negative" is no image.
  const int32_t size = ReadS32(fields);
  const uint64_t offset = ReadU32(fields + 4);
  if (size <= 0) return Fail(ctx, kMsgNoMemory, kSiteBadImageSize);

  // A damaged size would otherwise allocate up to 2 GiB for a read that
  // must come back short.
  uint64_t streamSize = 0;
  if (!stream.Size(ctx, streamSize, kSitePastEnd)) return 0;
  if (offset > streamSize || static_cast<uint64_t>(size) > streamSize - offset) {
    return Fail(ctx, kMsgOverflow, kSitePastEnd);
  }

  RegisteredBlock block(ctx.blocks, ctx.blocks.Allocate(ctx, size));
  if (!block) return Fail(ctx, kMsgNoMemory, kSiteBadImageSize);
  if (!SeekTo(ctx, stream, offset, kSiteSeekImage)) return 0;
  if (!ReadExactly(ctx, stream, block.get(), static_cast<uint64_t>(size), kSiteReadImage,
                   kMsgOverflow, kSiteReadImage)) {
    return 0;
  }
  image = std::move(block);
  length = static_cast<uint64_t>(size);
  return 1;
}

int ApplyColorKey(ThreadContext& ctx, uint8_t* pixels, uint64_t pixelBytes, int32_t width,
                  int32_t height) {
  if (!pixels || !PixelBufferHolds(pixelBytes, width, height)) {
    return Fail(ctx, kMsgBadParameterValue, kSiteColorKey);
  }
  const uint64_t count = uint64_t(width) * uint64_t(height);
  const uint8_t keyBlue = pixels[0];
  const uint8_t keyGreen = pixels[1];
  const uint8_t keyRed = pixels[2];
  for (uint64_t i = 0; i < count; ++i) {
    uint8_t* pixel = pixels + 4 * i;
    const bool keyed = pixel[0] == keyBlue && pixel[1] == keyGreen && pixel[2] == keyRed;
    WriteU32(pixel, keyed ? 0x00FFFFFFu : 0u);
  }
  return 1;
}

int PackMaskRows(ThreadContext& ctx, const uint8_t* keyedPixels, uint64_t pixelBytes,
                 int32_t width, int32_t height, uint8_t* maskRows, uint64_t maskBytes) {
  if (!keyedPixels || !maskRows || !PixelBufferHolds(pixelBytes, width, height)) {
    return Fail(ctx, kMsgBadParameterValue, kSiteMaskPacking);
  }
  const uint64_t rowBytes = MaskRowBytes(uint64_t(width));
  if (MulSaturating(rowBytes, uint64_t(height)) > maskBytes) {
    return Fail(ctx, kMsgBadParameterValue, kSiteMaskPacking);
  }
  for (uint64_t y = 0; y < uint64_t(height); ++y) {
    uint8_t* row = maskRows + y * rowBytes;
    std::memset(row, 0, static_cast<size_t>(rowBytes));
    for (uint64_t x = 0; x < uint64_t(width); ++x) {
      const uint8_t* pixel = keyedPixels + 4 * (y * uint64_t(width) + x);
      const bool white = pixel[0] == 0xFF && pixel[1] == 0xFF && pixel[2] == 0xFF;
      if (white) row[x / 8] |= static_cast<uint8_t>(0x80u >> (x % 8));
    }
  }
  return 1;
}

}  // namespace zx
