// The name a save-as target gets from what the user typed: trailing dots
// dropped, the target's extension added when there is none, and any other
// extension refused.
#pragma once

#include <string>

#include "core/thread_context.h"

namespace zx {

// `extension` without its dot, lower-case ("ico", "icl", "dll"). 0 with
// message 27 (site 0) when the name carries another extension.
int SaveTargetPath(ThreadContext& ctx, const std::u16string& chosen, const std::u16string& extension,
                   std::u16string& path);

}  // namespace zx
