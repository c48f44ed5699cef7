#include "ops/file_output_win.h"

#include <windows.h>

#include <vector>

#include "core/messages.h"
#include "core/win_handles.h"
#include "core/win_text.h"

namespace zx {
namespace {

FileOutputFault g_fault = nullptr;

std::u16string FolderOf(const std::u16string& path) {
  const size_t slash = path.find_last_of(u"\\/");
  if (slash == std::u16string::npos) return u".";
  if (slash == 0 || (slash == 2 && path[1] == u':')) return path.substr(0, slash + 1);
  return path.substr(0, slash);
}

}  // namespace

void SetFileOutputFault(FileOutputFault fault) { g_fault = fault; }
bool FileOutputFaults(FileOutputStage stage) { return g_fault && g_fault(stage); }

SiblingFile::~SiblingFile() {
  if (!path_.empty()) RemoveFailedTarget(path_);
}

int SiblingFile::Create(ThreadContext& ctx, const std::u16string& target, int site) {
  wchar_t name[MAX_PATH];
  if (!GetTempFileNameW(Wide(FolderOf(target)), L"zx", 0, name)) return Fail(ctx, kMsgFileCreate, site);
  path_ = FromWide(name);
  target_ = target;
  return 1;
}

int SiblingFile::Commit(ThreadContext& ctx, int site) {
  if (path_.empty()) return Fail(ctx, kMsgFileCreate, site);
  // A read-only target cannot be replaced; it gets its attributes back when
  // the replacement does not happen.
  const DWORD attributes = GetFileAttributesW(Wide(target_));
  const bool existed = attributes != INVALID_FILE_ATTRIBUTES;
  if (existed) SetFileAttributesW(Wide(target_), FILE_ATTRIBUTE_NORMAL);
  const bool moved = !FileOutputFaults(FileOutputStage::kReplace) &&
                     MoveFileExW(Wide(path_), Wide(target_),
                                 MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH);
  if (!moved) {
    if (existed) SetFileAttributesW(Wide(target_), attributes);
    return Fail(ctx, kMsgFileCreate, site);
  }
  path_.clear();
  return 1;
}

int WriteStreamToFile(ThreadContext& ctx, ByteStream& stream, const std::u16string& path) {
  uint64_t size = 0;
  if (!stream.Seek(ctx, 0, SeekOrigin::kEnd, &size, 600)) return 0;
  if (size <= 3) return Fail(ctx, kMsgInternalError, 601);
  if (size > 0x7FFFFFFF) return Fail(ctx, kMsgNoMemory, 602);
  if (!SeekTo(ctx, stream, 0, 603)) return 0;
  std::vector<uint8_t> buffer;
  buffer.resize(size);
  if (!ReadExactly(ctx, stream, buffer.data(), size, 605, kMsgStreamRead, 605)) return 0;

  SiblingFile sibling;
  if (!sibling.Create(ctx, path, 604)) return 0;
  UniqueHandle file(CreateFileW(Wide(sibling.path()), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file) return Fail(ctx, kMsgFileCreate, 604);
  const DWORD length = FileOutputFaults(FileOutputStage::kWrite) ? static_cast<DWORD>(size / 2)
                                                                 : static_cast<DWORD>(size);
  DWORD written = 0;
  if (!WriteFile(file.get(), buffer.data(), length, &written, nullptr) || written != size) {
    return Fail(ctx, kMsgFileWriteData, 606);
  }
  // On disk before it takes the target's place.
  if (!FlushFileBuffers(file.get())) return Fail(ctx, kMsgFileWriteData, 607);
  file.Reset();
  StampWrittenFile(sibling.path(), false);
  return sibling.Commit(ctx, 608);
}

void StampWrittenFile(const std::u16string& path, bool archive) {
  // File times are kept in UTC; the shell shows them in local time. Whole
  // seconds, as the file list shows them.
  SYSTEMTIME now;
  GetSystemTime(&now);
  now.wMilliseconds = 0;
  FILETIME stamp;
  if (SystemTimeToFileTime(&now, &stamp)) {
    UniqueHandle file(CreateFileW(Wide(path), FILE_WRITE_ATTRIBUTES, FILE_SHARE_READ, nullptr,
                                  OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (file) SetFileTime(file.get(), &stamp, &stamp, &stamp);
  }
  if (archive) SetFileAttributesW(Wide(path), FILE_ATTRIBUTE_ARCHIVE);
}

void RemoveFailedTarget(const std::u16string& path) {
  SetFileAttributesW(Wide(path), FILE_ATTRIBUTE_NORMAL);
  DeleteFileW(Wide(path));
}

}  // namespace zx
