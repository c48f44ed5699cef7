// Measuring a PNG image by walking its chunks, for containers whose stored
// length is rounded up (NE resources) and so cannot be trusted as the image size.
#pragma once

#include <cstddef>
#include <cstdint>

#include "core/thread_context.h"

namespace zx {

// Byte length of the PNG image at `data`, from its signature to the end of its
// "IEND" chunk; `available` is how many bytes of the buffer follow `data`.
// 0 on failure: message 59 (site 96) when the first 24 bytes are not there,
// message 50 (site 7) when the first chunk is not "IHDR", message 59 (sites 97,
// 98) when a chunk runs past the buffer before "IEND" is met.
int64_t PngLength(ThreadContext& ctx, const uint8_t* data, uint64_t available);

}  // namespace zx
