// PNG to and from plain pixels through libpng, and the RGBA picture of an icon.
#include <gtest/gtest.h>

#include <vector>

#include "core/messages.h"
#include "imaging/icon_pixels.h"
#include "imaging/png_pixels.h"
#include "support/document_fixture.h"

namespace zx {
namespace {

// 3 × 2 RGBA pixels, top-down, with every kind of alpha.
const std::vector<uint8_t> kRgba = {
    255, 0,   0,   255, 0,  255, 0,  128, 0,  0,  255, 0,    // top row
    10,  20,  30,  255, 40, 50,  60, 1,   70, 80, 90,  255,  // bottom row
};

TEST(PngPixels, EncodedImageDecodesToBottomUpBgra) {
  ThreadContext ctx;
  {
    RegisteredBlock png;
    uint64_t bytes = 0;
    ASSERT_EQ(EncodePngRgba(ctx, kRgba.data(), 3, 2, png, bytes, 1), 1);
    ASSERT_GT(bytes, 8u);
    PngPixels pixels;
    ASSERT_EQ(DecodePngPixels(ctx, png.get(), bytes, pixels, 1), 1);
    ASSERT_EQ(pixels.width, 3u);
    ASSERT_EQ(pixels.height, 2u);
    for (int y = 0; y < 2; ++y) {
      for (int x = 0; x < 3; ++x) {
        const uint8_t* in = &kRgba[4 * (y * 3 + x)];
        const uint8_t* out = pixels.pixels.get() + 4 * ((1 - y) * 3 + x);
        EXPECT_EQ(std::vector<uint8_t>(out, out + 4), (std::vector<uint8_t>{in[2], in[1], in[0], in[3]}))
            << x << "," << y;
      }
    }
  }
  EXPECT_EQ(ctx.blocks.LiveCount(), 0u);
}

TEST(PngPixels, UndecodableBytesAreUnableToUnpackAtTheCallersSite) {
  ThreadContext ctx;
  RegisteredBlock png;
  uint64_t bytes = 0;
  ASSERT_EQ(EncodePngRgba(ctx, kRgba.data(), 3, 2, png, bytes, 1), 1);
  std::vector<uint8_t> good(png.get(), png.get() + bytes);
  png.Reset();
  std::vector<uint8_t> truncated(good.begin(), good.begin() + good.size() / 2);
  std::vector<uint8_t> damaged = good;
  damaged[good.size() - 20] ^= 0xFF;  // inside the image data: its checksum no longer holds
  const std::vector<std::vector<uint8_t>> cases = {
      testing::PngImage(16, 16), truncated, damaged, std::vector<uint8_t>(40, 0), {}};
  for (const auto& bytesCase : cases) {
    PngPixels pixels;
    ctx.error = 0;
    EXPECT_EQ(DecodePngPixels(ctx, bytesCase.data(), bytesCase.size(), pixels, 77), 0);
    EXPECT_EQ(ctx.error, MakeError(kMsgVistaUnpack, 77));
    EXPECT_FALSE(pixels.pixels);
  }
  EXPECT_EQ(ctx.blocks.LiveCount(), 0u);
  RegisteredBlock out;
  EXPECT_EQ(EncodePngRgba(ctx, nullptr, 3, 2, out, bytes, 78), 0);
  EXPECT_EQ(ctx.error, MakeError(kMsgVistaUnpack, 78));
  EXPECT_EQ(EncodePngRgba(ctx, kRgba.data(), 0, 2, out, bytes, 78), 0);
}

TEST(IconPixels, AlphaChannelWinsUnlessItIsAllZero) {
  // 2 × 1 pixels, blue-green-red-alpha; the mask makes the first transparent.
  const std::vector<uint8_t> mask = {255, 255, 255, 0, 0, 0, 0, 0};
  struct Case {
    std::vector<uint8_t> color;
    bool alphaChannel;
    std::vector<uint8_t> rgba;
  };
  const Case cases[] = {
      // Real alpha: taken as it is, the mask is ignored.
      {{1, 2, 3, 200, 4, 5, 6, 0}, true, {3, 2, 1, 200, 6, 5, 4, 0}},
      // All-zero alpha: the image has none, the mask decides.
      {{1, 2, 3, 0, 4, 5, 6, 0}, true, {3, 2, 1, 0, 6, 5, 4, 255}},
      // Not a 32-bit colour bitmap: the fourth byte means nothing.
      {{1, 2, 3, 99, 4, 5, 6, 99}, false, {3, 2, 1, 0, 6, 5, 4, 255}},
  };
  for (const Case& c : cases) {
    ThreadContext ctx;
    std::vector<uint8_t> rgba(8, 0xEE);
    ASSERT_EQ(ComposeIconRgba(ctx, c.color.data(), mask.data(), c.alphaChannel, 2, 1, rgba.data()), 1);
    EXPECT_EQ(rgba, c.rgba);
  }
}

TEST(IconPixels, RowsComeOutTopDownAndBadSizesFail) {
  // Bottom-up input: the first row given is the bottom one.
  const std::vector<uint8_t> color = {1, 1, 1, 255, 2, 2, 2, 255};
  const std::vector<uint8_t> mask(8, 0);
  std::vector<uint8_t> rgba(8, 0);
  ThreadContext ctx;
  ASSERT_EQ(ComposeIconRgba(ctx, color.data(), mask.data(), true, 1, 2, rgba.data()), 1);
  EXPECT_EQ(rgba, (std::vector<uint8_t>{2, 2, 2, 255, 1, 1, 1, 255}));
  EXPECT_EQ(ComposeIconRgba(ctx, color.data(), mask.data(), true, 0, 2, rgba.data()), 0);
  EXPECT_EQ(ctx.error, MakeError(kMsgBadParameterValue, 168));
  EXPECT_EQ(ComposeIconRgba(ctx, color.data(), nullptr, true, 1, 2, rgba.data()), 0);
}

}  // namespace
}  // namespace zx
