#include "convert/conversion_text_file_win.h"

#include <windows.h>

#include "core/utf8.h"
#include "core/win_text.h"

namespace zx {

bool ConversionTextFile::Create(const std::u16string& path) {
  file_.Reset(CreateFileW(Wide(path), GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ, nullptr,
                          CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
  buffer_.clear();
  read_ = 0;
  ended_ = false;
  return file_.valid();
}

bool ConversionTextFile::WriteLine(const std::u16string& line) {
  if (!file_) return false;
  const std::string bytes = ToUtf8(line) + "\r\n";
  DWORD written = 0;
  return WriteFile(file_.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) &&
         written == bytes.size();
}

bool ConversionTextFile::Position(uint64_t& position) {
  LARGE_INTEGER zero{};
  LARGE_INTEGER at{};
  if (!file_ || !SetFilePointerEx(file_.get(), zero, &at, FILE_CURRENT)) return false;
  position = static_cast<uint64_t>(at.QuadPart);
  return true;
}

bool ConversionTextFile::MoveTo(uint64_t position) {
  LARGE_INTEGER to{};
  to.QuadPart = static_cast<LONGLONG>(position);
  buffer_.clear();
  read_ = 0;
  ended_ = false;
  return file_ && SetFilePointerEx(file_.get(), to, nullptr, FILE_BEGIN);
}

bool ConversionTextFile::ReadLine(std::u16string& line) {
  if (!file_) return false;
  // One block at a time, so a long work list never sits in memory whole.
  for (;;) {
    const size_t end = buffer_.find('\n', read_);
    if (end != std::string::npos || ended_) {
      if (end == std::string::npos && read_ >= buffer_.size()) return false;
      const size_t stop = end == std::string::npos ? buffer_.size() : end;
      size_t length = stop - read_;
      if (length > 0 && buffer_[read_ + length - 1] == '\r') --length;
      line = FromUtf8(buffer_.substr(read_, length));
      read_ = end == std::string::npos ? buffer_.size() : end + 1;
      return true;
    }
    buffer_.erase(0, read_);
    read_ = 0;
    char block[65536];
    DWORD got = 0;
    if (!ReadFile(file_.get(), block, sizeof block, &got, nullptr) || got == 0) {
      ended_ = true;
    } else {
      buffer_.append(block, got);
    }
  }
}

}  // namespace zx
