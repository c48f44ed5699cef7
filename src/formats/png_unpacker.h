// Turning a PNG icon image into a DIB image is the image codec's work (it
// needs the system's decoders); the byte-level writers receive it as this
// callback so that one writer serves every build.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

#include "core/thread_context.h"
#include "imaging/byte_stream.h"

namespace zx {

// Writes into `oneImageIco` (an empty stream at position 0) the complete
// one-image ICO whose image is the DIB equivalent of the PNG at `png`. On
// failure the context holds message 22 (undecodable) or 12 (no icon).
using PngUnpacker = std::function<int(ThreadContext& ctx, const uint8_t* png, uint64_t length,
                                      ByteStream& oneImageIco)>;

// Makes an empty stream for intermediate results (a scratch stream on
// Windows, memory elsewhere); null with the error set when none can be had.
using StreamFactory = std::function<std::unique_ptr<ByteStream>(ThreadContext& ctx)>;

// 0 keeps PNG images as they are; 1 writes them as DIB images.
enum VistaMode : int { kVistaKeep = 0, kVistaUncompress = 1 };

}  // namespace zx

namespace zx {

// A PNG image unpacked to a DIB: the 16-byte entry of the one-image ICO the
// unpacker made, and the DIB image it points at.
struct UnpackedDib {
  uint8_t entry[16] = {};
  std::vector<uint8_t> dib;
};

// Runs the unpacker on a fresh intermediate stream and reads its one entry
// and its image back (message 59 when the ICO it made is not whole).
int UnpackPngToDib(ThreadContext& ctx, const uint8_t* png, uint64_t length,
                   const PngUnpacker& unpack, const StreamFactory& makeStream, UnpackedDib& out);

}  // namespace zx
