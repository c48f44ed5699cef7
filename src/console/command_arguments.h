// Pieces of argument handling the zorvexc commands share.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace zx {

// "1,3,5-7" as numbers from 1, appended to `out`; false for anything else.
bool ParseNumberList(const std::u16string& text, std::vector<int64_t>& out);

// The full path of a file named on the command line.
std::u16string FullPath(const std::u16string& path);

}  // namespace zx
