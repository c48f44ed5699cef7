// Putting written files on disk: a finished stream becomes the target file,
// a new file gets the present time, and a target that failed half-way is
// removed so that no partial file is left behind.
#pragma once

#include <string>

#include "core/thread_context.h"
#include "imaging/byte_stream.h"

namespace zx {

// Writes the whole stream to `path` (created or replaced, not shared while
// written) in one write, then gives the file the present time.
int WriteStreamToFile(ThreadContext& ctx, ByteStream& stream, const std::u16string& path);

// Sets the creation, last-access and last-write times of `path` to now
// (whole seconds); `archive` also sets the archive attribute.
void StampWrittenFile(const std::u16string& path, bool archive);

// Resets the target's attributes to normal and deletes it (if it exists).
void RemoveFailedTarget(const std::u16string& path);

}  // namespace zx
