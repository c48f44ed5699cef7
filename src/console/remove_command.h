#pragma once

#include <string>
#include <vector>

namespace zx {

// zorvexc remove (--groups LIST | --images LIST --group N) FILE
// takes group-list rows, or pictures of row N, out of FILE in place with the
// program's own removal, without asking. 0 when removed, 1 when refused or
// failed (the file is then unchanged), 2 for a usage error.
int RunRemoveCommand(const std::vector<std::u16string>& args);

}  // namespace zx
