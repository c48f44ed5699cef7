// Putting written files on disk. A file is never written over its target:
// it is written beside it under a temporary name, flushed, and then moved
// over the target in one step, so a write that fails or is cut short leaves
// the target as it was (or absent) and no temporary file behind.
#pragma once

#include <string>

#include "core/thread_context.h"
#include "imaging/byte_stream.h"

namespace zx {

// Writes the whole stream to a new file that then replaces `path` (created
// when absent, read-only or not), and gives it the present time.
int WriteStreamToFile(ThreadContext& ctx, ByteStream& stream, const std::u16string& path);

// Sets the creation, last-access and last-write times of `path` to now
// (whole seconds); `archive` also sets the archive attribute.
void StampWrittenFile(const std::u16string& path, bool archive);

// Resets the attributes of a file this program created and deletes it (if
// it exists). Never used on a file that was there before.
void RemoveFailedTarget(const std::u16string& path);

// A file being made beside its target: an empty file with a unique name in
// the target's folder, deleted when the owner goes away unless it was moved
// over the target.
class SiblingFile {
 public:
  SiblingFile() = default;
  SiblingFile(const SiblingFile&) = delete;
  SiblingFile& operator=(const SiblingFile&) = delete;
  ~SiblingFile();

  // Message 24 at `site` when the folder takes no new file.
  int Create(ThreadContext& ctx, const std::u16string& target, int site);
  const std::u16string& path() const { return path_; }
  // Replaces the target with this file in one step; the target's read-only
  // or system attribute does not stand in the way. On failure (message 24 at
  // `site`) the target keeps its bytes and its attributes.
  int Commit(ThreadContext& ctx, int site);

 private:
  std::u16string path_;
  std::u16string target_;
};

// Test hook: the places where writing a file can be made to fail. A hook
// returning true for a stage makes that stage fail as if the system had
// refused it (kWrite writes half the bytes first).
enum class FileOutputStage { kWrite, kResourceUpdate, kReplace };
using FileOutputFault = bool (*)(FileOutputStage stage);
void SetFileOutputFault(FileOutputFault fault);
bool FileOutputFaults(FileOutputStage stage);

}  // namespace zx
