// What the byte-level writers get from the system on Windows: scratch
// streams for their intermediate results, and the image codec to unpack PNG
// images into DIB images.
#pragma once

#include "formats/png_unpacker.h"

namespace zx {

// Scratch streams of the calling thread (its context must have services).
StreamFactory ScratchStreams();

// PNG to the one-image DIB ICO of its icon: decoded by the codec, or first
// made by the system at the PNG's own size when `systemFirst` (module copies).
// Message 22 when no decoder can read it, 12 when the system refuses the DIB
// it gives.
PngUnpacker CodecPngUnpacker(bool systemFirst);

}  // namespace zx
