// The 16-bit characteristics word of a PE file's header (whether the file is
// a DLL, an executable image, ...), read and overwritten in place.
#pragma once

#include <cstdint>
#include <string>

#include "core/thread_context.h"

namespace zx {

int ReadPeCharacteristics(ThreadContext& ctx, const std::u16string& path, uint16_t* value);
int WritePeCharacteristics(ThreadContext& ctx, const std::u16string& path, uint16_t value);

}  // namespace zx
