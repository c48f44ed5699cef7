#pragma once

#include <string>
#include <vector>

namespace zx {

// zorvexc info [--json] [--lang en|fr] FILE...: 0 when every file opened, 1 otherwise.
int RunInfoCommand(const std::vector<std::u16string>& args);

}  // namespace zx
