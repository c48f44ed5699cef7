// The record of the one opened icon-bearing file (one per thread).
#pragma once

#include <cstdint>
#include <string>

namespace zx {

// What the content is.
enum ContainerKind : int {
  kContainerNeverOpened = 0,
  kContainerNone = 1,
  kContainerPe = 2,
  kContainerNe = 4,
  kContainerIco = 8,
};

// What the file name says.
enum ExtensionKind : int {
  kExtensionUnset = 0,
  kExtensionIco = 1,
  kExtensionIcl = 2,
  kExtensionDll = 3,
  kExtensionDrv = 4,
  kExtensionExe = 5,
  kExtensionOcx = 6,
  kExtensionCpl = 7,
  kExtensionScr = 8,
  kExtensionOther = 10,
};

struct IconDocument {
  // PE: the module handle from the loader (data file). NE and ICO: the
  // registered whole-file buffer. Null when nothing is loaded.
  uint8_t* base = nullptr;
  // Full path with trailing dots removed.
  std::u16string path;
  // NE and ICO: byte size of the whole-file buffer.
  int64_t size = 0;
  // NE and ICO: base + size - 1. Readers compare addresses against base and this.
  const uint8_t* lastByte = nullptr;
  int64_t neHeaderOffset = 0;
  int64_t resourceTableOffset = 0;
  int64_t alignShift = 0;
  const uint8_t* firstTypeEntry = nullptr;
  int64_t groupCount = 0;
  int64_t iconCount = 0;
  int namedGroups = 0;
  std::u16string groupNames;
  ContainerKind container = kContainerNeverOpened;
  ExtensionKind extensionKind = kExtensionUnset;
  // Read handle that keeps other processes from changing the file (a HANDLE).
  void* fileLock = nullptr;
  int stringNamedGroups = 0;
  int hasPng = 0;

  // True when `length` bytes from `address` lie between base and lastByte.
  bool Contains(const uint8_t* address, uint64_t length) const {
    if (!base || !lastByte || !address || length == 0) return false;
    const auto first = reinterpret_cast<uintptr_t>(base);
    const auto last = reinterpret_cast<uintptr_t>(lastByte);
    const auto at = reinterpret_cast<uintptr_t>(address);
    if (at < first || at > last) return false;
    return length - 1 <= last - at;
  }
  // True when `length` bytes from file offset `offset` lie inside the buffer.
  bool ContainsOffset(uint64_t offset, uint64_t length) const {
    if (!base || size <= 0 || length == 0) return false;
    const auto total = static_cast<uint64_t>(size);
    return offset < total && length <= total - offset;
  }
};

// From the last four characters of the file-name part of the path, lower-cased.
ExtensionKind ExtensionKindOf(const std::u16string& path);
// The path without its trailing "." characters.
std::u16string WithoutTrailingDots(const std::u16string& path);
// The file-name part of a path (after the last '\\' or '/').
std::u16string FileNamePart(const std::u16string& path);

}  // namespace zx
