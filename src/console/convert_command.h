#pragma once

#include <string>
#include <vector>

namespace zx {

// zorvexc convert --to LIST [--uncompress] [--sources LIST] [--recursive]
//                 -o DEST SOURCE...
// runs a batch conversion on the conversion worker, with a progress line,
// Ctrl+C to cancel, the six counters as a summary and the paths of the log
// and the work list. 0 when no error was counted, 1 when some were or the
// run could not start, 2 for a usage error.
int RunConvertCommand(const std::vector<std::u16string>& args);

}  // namespace zx
