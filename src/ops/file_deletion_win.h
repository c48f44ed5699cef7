// Deleting files for good (not to the recycle bin) through the shell.
#pragma once

#include <string>
#include <vector>

#include "core/thread_context.h"

namespace zx {

// The shell's flags the delete command passes: no confirmation of its own
// and no error window (FOF_NOCONFIRMATION | FOF_NOERRORUI).
constexpr unsigned kDeleteQuietly = 0x410;

// Deletes `paths` in one shell operation owned by the foreground window.
// 1 when the shell reports success or that the user aborted it (the caller
// looks whether the file is gone); 0 with message 40 otherwise.
int DeleteFiles(ThreadContext& ctx, const std::vector<std::u16string>& paths, unsigned flags);

}  // namespace zx
