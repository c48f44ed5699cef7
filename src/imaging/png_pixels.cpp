#include "imaging/png_pixels.h"

#include <png.h>

#include <cstring>

#include "core/messages.h"

namespace zx {
namespace {

// libpng's simplified interface keeps its error jumps inside the library, so
// nothing here crosses a longjmp; this owner frees what it holds on every path.
class PngImage {
 public:
  PngImage() {
    std::memset(&image_, 0, sizeof(image_));
    image_.version = PNG_IMAGE_VERSION;
  }
  PngImage(const PngImage&) = delete;
  PngImage& operator=(const PngImage&) = delete;
  ~PngImage() { png_image_free(&image_); }
  png_image* get() { return &image_; }

 private:
  png_image image_;
};

}  // namespace

int DecodePngPixels(ThreadContext& ctx, const uint8_t* data, uint64_t length, PngPixels& out,
                    int site) {
  out = PngPixels{};
  if (!data || length == 0 || length > kLargestPixelBytes) {
    return Fail(ctx, kMsgVistaUnpack, site);
  }
  PngImage image;
  if (!png_image_begin_read_from_memory(image.get(), data, static_cast<size_t>(length))) {
    return Fail(ctx, kMsgVistaUnpack, site);
  }
  const uint32_t width = image.get()->width;
  const uint32_t height = image.get()->height;
  if (width == 0 || height == 0 || width > kLargestDecodedSide || height > kLargestDecodedSide) {
    return Fail(ctx, kMsgVistaUnpack, site);
  }
  image.get()->format = PNG_FORMAT_BGRA;
  const uint64_t stride = uint64_t{width} * 4;
  const uint64_t bytes = stride * height;
  if (bytes > kLargestPixelBytes) return Fail(ctx, kMsgVistaUnpack, site);

  RegisteredBlock pixels(ctx.blocks, ctx.blocks.Allocate(ctx, static_cast<int64_t>(bytes)));
  if (!pixels) return Fail(ctx, kMsgNoMemory, site);
  // A negative stride makes libpng fill the last row first: bottom-up rows.
  const png_int_32 rowStride = -static_cast<png_int_32>(stride);
  if (!png_image_finish_read(image.get(), nullptr, pixels.get(), rowStride, nullptr)) {
    return Fail(ctx, kMsgVistaUnpack, site);
  }
  out.pixels = std::move(pixels);
  out.width = width;
  out.height = height;
  return 1;
}

int EncodePngRgba(ThreadContext& ctx, const uint8_t* rgba, uint32_t width, uint32_t height,
                  RegisteredBlock& png, uint64_t& pngBytes, int site) {
  png.Reset();
  pngBytes = 0;
  if (!rgba || width == 0 || height == 0 || width > kLargestDecodedSide ||
      height > kLargestDecodedSide) {
    return Fail(ctx, kMsgVistaUnpack, site);
  }
  PngImage image;
  image.get()->width = width;
  image.get()->height = height;
  image.get()->format = PNG_FORMAT_RGBA;
  const png_int_32 stride = static_cast<png_int_32>(width * 4);
  // First pass measures, second pass writes into a block of that size.
  png_alloc_size_t size = 0;
  if (!png_image_write_to_memory(image.get(), nullptr, &size, 0, rgba, stride, nullptr) ||
      size == 0 || size > kLargestPixelBytes) {
    return Fail(ctx, kMsgVistaUnpack, site);
  }
  RegisteredBlock block(ctx.blocks, ctx.blocks.Allocate(ctx, static_cast<int64_t>(size)));
  if (!block) return Fail(ctx, kMsgNoMemory, site);
  if (!png_image_write_to_memory(image.get(), block.get(), &size, 0, rgba, stride, nullptr)) {
    return Fail(ctx, kMsgVistaUnpack, site);
  }
  png = std::move(block);
  pngBytes = size;
  return 1;
}

}  // namespace zx
