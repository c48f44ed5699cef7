#include "formats/png_unpacker.h"

#include "core/messages.h"
#include "formats/byte_reader.h"

namespace zx {

int UnpackPngToDib(ThreadContext& ctx, const uint8_t* png, uint64_t length,
                   const PngUnpacker& unpack, const StreamFactory& makeStream, UnpackedDib& out) {
  if (!unpack || !makeStream || !png) return Fail(ctx, kMsgNullPointer, 495);
  std::unique_ptr<ByteStream> ico = makeStream(ctx);
  if (!ico) return 0;
  if (!unpack(ctx, png, length, *ico)) return 0;
  if (!SeekTo(ctx, *ico, 6, 496) ||
      !ReadExactly(ctx, *ico, out.entry, sizeof out.entry, 496, kMsgOverflow, 496)) {
    return 0;
  }
  const uint32_t size = ReadU32(out.entry + 8);
  const uint32_t offset = ReadU32(out.entry + 12);
  if (size < 40) return Fail(ctx, kMsgOverflow, 497);
  out.dib.assign(size, 0);
  return SeekTo(ctx, *ico, offset, 498) &&
         ReadExactly(ctx, *ico, out.dib.data(), size, 498, kMsgOverflow, 498);
}

}  // namespace zx
