#pragma once

#include <string>
#include <vector>

namespace zx {

// zorvexc export FILE [--group N] -o DIR: every image of every group (or of
// group N, counted from 1 as `info` lists them) written to DIR as a 32-bit
// RGBA PNG file. 0 when every image was written, 1 when any failed, 2 for a
// usage error.
int RunExportCommand(const std::vector<std::u16string>& args);

}  // namespace zx
