// Reading .ico files in place: the whole file sits in the document's buffer
// and entries are addressed by number (1..iconCount); nothing is copied out.
#pragma once

#include <cstdint>
#include <functional>

#include "core/icon_document.h"
#include "core/thread_context.h"

namespace zx {

constexpr int kIcoHeaderSize = 6;
constexpr int kIcoEntrySize = 16;

// The first four bytes of an icon file or group directory as one
// little-endian value: icon (0x00010000), cursor (0x00020000) or the old
// icon type 0x000E0000.
constexpr bool IsIcoSignature(uint32_t value) {
  return value == 0x00010000 || value == 0x00020000 || value == 0x000E0000;
}

// File-level check after the whole file is loaded. On success sets iconCount,
// groupCount = 0, namedGroups = 0, container = 8. On failure releases the buffer.
int CheckIco(ThreadContext& ctx, IconDocument& doc);

// Directory entry n (from 1), or nullptr.
const uint8_t* IcoEntry(ThreadContext& ctx, const IconDocument& doc, int64_t n);
// The entry's image bytes, or nullptr.
const uint8_t* IcoImageData(ThreadContext& ctx, const IconDocument& doc, const uint8_t* entry);
// The entry's image size, or 0.
uint32_t IcoImageSize(ThreadContext& ctx, const IconDocument& doc, const uint8_t* entry);

// Called for n = 1..iconCount; returning 0 stops the walk.
using IcoEntryCallback = std::function<int(IconDocument& doc, int64_t n)>;
int ForEachIcoEntry(ThreadContext& ctx, IconDocument& doc, const IcoEntryCallback& callback);

// What one entry's image is, as the thumbnail and pane builders see it.
struct IcoImageInfo {
  const uint8_t* data = nullptr;
  uint32_t size = 0;
  bool png = false;
  int width = 0;
  int height = 0;
  // PNG: the directory entry's bit count; DIB: the header's bit count.
  int bitCount = 0;
};

// The checks the thumbnail builder makes on every entry when a file opens, so
// that one bad entry fails the whole opening.
int CheckIcoEntryImage(ThreadContext& ctx, const IconDocument& doc, int64_t n, IcoImageInfo& info);

// Reading entry n for the image pane.
int ReadIcoEntryImage(ThreadContext& ctx, const IconDocument& doc, int64_t n, IcoImageInfo& info);

// True for bit counts that make a thumbnail (0, 1, 4, 8, 24, 32).
bool IsDrawableDibBitCount(int bitCount);

}  // namespace zx
