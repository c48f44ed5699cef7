#include "imaging/png_length.h"

#include <cstring>

#include "core/messages.h"
#include "formats/byte_reader.h"

namespace zx {
namespace {

constexpr uint64_t kFirstChunk = 8;          // after the 8-byte signature
constexpr uint64_t kChunkFrame = 12;         // length, type and CRC around the data
constexpr uint64_t kIhdrEnd = 24;            // signature, IHDR length and type, width, height

bool ChunkTypeIs(const uint8_t* chunk, const char* type) {
  return std::memcmp(chunk + 4, type, 4) == 0;
}

}  // namespace

int64_t PngLength(ThreadContext& ctx, const uint8_t* data, uint64_t available) {
  if (!data || available < kIhdrEnd) return Fail(ctx, kMsgOverflow, 96);
  if (!ChunkTypeIs(data + kFirstChunk, "IHDR")) return Fail(ctx, kMsgBadIhdr, 7);

  // Offsets stay 64-bit so that a huge chunk length cannot wrap around; each
  // step moves on by at least 12 bytes, so the walk ends.
  uint64_t chunk = kFirstChunk;
  while (!ChunkTypeIs(data + chunk, "IEND")) {
    if (chunk + 4 > available) return Fail(ctx, kMsgOverflow, 97);
    chunk += kChunkFrame + ReadU32BigEndian(data + chunk);
    if (chunk + 8 > available) return Fail(ctx, kMsgOverflow, 98);
  }
  // The IEND chunk's CRC must be there too, or the length would reach past
  // the buffer.
  if (chunk + kChunkFrame > available) return Fail(ctx, kMsgOverflow, 98);
  return static_cast<int64_t>(chunk + kChunkFrame);
}

}  // namespace zx
