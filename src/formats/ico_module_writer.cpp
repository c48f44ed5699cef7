#include "formats/ico_module_writer.h"

#include <algorithm>
#include <cstring>
#include <memory>

#include "core/messages.h"
#include "formats/byte_reader.h"
#include "formats/group_image.h"
#include "formats/ico_reader.h"
#include "formats/icon_image_set.h"
#include "imaging/dib_layout.h"
#include "imaging/icon_image_classify.h"

namespace zx {
namespace {


}  // namespace

int LoadGroupDirectory(ThreadContext& ctx, IconModuleSource& source, const PeResourceName& group,
                       const uint8_t*& directory, uint16_t& count) {
  uint64_t size = 0;
  if (!source.GroupDirectory(ctx, group, directory, size)) return 0;
  if (size < kGroupHeaderSize) return Fail(ctx, kMsgOverflow, 470);
  count = ReadU16(directory + 4);
  if (count == 0) return Fail(ctx, kMsgGroupWithoutIcons, 471);
  if (kGroupHeaderSize + kGroupEntrySize * count > size) return Fail(ctx, kMsgOverflow, 472);
  return 1;
}

namespace {

// Entry and image of a PNG unpacked to a DIB: the one-image ICO's entry with
// the running offset, and the DIB that follows it.
int WriteUnpackedIcon(ThreadContext& ctx, const uint8_t* png, uint64_t size,
                      const PngUnpacker& unpack, const StreamFactory& makeStream,
                      ByteStream& out, uint64_t& offset) {
  UnpackedDib unpacked;
  if (!UnpackPngToDib(ctx, png, size, unpack, makeStream, unpacked)) return 0;
  const uint64_t imageSize = unpacked.dib.size();
  if (offset + imageSize > UINT32_MAX) return Fail(ctx, kMsgOverflow, 475);
  WriteU32(unpacked.entry + 12, static_cast<uint32_t>(offset));
  if (!out.Write(ctx, unpacked.entry, kIcoEntrySize, 476)) return 0;
  offset += imageSize;
  return out.Seek(ctx, 0, SeekOrigin::kEnd, nullptr, 477) &&
         out.Write(ctx, unpacked.dib.data(), imageSize, 478);
}

// Entry built from the icon itself, then its bytes appended unchanged.
int WriteIconAsIs(ThreadContext& ctx, const uint8_t* icon, uint64_t size, int groupBitCount,
                  ByteStream& out, uint64_t& offset) {
  uint8_t entry[kIcoEntrySize];
  if (!ModuleIconEntry(ctx, icon, size, groupBitCount, entry)) return 0;
  if (offset + size > UINT32_MAX) return Fail(ctx, kMsgOverflow, 481);
  WriteU32(entry + 12, static_cast<uint32_t>(offset));
  if (!out.Write(ctx, entry, kIcoEntrySize, 482)) return 0;
  offset += size;
  return out.Seek(ctx, 0, SeekOrigin::kEnd, nullptr, 483) && out.Write(ctx, icon, size, 484);
}

}  // namespace

int ModuleIconEntry(ThreadContext& ctx, const uint8_t* icon, uint64_t size, int groupBitCount,
                    uint8_t entry[12]) {
  IcoEntryFields fields;
  fields.planes = 1;
  if (IsPngSignature(icon, size)) {
    fields.bitCount = static_cast<uint16_t>(ImageSetBitCount(groupBitCount));
  } else {
    if (size < kDibHeaderBytes) return Fail(ctx, kMsgOverflow, 480);
    const int32_t width = ReadS32(icon + 4);
    const int32_t height = ReadS32(icon + 8);
    fields.width = (width >= 0 && width <= 255) ? static_cast<uint8_t>(width) : 0;
    fields.height = (height >= 0 && height <= 511) ? static_cast<uint8_t>(height / 2) : 0;
    fields.bitCount = ReadU16(icon + 14);
    fields.colorCount = IcoColorCount(fields.bitCount);
  }
  if (size > UINT32_MAX) return Fail(ctx, kMsgOverflow, 481);
  fields.imageSize = static_cast<uint32_t>(size);
  uint8_t full[kIcoEntrySize];
  EncodeIcoEntry(full, fields);
  std::memcpy(entry, full, 12);
  return 1;
}

bool IsSelected(const IconSelection& selection, int64_t number) {
  return std::find(selection.begin(), selection.end(), number) != selection.end();
}

int BuildIcoFromModule(ThreadContext& ctx, IconModuleSource& source,
                       const IconSelection& selection, int mode, const PngUnpacker& unpack,
                       const StreamFactory& makeStream, ByteStream& out) {
  if (mode != kVistaKeep && mode != kVistaUncompress) return Fail(ctx, kMsgBadParameter, 485);
  if (selection.empty()) return Fail(ctx, kMsgResourceEnum, 486);

  // Counting pass.
  int64_t visited = 0;
  uint64_t selectedSeen = 0;
  uint64_t total = 0;
  int ok = source.ForEachGroup(ctx, [&](const PeResourceName& group) {
    if (!IsSelected(selection, ++visited)) return 1;
    const uint8_t* directory = nullptr;
    uint16_t count = 0;
    if (!LoadGroupDirectory(ctx, source, group, directory, count)) return 0;
    ++selectedSeen;
    total += count;
    return 1;
  });
  if (!ok) return 0;
  if (selectedSeen != selection.size()) return Fail(ctx, kMsgResourceEnum, 487);
  if (total == 0) return Fail(ctx, kMsgIconCountControl, 488);

  uint8_t header[kIcoHeaderSize];
  EncodeIcoHeader(header, total);
  if (!SeekTo(ctx, out, 0, 489)) return 0;
  if (!out.Write(ctx, header, 2, 489)) return Fail(ctx, kMsgIcoHeaderWrite, 489);
  if (!out.Write(ctx, header + 2, 4, 490)) return 0;
  uint64_t offset = kIcoHeaderSize + kIcoEntrySize * total;
  if (!out.SetSize(ctx, offset, 491)) return 0;

  // Writing pass.
  visited = 0;
  uint64_t written = 0;
  ok = source.ForEachGroup(ctx, [&](const PeResourceName& group) {
    if (!IsSelected(selection, ++visited)) return 1;
    const uint8_t* directory = nullptr;
    uint16_t count = 0;
    if (!LoadGroupDirectory(ctx, source, group, directory, count)) return 0;
    for (uint16_t j = 0; j < count; ++j) {
      // More icons than the first pass counted would overwrite the images.
      if (written >= total) return Fail(ctx, kMsgGroupWithoutIcons, 492);
      const uint8_t* groupEntry = directory + kGroupHeaderSize + kGroupEntrySize * j;
      if (!SeekTo(ctx, out, kIcoHeaderSize + kIcoEntrySize * written, 493)) return 0;
      const uint8_t* icon = nullptr;
      uint64_t size = 0;
      if (!source.IconData(ctx, ReadU16(groupEntry + 12), icon, size)) return 0;
      const int done =
          (mode == kVistaUncompress && IsPngSignature(icon, size))
              ? WriteUnpackedIcon(ctx, icon, size, unpack, makeStream, out, offset)
              : WriteIconAsIs(ctx, icon, size, ReadU16(groupEntry + 6), out, offset);
      if (!done) return 0;
      ++written;
    }
    return 1;
  });
  if (!ok) return 0;
  if (written != total) return Fail(ctx, kMsgGroupWithoutIcons, 494);
  return ValidateIcoStream(ctx, out);
}

}  // namespace zx

namespace zx {

int BuildImageSetFromModuleGroup(ThreadContext& ctx, IconModuleSource& source,
                                 const PeResourceName& group, const std::vector<int>& iconIds,
                                 IconImageSet& set) {
  if (iconIds.empty()) return Fail(ctx, kMsgBadIconCount, 640);
  bool found = false;
  const int ok = source.ForEachGroup(ctx, [&](const PeResourceName& name) {
    found = found || (name.IsString() ? name.text == group.text
                                      : !group.IsString() && name.id == group.id);
    return 1;
  });
  if (!ok) return 0;
  if (!found) return Fail(ctx, kMsgResourceFind, 641);

  const uint8_t* directory = nullptr;
  uint16_t count = 0;
  if (!LoadGroupDirectory(ctx, source, group, directory, count)) return 0;
  // Entries in directory order, each selected one with its bytes and depth.
  struct Picked {
    const uint8_t* bytes;
    uint64_t size;
    int bitCount;
  };
  std::vector<Picked> picked;
  uint64_t total = 0;
  for (uint16_t j = 0; j < count; ++j) {
    const uint8_t* entry = directory + kGroupHeaderSize + kGroupEntrySize * j;
    const int id = ReadU16(entry + 12);
    if (std::find(iconIds.begin(), iconIds.end(), id) == iconIds.end()) continue;
    Picked p{nullptr, 0, ReadU16(entry + 6)};
    if (!source.IconData(ctx, id, p.bytes, p.size)) return 0;
    picked.push_back(p);
    total += p.size;
  }
  if (picked.size() != iconIds.size()) return Fail(ctx, kMsgBadIconCount, 642);
  IconImageSet built;
  if (!built.Allocate(ctx, picked.size(), total)) return 0;
  for (const Picked& p : picked) {
    if (!built.Add(ctx, p.bytes, p.size, ImageSetBitCount(p.bitCount), 643)) return 0;
  }
  built.Seal();
  set = std::move(built);
  return 1;
}

}  // namespace zx
