// Test helpers for the writers: patterned images, an in-memory stream
// factory and a stand-in for the codec's PNG unpacker.
#pragma once

#include <memory>
#include <vector>

#include "core/messages.h"
#include "support/document_fixture.h"
#include "formats/png_unpacker.h"
#include "imaging/memory_stream.h"

namespace zx::testing {

// A DIB whose pixel bytes follow a pattern of their own, so copies can be
// told apart from each other.
inline std::vector<uint8_t> PatternedDib(int width, int height, int bitCount, uint8_t seed) {
  std::vector<uint8_t> image = DibImage(width, height, bitCount);
  for (size_t i = 40; i < image.size(); ++i) image[i] = static_cast<uint8_t>(seed + i * 7);
  return image;
}

// An .ico file whose entries describe their DIB images as a real file does:
// width, height (256 as 0), colour count and the header's depth. PNG entries
// keep width 0, height 0 and depth 32.
inline std::vector<uint8_t> DescribedIcoFile(const std::vector<std::vector<uint8_t>>& images) {
  std::vector<uint8_t> file = IcoFile(images);
  for (size_t i = 0; i < images.size(); ++i) {
    const std::vector<uint8_t>& image = images[i];
    if (image.size() < 40 || image[0] != 40) continue;
    const size_t entry = 6 + 16 * i;
    const int bits = image[14];
    file[entry] = image[4];
    file[entry + 1] = static_cast<uint8_t>(((image[9] << 8) | image[8]) / 2);
    file[entry + 2] = bits < 8 ? static_cast<uint8_t>(1 << bits) : 0;
    PutU16(file, entry + 6, static_cast<uint32_t>(bits));
  }
  return file;
}

inline StreamFactory MemoryStreams() {
  return [](ThreadContext&) -> std::unique_ptr<ByteStream> {
    return std::make_unique<MemoryStream>();
  };
}

// Unpacks any PNG to a 32-bit DIB of its IHDR size, as the codec would.
inline PngUnpacker FakeUnpacker() {
  return [](ThreadContext& ctx, const uint8_t* png, uint64_t, ByteStream& out) {
    const int width = (png[18] << 8) | png[19];
    const int height = (png[22] << 8) | png[23];
    const std::vector<uint8_t> ico = DescribedIcoFile({PatternedDib(width, height, 32, 0x55)});
    return out.Write(ctx, ico.data(), ico.size(), 1);
  };
}

// An unpacker for PNG data no decoder understands.
inline PngUnpacker FailingUnpacker() {
  return [](ThreadContext& ctx, const uint8_t*, uint64_t, ByteStream&) {
    return Fail(ctx, kMsgVistaUnpack, 11);
  };
}

inline std::vector<uint8_t> StreamBytes(const MemoryStream& stream) {
  if (!stream.data()) return {};
  return std::vector<uint8_t>(stream.data(), stream.data() + stream.size());
}

}  // namespace zx::testing
