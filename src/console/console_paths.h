// Paths as the console companion takes them from its command line.
#pragma once

#include <string>

namespace zx {

// The full form of a path relative to the current folder (the path itself
// when the system cannot make one).
std::u16string FullPath(const std::u16string& path);

}  // namespace zx
