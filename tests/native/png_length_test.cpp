#include "imaging/png_length.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "core/messages.h"
#include "core/thread_context.h"

namespace zx {
namespace {

void AppendBigEndian(std::vector<uint8_t>& out, uint32_t value) {
  for (int shift = 24; shift >= 0; shift -= 8) out.push_back(static_cast<uint8_t>(value >> shift));
}

// One chunk: length, type, data, and a CRC field (its value is never checked here).
void AppendChunk(std::vector<uint8_t>& out, const char* type, const std::vector<uint8_t>& data) {
  AppendBigEndian(out, static_cast<uint32_t>(data.size()));
  out.insert(out.end(), type, type + 4);
  out.insert(out.end(), data.begin(), data.end());
  AppendBigEndian(out, 0xC0FFEE00);
}

// Signature, IHDR, one IDAT of `idatSize` bytes and, when asked, IEND.
std::vector<uint8_t> Png(uint32_t width, uint32_t height, size_t idatSize, bool withIend = true) {
  std::vector<uint8_t> png = {0x89, 0x50, 0x4E, 0x47, 0x0D, 0x0A, 0x1A, 0x0A};
  std::vector<uint8_t> ihdr;
  AppendBigEndian(ihdr, width);
  AppendBigEndian(ihdr, height);
  ihdr.insert(ihdr.end(), {8, 6, 0, 0, 0});
  AppendChunk(png, "IHDR", ihdr);
  AppendChunk(png, "IDAT", std::vector<uint8_t>(idatSize, 0x5A));
  if (withIend) AppendChunk(png, "IEND", {});
  return png;
}

TEST(PngLength, MeasuresTheChunksAndIgnoresPaddingAfterIend) {
  const std::vector<uint8_t> png = Png(16, 16, 37);
  const int64_t exact = static_cast<int64_t>(png.size());
  ASSERT_EQ(exact, 8 + 25 + 49 + 12);

  for (size_t padding : {size_t{0}, size_t{1}, size_t{11}, size_t{512}}) {
    std::vector<uint8_t> padded = png;
    padded.resize(png.size() + padding, 0);
    ThreadContext ctx;
    EXPECT_EQ(PngLength(ctx, padded.data(), padded.size()), exact) << "padding " << padding;
    EXPECT_EQ(ctx.error, 0);
  }
}

TEST(PngLength, WalksOverManyChunks) {
  std::vector<uint8_t> png = Png(1, 1, 0, false);
  AppendChunk(png, "tEXt", std::vector<uint8_t>(300, 'a'));
  AppendChunk(png, "IDAT", std::vector<uint8_t>(5, 1));
  AppendChunk(png, "IEND", {});
  const size_t exact = png.size();
  png.resize(exact + 16, 0xEE);
  ThreadContext ctx;
  EXPECT_EQ(PngLength(ctx, png.data(), png.size()), static_cast<int64_t>(exact));
}

struct BrokenPng {
  std::string name;
  std::vector<uint8_t> bytes;
  int message;
  int site;
};

TEST(PngLength, RejectsImagesThatRunPastTheBuffer) {
  const std::vector<uint8_t> good = Png(32, 32, 20);

  std::vector<uint8_t> notIhdr = good;
  notIhdr[12] = 'X';
  std::vector<uint8_t> hugeChunk = good;
  hugeChunk[33] = 0xFF;  // IDAT length 0xFF000014: far past the buffer
  std::vector<uint8_t> hugestChunk = good;
  for (int i = 33; i < 37; ++i) hugestChunk[i] = 0xFF;  // 0xFFFFFFFF, 64-bit sum must not wrap
  std::vector<uint8_t> iendWithoutCrc(good.begin(), good.end() - 4);
  std::vector<uint8_t> noIend = Png(32, 32, 20, false);
  noIend.resize(noIend.size() + 30, 0);  // zero padding, but no IEND in it

  const BrokenPng cases[] = {
      {"shorter than 24 bytes", std::vector<uint8_t>(good.begin(), good.begin() + 23), kMsgOverflow, 96},
      {"first chunk not IHDR", notIhdr, kMsgBadIhdr, 7},
      {"IEND missing", Png(32, 32, 20, false), kMsgOverflow, 98},
      {"IEND missing, padded", noIend, kMsgOverflow, 98},
      {"chunk length past the end", hugeChunk, kMsgOverflow, 98},
      {"chunk length 0xFFFFFFFF", hugestChunk, kMsgOverflow, 98},
      {"IEND without its CRC", iendWithoutCrc, kMsgOverflow, 98},
  };
  for (const BrokenPng& c : cases) {
    ThreadContext ctx;
    EXPECT_EQ(PngLength(ctx, c.bytes.data(), c.bytes.size()), 0) << c.name;
    EXPECT_EQ(ErrorMessage(ctx.error), c.message) << c.name;
    EXPECT_EQ(ErrorSite(ctx.error), c.site) << c.name;
  }
}

}  // namespace
}  // namespace zx
