#include "formats/ico_reader.h"

#include <cstring>

#include "core/messages.h"
#include "formats/byte_reader.h"
#include "imaging/icon_image_classify.h"

namespace zx {
namespace {

// Offset of an address inside the document's buffer (the caller has checked it).
uint64_t OffsetOf(const IconDocument& doc, const uint8_t* address) {
  return static_cast<uint64_t>(address - doc.base);
}

void ReleaseBuffer(ThreadContext& ctx, IconDocument& doc) {
  ctx.blocks.Release(doc.base);
  doc.base = nullptr;
  doc.lastByte = nullptr;
}

}  // namespace

bool IsDrawableDibBitCount(int bitCount) {
  switch (bitCount) {
    case 0: case 1: case 4: case 8: case 24: case 32:
      return true;
    default:
      return false;
  }
}

int CheckIco(ThreadContext& ctx, IconDocument& doc) {
  if (!doc.base || doc.size <= 0) return Fail(ctx, kMsgNullPointer, 37);
  doc.lastByte = doc.base + doc.size - 1;
  const auto size = static_cast<uint64_t>(doc.size);

  if (size < 6) {
    ReleaseBuffer(ctx, doc);
    return Fail(ctx, kMsgHeaderIntegrity, 7);
  }
  const uint32_t signature = ReadU32(doc.base);
  if (!IsIcoSignature(signature)) {
    ReleaseBuffer(ctx, doc);
    return Fail(ctx, kMsgHeaderIntegrity, 7);
  }
  const uint16_t count = ReadU16(doc.base + 4);
  if (count < 1) {
    ReleaseBuffer(ctx, doc);
    return Fail(ctx, kMsgBadIconCount, 12);
  }
  // The directory must be followed by at least one byte.
  if (kIcoHeaderSize + uint64_t{kIcoEntrySize} * count > size - 1) {
    ReleaseBuffer(ctx, doc);
    return Fail(ctx, kMsgOverflow, 34);
  }
  for (uint32_t i = 0; i < count; ++i) {
    const uint8_t* entry = doc.base + kIcoHeaderSize + kIcoEntrySize * i;
    const uint64_t imageSize = ReadU32(entry + 8);
    const uint64_t imageOffset = ReadU32(entry + 12);
    if (imageOffset + imageSize > size) {
      ReleaseBuffer(ctx, doc);
      return Fail(ctx, kMsgOverflow, 35);
    }
  }
  doc.iconCount = count;
  doc.groupCount = 0;
  doc.namedGroups = 0;
  doc.container = kContainerIco;
  return 1;
}

const uint8_t* IcoEntry(ThreadContext& ctx, const IconDocument& doc, int64_t n) {
  if (n < 1 || !doc.base || doc.size <= 0) {
    Fail(ctx, kMsgNullPointer, 77);
    return nullptr;
  }
  const uint64_t offset = kIcoHeaderSize + uint64_t{kIcoEntrySize} * static_cast<uint64_t>(n - 1);
  if (!doc.ContainsOffset(offset, 1)) {
    Fail(ctx, kMsgOverflow, 79);
    return nullptr;
  }
  return doc.base + offset;
}

const uint8_t* IcoImageData(ThreadContext& ctx, const IconDocument& doc, const uint8_t* entry) {
  if (!doc.Contains(entry, kIcoEntrySize)) {
    Fail(ctx, kMsgOverflow, 91);
    return nullptr;
  }
  const uint64_t imageOffset = ReadU32(entry + 12);
  const uint64_t imageSize = ReadU32(entry + 8);
  if (imageOffset == 0) {
    Fail(ctx, kMsgBadFileFormat, 43);
    return nullptr;
  }
  if (imageSize == 0) {
    Fail(ctx, kMsgBadFileFormat, 44);
    return nullptr;
  }
  if (!doc.ContainsOffset(imageOffset, imageSize)) {
    Fail(ctx, kMsgOverflow, 92);
    return nullptr;
  }
  return doc.base + imageOffset;
}

uint32_t IcoImageSize(ThreadContext& ctx, const IconDocument& doc, const uint8_t* entry) {
  // Look at the entry only once it is known to lie inside the buffer.
  if (!doc.Contains(entry, kIcoEntrySize)) {
    Fail(ctx, kMsgOverflow, 95);
    return 0;
  }
  const uint32_t imageSize = ReadU32(entry + 8);
  if (imageSize == 0) {
    Fail(ctx, kMsgBadFileFormat, 45);
    return 0;
  }
  return imageSize;
}

int ForEachIcoEntry(ThreadContext& ctx, IconDocument& doc, const IcoEntryCallback& callback) {
  if (!doc.base || doc.size <= 0 || !callback) return Fail(ctx, kMsgNullPointer, 40);
  if (doc.iconCount <= 0) return Fail(ctx, kMsgIclBadIconCount, 5);
  if (static_cast<uint64_t>(doc.size) < 22 + uint64_t{kIcoEntrySize} * static_cast<uint64_t>(doc.iconCount)) {
    return Fail(ctx, kMsgOverflow, 43);
  }
  for (int64_t n = 1; n <= doc.iconCount; ++n) {
    if (!callback(doc, n)) return ErrorMessage(ctx.error) == 0 ? 1 : 0;
  }
  return 1;
}

int CheckIcoEntryImage(ThreadContext& ctx, const IconDocument& doc, int64_t n, IcoImageInfo& info) {
  info = IcoImageInfo{};
  const uint8_t* entry = IcoEntry(ctx, doc, n);
  if (!entry) return 0;
  const uint8_t* image = IcoImageData(ctx, doc, entry);
  if (!image) return 0;
  const uint32_t size = IcoImageSize(ctx, doc, entry);
  if (!size) return 0;

  if (!doc.ContainsOffset(0, kIcoHeaderSize)) return Fail(ctx, kMsgOverflow, 152);
  if (ReadU16(doc.base + 4) == 0) return Fail(ctx, kMsgBadFileFormat, 59);
  const uint64_t offset = OffsetOf(doc, image);
  if (!doc.ContainsOffset(offset, size)) return Fail(ctx, kMsgOverflow, 153);
  if (!doc.ContainsOffset(offset, 21)) return Fail(ctx, kMsgOverflow, 154);

  info.data = image;
  info.size = size;
  if (IsPngSignature(image, size)) {
    // Signature, then the first chunk: length, "IHDR", width, height.
    if (std::memcmp(image + 12, "IHDR", 4) != 0) return Fail(ctx, kMsgBadFileFormat, 60);
    if (!doc.ContainsOffset(offset, 24)) return Fail(ctx, kMsgOverflow, 154);
    info.png = true;
    info.width = static_cast<int>(ReadU32BigEndian(image + 16) & 0xFFFF);
    info.height = static_cast<int>(ReadU32BigEndian(image + 20) & 0xFFFF);
    info.bitCount = ReadU16(entry + 6);
    if (info.width == 0 || info.height == 0) return Fail(ctx, kMsgBadFileFormat, 61);
    return 1;
  }
  if (!doc.ContainsOffset(offset, 40)) return Fail(ctx, kMsgOverflow, 158);
  info.width = static_cast<int>(ReadU32(image + 4) & 0xFFFF);
  info.height = static_cast<int>((ReadU32(image + 8) & 0xFFFF) / 2);
  info.bitCount = ReadU16(image + 14);
  return 1;
}

int ReadIcoEntryImage(ThreadContext& ctx, const IconDocument& doc, int64_t n, IcoImageInfo& info) {
  info = IcoImageInfo{};
  if (n < 1 || n > doc.iconCount) return Fail(ctx, kMsgBadParameter, 22);
  const uint8_t* entry = IcoEntry(ctx, doc, n);
  if (!entry) return Fail(ctx, kMsgResourceFind, 41);
  const uint8_t* image = IcoImageData(ctx, doc, entry);
  if (!image) return Fail(ctx, kMsgResourceAddress, 36);
  const uint32_t size = IcoImageSize(ctx, doc, entry);
  if (!size) return Fail(ctx, kMsgResourceSize, 18);
  const uint64_t offset = OffsetOf(doc, image);
  if (!doc.ContainsOffset(offset, size)) return Fail(ctx, kMsgOverflow, 137);

  info.data = image;
  info.size = size;
  if (IsPngSignature(image, size)) {
    if (size < 24) return Fail(ctx, kMsgOverflow, 137);
    info.png = true;
    info.width = static_cast<int>(ReadU32BigEndian(image + 16) & 0xFFFF);
    info.height = static_cast<int>(ReadU32BigEndian(image + 20) & 0xFFFF);
    info.bitCount = ReadU16(entry + 6);
    return 1;
  }
  if (size < 40) return Fail(ctx, kMsgOverflow, 137);
  info.width = static_cast<int>(ReadU32(image + 4) & 0xFFFF);
  info.height = static_cast<int>((ReadU32(image + 8) & 0xFFFF) / 2);
  info.bitCount = ReadU16(image + 14);
  if (info.width == 0 || info.height == 0) return Fail(ctx, kMsgIconCreate, 38);
  return 1;
}

}  // namespace zx
