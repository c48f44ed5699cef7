// The module template (RCDATA 60) inflated at start-up and stamped with the
// program's about line.
#pragma once

#include <cstdint>
#include <vector>

#include "core/thread_context.h"

namespace zx {

// 0 with fatal 223 when the item is missing or does not inflate.
int LoadModuleTemplate(ThreadContext& ctx, std::vector<uint8_t>& moduleTemplate);

}  // namespace zx
