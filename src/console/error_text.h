// The text of an error value as the program shows it: the catalogue message
// in the context's language followed by its numbers.
#pragma once

#include <string>

#include "core/thread_context.h"

namespace zx {

// "Unable to unpack Vista icon (…)" in UTF-8, for the slot's current error.
std::string ErrorLineText(const ThreadContext& ctx);

}  // namespace zx
