#pragma once

#include <string>
#include <vector>

namespace zx {

// zorvexc save --to ico|icl-ne|icl-pe|dll [--uncompress] [--groups LIST]
//              [--images LIST [--group N]] [--force] SOURCE -o TARGET
// writes the whole file, some groups, or some images of one group with the
// program's own writers. 0 when written, 1 when the writer failed, 2 for a
// usage error or a target that exists without --force.
int RunSaveCommand(const std::vector<std::u16string>& args);

}  // namespace zx
