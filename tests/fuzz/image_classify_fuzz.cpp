// Any bytes as an icon image: the classifier, the PNG chunk walk, the libpng
// decoding and the reading back of a one-image ICO must stay inside the bytes
// they are given and keep their results consistent with them.
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "core/thread_context.h"
#include "imaging/dib_layout.h"
#include "imaging/icon_image_classify.h"
#include "imaging/memory_stream.h"
#include "imaging/png_pixels.h"

#if __has_include("imaging/png_length.h")
#include "imaging/png_length.h"
#define ZX_HAVE_PNG_LENGTH 1
#endif

namespace {

void Check(bool condition) {
  if (!condition) std::abort();
}

void ClassifyAndMeasure(const uint8_t* data, size_t size) {
  zx::ThreadContext ctx;
  // An exact-size heap copy, so any read past the image trips the sanitizer.
  std::vector<uint8_t> image(data, data + size);
  const uint8_t* bytes = image.empty() ? data : image.data();

  zx::IconImageInfo info;
  const int classified = zx::ClassifyIconImage(ctx, bytes, size, info);
  const bool png = zx::IsPngSignature(bytes, size);
  Check((info.kind == zx::IconImageKind::kPng) == png);
  if (classified) {
    Check(ctx.error == 0 && info.failure == zx::ClassifyFailure::kNone);
    Check(size >= (png ? zx::kPngMinimumBytes : zx::kDibHeaderBytes));
    if (!png) {
      const zx::DibLayout layout = zx::DibLayoutOf(info);
      Check(layout.colorBitsOffset <= layout.maskOffset && layout.maskOffset <= layout.totalBytes);
    }
  } else {
    Check(ctx.error != 0 && info.failure != zx::ClassifyFailure::kNone);
  }
  const zx::DepthCaptionTexts texts = zx::DepthCaptionNumbers(info.bitCount, png);
  Check(texts.depth >= 2000 && texts.depth <= 2005);

#ifdef ZX_HAVE_PNG_LENGTH
  zx::ThreadContext pngCtx;
  const int64_t length = zx::PngLength(pngCtx, bytes, size);
  if (length > 0) {
    // The measured image ends with a whole IEND chunk inside the bytes, after
    // at least the signature and one 12-byte chunk.
    Check(static_cast<uint64_t>(length) <= size && length >= 8 + 12 + 12);
    Check(std::memcmp(bytes + length - 8, "IEND", 4) == 0);
  } else {
    Check(length == 0 && pngCtx.error != 0);
  }
#endif
}

// A PNG icon image through libpng: a decoded image has the size its IHDR
// chunk gives, anything else fails as "unable to unpack", and no block
// outlives the call. Huge sizes are left out only to keep the runs quick.
void DecodeAsPng(const uint8_t* data, size_t size) {
  zx::ThreadContext ctx;
  zx::IconImageInfo info;
  if (!zx::ClassifyIconImage(ctx, data, size, info) || info.kind != zx::IconImageKind::kPng) return;
  const uint32_t width = (uint32_t{data[16]} << 24) | (data[17] << 16) | (data[18] << 8) | data[19];
  const uint32_t height = (uint32_t{data[20]} << 24) | (data[21] << 16) | (data[22] << 8) | data[23];
  if (uint64_t{width} * height > 512 * 512) return;
  {
    std::vector<uint8_t> image(data, data + size);
    zx::PngPixels pixels;
    if (zx::DecodePngPixels(ctx, image.data(), image.size(), pixels, 1)) {
      Check(pixels.width == width && pixels.height == height && pixels.pixels &&
            ctx.blocks.IsRegistered(pixels.pixels.get()));
      // The last pixel is there to be read.
      volatile uint8_t last = pixels.pixels.get()[uint64_t{width} * height * 4 - 1];
      (void)last;
    } else {
      Check(!pixels.pixels && (zx::ErrorMessage(ctx.error) == 22 || zx::ErrorMessage(ctx.error) == 1));
    }
  }
  Check(ctx.blocks.LiveCount() == 0);
}

// The same bytes as the scratch stream of a one-image ICO.
void ReadBackAsIcoStream(const uint8_t* data, size_t size) {
  zx::ThreadContext ctx;
  {
    zx::MemoryStream stream;
    if (size > 0 && !stream.Write(ctx, data, size, 1)) std::abort();
    zx::RegisteredBlock image;
    uint64_t length = 0;
    if (zx::ImageFromIcoStream(ctx, stream, image, length)) {
      Check(length > 0 && length <= size && image && ctx.blocks.IsRegistered(image.get()));
      const uint64_t offset = static_cast<uint64_t>(data[18]) | (data[19] << 8) |
                              (data[20] << 16) | (static_cast<uint64_t>(data[21]) << 24);
      Check(std::memcmp(image.get(), data + offset, length) == 0);
    } else {
      Check(!image && length == 0 && ctx.error != 0);
    }
  }
  Check(ctx.blocks.LiveCount() == 0);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  ClassifyAndMeasure(data, size);
  DecodeAsPng(data, size);
  ReadBackAsIcoStream(data, size);
  return 0;
}
