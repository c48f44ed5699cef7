#include "ops/file_output_win.h"

#include <windows.h>

#include <vector>

#include "core/messages.h"
#include "core/win_handles.h"
#include "core/win_text.h"

namespace zx {

int WriteStreamToFile(ThreadContext& ctx, ByteStream& stream, const std::u16string& path) {
  uint64_t size = 0;
  if (!stream.Seek(ctx, 0, SeekOrigin::kEnd, &size, 600)) return 0;
  if (size <= 3) return Fail(ctx, kMsgInternalError, 601);
  if (size > 0x7FFFFFFF) return Fail(ctx, kMsgNoMemory, 602);
  if (!SeekTo(ctx, stream, 0, 603)) return 0;
  std::vector<uint8_t> buffer;
  buffer.resize(size);
  UniqueHandle file(CreateFileW(Wide(path), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file) return Fail(ctx, kMsgFileCreate, 604);
  if (!ReadExactly(ctx, stream, buffer.data(), size, 605, kMsgStreamRead, 605)) return 0;
  DWORD written = 0;
  if (!WriteFile(file.get(), buffer.data(), static_cast<DWORD>(size), &written, nullptr) ||
      written != size) {
    return Fail(ctx, kMsgFileWriteData, 606);
  }
  file.Reset();
  StampWrittenFile(path, false);
  return 1;
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
