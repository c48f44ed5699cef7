#include "formats/pe_characteristics_win.h"

#include <windows.h>

#include "core/messages.h"
#include "core/win_handles.h"
#include "core/win_text.h"
#include "formats/byte_reader.h"

namespace zx {
namespace {

constexpr LONG kHeaderOffsetField = 60;
// Machine, section count, time stamp, symbol table, symbol count and optional
// header size lie between the signature and the characteristics.
constexpr LONG kSignatureToCharacteristics = 18;

// The sites one walk reports its failures with.
struct WalkSites {
  int open, readMz, readOffset, readSignature, lastStep;
  int noMz, noSignature;
};

const WalkSites kReadSites = {16, 17, 18, 19, 20, 2, 1};
const WalkSites kWriteSites = {21, 22, 23, 24, 25, 3, 2};

bool ReadExactly(HANDLE file, void* buffer, DWORD length) {
  DWORD read = 0;
  return ReadFile(file, buffer, length, &read, nullptr) && read == length;
}

bool MoveTo(HANDLE file, LONG offset, DWORD method) {
  return SetFilePointer(file, offset, nullptr, method) != INVALID_SET_FILE_POINTER;
}

// The walk starts only on a file that exists and holds something.
bool HasContent(const std::u16string& path) {
  WIN32_FILE_ATTRIBUTE_DATA attributes;
  return GetFileAttributesExW(Wide(path), GetFileExInfoStandard, &attributes) &&
         !(attributes.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) &&
         (attributes.nFileSizeHigh != 0 || attributes.nFileSizeLow != 0);
}

// Opens the file, reads the characteristics field and leaves the file
// pointer on it.
int OpenAtCharacteristics(ThreadContext& ctx, const std::u16string& path, bool forWriting,
                          const WalkSites& sites, UniqueHandle& file, uint16_t& value) {
  const DWORD access = forWriting ? GENERIC_READ | GENERIC_WRITE : GENERIC_READ;
  const DWORD share = forWriting ? FILE_SHARE_WRITE : FILE_SHARE_READ | FILE_SHARE_WRITE;
  file.Reset(CreateFileW(Wide(path), access, share, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file) return Fail(ctx, kMsgFileRead, sites.open);

  uint8_t mz[2];
  if (!ReadExactly(file.get(), mz, 2)) return Fail(ctx, kMsgFileRead, sites.readMz);
  if (mz[0] != 'M' || mz[1] != 'Z') return Fail(ctx, kMsgNoMzSignature, sites.noMz);
  uint8_t offset[4];
  if (!MoveTo(file.get(), kHeaderOffsetField, FILE_BEGIN) || !ReadExactly(file.get(), offset, 4)) {
    return Fail(ctx, kMsgFileRead, sites.readOffset);
  }
  const uint32_t header = ReadU32(offset);
  // SetFilePointer takes a signed 32-bit distance; larger offsets cannot be a header.
  if (header > 0x7FFFFFFF || !MoveTo(file.get(), static_cast<LONG>(header), FILE_BEGIN)) {
    return Fail(ctx, kMsgFileSeek);
  }
  uint8_t signature[4];
  if (!ReadExactly(file.get(), signature, 4)) return Fail(ctx, kMsgFileRead, sites.readSignature);
  if (signature[0] != 'P' || signature[1] != 'E' || signature[2] != 0 || signature[3] != 0) {
    return Fail(ctx, kMsgNoNtSignature, sites.noSignature);
  }
  if (!MoveTo(file.get(), kSignatureToCharacteristics, FILE_CURRENT)) return Fail(ctx, kMsgFileSeek);
  // Reading the field first also proves it lies inside the file, so a write
  // never lengthens a cut file.
  uint8_t field[2];
  if (!ReadExactly(file.get(), field, 2)) return Fail(ctx, kMsgFileRead, sites.lastStep);
  value = ReadU16(field);
  if (!MoveTo(file.get(), -2, FILE_CURRENT)) return Fail(ctx, kMsgFileSeek);
  return 1;
}

}  // namespace

int ReadPeCharacteristics(ThreadContext& ctx, const std::u16string& path, uint16_t* value) {
  if (!HasContent(path)) return Fail(ctx, kMsgBadFileName);
  if (!value) return Fail(ctx, kMsgBadPointer, 21);
  UniqueHandle file;
  return OpenAtCharacteristics(ctx, path, false, kReadSites, file, *value);
}

int WritePeCharacteristics(ThreadContext& ctx, const std::u16string& path, uint16_t value) {
  if (!HasContent(path)) return Fail(ctx, kMsgBadFileName);
  UniqueHandle file;
  uint16_t current = 0;
  if (!OpenAtCharacteristics(ctx, path, true, kWriteSites, file, current)) return 0;
  uint8_t field[2];
  WriteU16(field, value);
  DWORD written = 0;
  if (!WriteFile(file.get(), field, 2, &written, nullptr) || written != 2) return Fail(ctx, kMsgFileWrite, 2);
  return 1;
}

}  // namespace zx
