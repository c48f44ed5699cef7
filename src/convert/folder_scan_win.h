// Tree mode: the chosen folders and files expanded into the file queue.
#pragma once

#include <string>

#include "convert/conversion_job.h"
#include "convert/conversion_progress.h"
#include "core/thread_context.h"

namespace zx {

// Appends every file of `folder` and its subfolders that the pattern takes,
// depth first, in the order the system lists them. Sets `overflow` (and goes
// on) when the queue cannot grow.
void ScanFolder(ConversionJob& job, CounterDisplay& display, const std::u16string& folder,
                int depth, bool& overflow);

// Expands the chosen items into the queue. 0 when the queue could not grow:
// the error (message 1 at site 125 for a folder, 126 for a file) is in the
// context and both lists are empty again.
int ScanItems(ThreadContext& ctx, ConversionJob& job, CounterDisplay& display);

}  // namespace zx
