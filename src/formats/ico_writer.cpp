#include "formats/ico_writer.h"

#include <cstring>
#include <memory>

#include "core/block_registry.h"
#include "core/messages.h"
#include "formats/byte_reader.h"
#include "formats/ico_reader.h"
#include "imaging/dib_layout.h"
#include "imaging/icon_image_classify.h"

namespace zx {
namespace {

constexpr uint64_t kDibSizeImageField = 20;

// The header is written field by field so that a stream refusing the very
// first write reports the header, and later refusals the stream.
int WriteIcoHeader(ThreadContext& ctx, ByteStream& out, uint64_t count, int site) {
  uint8_t header[kIcoHeaderSize];
  EncodeIcoHeader(header, count);
  if (!SeekTo(ctx, out, 0, site)) return 0;
  if (!out.Write(ctx, header, 2, site)) return Fail(ctx, kMsgIcoHeaderWrite, site);
  return out.Write(ctx, header + 2, 4, site + 1);
}

int WriteEntry(ThreadContext& ctx, ByteStream& out, const IcoEntryFields& fields, int site) {
  uint8_t entry[kIcoEntrySize];
  EncodeIcoEntry(entry, fields);
  return out.Write(ctx, entry, kIcoEntrySize, site);
}

// Reads a whole stream into a registered block.
int ReadWholeStream(ThreadContext& ctx, ByteStream& stream, RegisteredBlock& bytes,
                    uint64_t& size, int site) {
  if (!stream.Size(ctx, size, site)) return 0;
  if (size == 0 || size > static_cast<uint64_t>(INT64_MAX)) return Fail(ctx, kMsgNoIcon, site);
  uint8_t* block = ctx.blocks.Allocate(ctx, static_cast<int64_t>(size));
  if (!block) return 0;
  bytes = RegisteredBlock(ctx.blocks, block);
  if (!SeekTo(ctx, stream, 0, site)) return 0;
  return ReadExactly(ctx, stream, block, size, site, kMsgStreamRead, site);
}

}  // namespace

int64_t IcoDirectoryCount(const IconDocument& doc) {
  return doc.ContainsOffset(0, kIcoHeaderSize) ? ReadU16(doc.base + 4) : 0;
}

const uint8_t* SelectedIcoEntry(ThreadContext& ctx, const IconDocument& doc, int64_t number,
                                int site) {
  if (number < 1 || number > IcoDirectoryCount(doc)) {
    Fail(ctx, kMsgBadIconCount, site);
    return nullptr;
  }
  const uint64_t at = kIcoHeaderSize + kIcoEntrySize * static_cast<uint64_t>(number - 1);
  if (!doc.ContainsOffset(at, kIcoEntrySize)) {
    Fail(ctx, kMsgOverflow, site + 1);
    return nullptr;
  }
  return doc.base + at;
}

bool IcoEntryImageInside(const IconDocument& doc, const uint8_t* entry) {
  return doc.ContainsOffset(ReadU32(entry + 12), ReadU32(entry + 8));
}

int BuildIcoFromIcoDocument(ThreadContext& ctx, const IconDocument& doc,
                            const IconSelection& selection, ByteStream& out) {
  if (!doc.base || doc.size <= 0) return Fail(ctx, kMsgNullPointer, 410);
  if (selection.empty()) return Fail(ctx, kMsgBadFileFormat, 411);
  const uint64_t n = selection.size();
  if (!WriteIcoHeader(ctx, out, n, 412)) return 0;

  // First pass: entries, each copied but for its new offset.
  uint64_t offset = kIcoHeaderSize + kIcoEntrySize * n;
  std::vector<const uint8_t*> entries;
  entries.reserve(n);
  for (int64_t number : selection) {
    const uint8_t* entry = SelectedIcoEntry(ctx, doc, number, 413);
    if (!entry) return 0;
    const uint32_t size = ReadU32(entry + 8);
    if (static_cast<int32_t>(size) <= 0) return Fail(ctx, kMsgBadFileFormat, 415);
    if (!IcoEntryImageInside(doc, entry)) return Fail(ctx, kMsgOverflow, 416);
    if (offset + size > UINT32_MAX) return Fail(ctx, kMsgOverflow, 417);
    uint8_t copy[kIcoEntrySize];
    std::memcpy(copy, entry, 12);
    WriteU32(copy + 12, static_cast<uint32_t>(offset));
    if (!out.Write(ctx, copy, kIcoEntrySize, 418)) return 0;
    offset += size;
    entries.push_back(entry);
  }
  // Second pass: the images, unchanged, in the same order.
  for (const uint8_t* entry : entries) {
    if (!out.Write(ctx, doc.base + ReadU32(entry + 12), ReadU32(entry + 8), 419)) return 0;
  }
  return 1;
}

int ValidateIcoStream(ThreadContext& ctx, ByteStream& stream) {
  if (!SeekTo(ctx, stream, 0, 420)) return 0;
  uint8_t header[kIcoHeaderSize];
  if (!ReadExactly(ctx, stream, header, 4, 421, kMsgStreamRead, 421)) return 0;
  if (!IsIcoSignature(ReadU32(header))) return Fail(ctx, kMsgHeaderIntegrity, 422);
  if (!ReadExactly(ctx, stream, header + 4, 2, 423, kMsgStreamRead, 423)) return 0;
  const uint16_t count = ReadU16(header + 4);
  if (count == 0) return Fail(ctx, kMsgBadIconCount, 424);

  uint64_t streamSize = 0;
  if (!stream.Size(ctx, streamSize, 425)) return Fail(ctx, kMsgBadFileFormat, 425);
  for (uint64_t i = 0; i < count; ++i) {
    uint8_t fields[8];
    uint64_t read = 0;
    if (!SeekTo(ctx, stream, kIcoEntrySize * i + 14, 426) ||
        !stream.Read(ctx, fields, sizeof fields, read, 426) || read != sizeof fields) {
      return Fail(ctx, kMsgBadFileFormat, 426);
    }
    const uint64_t size = ReadU32(fields);
    const uint64_t offset = ReadU32(fields + 4);
    if (size == 0 || offset == 0) return Fail(ctx, kMsgBadFileFormat, 427);
    // Seeking past the end succeeds on a stream, so the image must also end
    // inside it: an entry pointing beyond the data is not a sound file.
    if (!SeekTo(ctx, stream, offset, 428) || !SeekTo(ctx, stream, offset + size, 428) ||
        offset + size > streamSize) {
      return Fail(ctx, kMsgBadFileFormat, 429);
    }
  }
  return 1;
}

int BuildImageSetFromIcoStream(ThreadContext& ctx, ByteStream& stream, IconImageSet& set) {
  if (!ValidateIcoStream(ctx, stream)) return 0;
  RegisteredBlock bytes;
  uint64_t size = 0;
  if (!ReadWholeStream(ctx, stream, bytes, size, 430)) return 0;

  IconDocument doc;
  doc.base = bytes.get();
  doc.size = static_cast<int64_t>(size);
  doc.lastByte = doc.base + size - 1;
  const uint64_t n = ReadU16(doc.base + 4);
  uint64_t sum = 0;
  for (uint64_t i = 0; i < n; ++i) {
    const uint64_t at = kIcoHeaderSize + kIcoEntrySize * i;
    if (!doc.ContainsOffset(at, kIcoEntrySize)) return Fail(ctx, kMsgOverflow, 431);
    const uint32_t imageSize = ReadU32(doc.base + at + 8);
    if (imageSize == 0) return Fail(ctx, kMsgNoIcon, 432);
    if (!doc.ContainsOffset(ReadU32(doc.base + at + 12), imageSize)) {
      return Fail(ctx, kMsgOverflow, 433);
    }
    sum += imageSize;
  }
  if (n == 0 || sum == 0) return Fail(ctx, kMsgNoIcon, 432);

  IconImageSet built;
  if (!built.Allocate(ctx, n, sum)) return 0;
  for (uint64_t i = 0; i < n; ++i) {
    const uint8_t* entry = doc.base + kIcoHeaderSize + kIcoEntrySize * i;
    const uint8_t* image = doc.base + ReadU32(entry + 12);
    const uint64_t bitCount = IsPngSignature(image, ReadU32(entry + 8))
                                  ? ImageSetBitCount(ReadU16(entry + 6))
                                  : (ReadU32(entry + 8) >= kDibHeaderBytes
                                         ? ImageSetBitCount(ReadU16(image + 14))
                                         : ImageSetBitCount(ReadU16(entry + 6)));
    if (!built.Add(ctx, image, ReadU32(entry + 8), bitCount, 434)) return 0;
  }
  built.Seal();
  if (built.count() != n) return Fail(ctx, kMsgBadIconCount, 435);
  set = std::move(built);
  return 1;
}

int BuildImageSetFromIcoDocument(ThreadContext& ctx, const IconDocument& doc,
                                 const IconSelection& selection, ByteStream& scratch,
                                 IconImageSet& set) {
  if (!BuildIcoFromIcoDocument(ctx, doc, selection, scratch)) return 0;
  return BuildImageSetFromIcoStream(ctx, scratch, set);
}

int BuildIcoStream(ThreadContext& ctx, const IconImageSet& set, int mode,
                   const PngUnpacker& unpack, const StreamFactory& makeStream, ByteStream& out) {
  if (set.empty()) return Fail(ctx, kMsgNullPointer, 440);
  if (mode != kVistaKeep && mode != kVistaUncompress) return Fail(ctx, kMsgBadParameter, 441);
  const uint64_t n = set.count();
  if (n < 1) return Fail(ctx, kMsgBadIconCount, 442);
  if (!WriteIcoHeader(ctx, out, n, 443)) return 0;

  // The DIB made of each unpacked PNG, kept for the second pass.
  std::vector<UnpackedDib> unpacked(n);
  uint64_t offset = kIcoHeaderSize + kIcoEntrySize * n;
  for (uint64_t i = 0; i < n; ++i) {
    const IconImageRecord r = set.record(i);
    IcoEntryFields fields;
    if (IsPngSignature(r.image, r.size)) {
      if (r.size < 16 || std::memcmp(r.image + 12, "IHDR", 4) != 0) {
        return Fail(ctx, kMsgBadIhdr, 445);
      }
      fields.planes = 1;
      fields.bitCount = static_cast<uint16_t>(r.bitCount);
      fields.imageSize = static_cast<uint32_t>(r.size);
      if (mode == kVistaUncompress) {
        if (!UnpackPngToDib(ctx, r.image, r.size, unpack, makeStream, unpacked[i])) return 0;
        const std::vector<uint8_t>& dib = unpacked[i].dib;
        fields.imageSize = static_cast<uint32_t>(dib.size());
        fields.colorCount = IcoColorCount(ReadU16(dib.data() + 14));
      }
    } else {
      if (r.size < kDibHeaderBytes) return Fail(ctx, kMsgOverflow, 447);
      fields.width = static_cast<uint8_t>(r.width);
      fields.height = static_cast<uint8_t>(r.height);
      fields.planes = ReadU16(r.image + 12);
      fields.bitCount = ReadU16(r.image + 14);
      fields.colorCount = IcoColorCount(fields.bitCount);
      fields.imageSize = static_cast<uint32_t>(r.size);
    }
    if (offset + fields.imageSize > UINT32_MAX) return Fail(ctx, kMsgOverflow, 448);
    fields.imageOffset = static_cast<uint32_t>(offset);
    if (!WriteEntry(ctx, out, fields, 449)) return 0;
    offset += fields.imageSize;
  }

  for (uint64_t i = 0; i < n; ++i) {
    if (!unpacked[i].dib.empty()) {
      // The unpacked DIB goes in with its image-size field cleared.
      std::vector<uint8_t>& dib = unpacked[i].dib;
      WriteU32(dib.data() + kDibSizeImageField, 0);
      if (!out.Write(ctx, dib.data(), dib.size(), 450)) return 0;
    } else {
      const IconImageRecord r = set.record(i);
      if (!out.Write(ctx, r.image, r.size, 451)) return 0;
    }
  }
  return 1;
}

}  // namespace zx
