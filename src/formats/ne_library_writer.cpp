#include "formats/ne_library_writer.h"

#include <algorithm>
#include <cstring>

#include "core/messages.h"
#include "formats/byte_reader.h"
#include "formats/group_image.h"
#include "formats/icl_name_table.h"
#include "formats/ico_module_writer.h"
#include "formats/ico_reader.h"
#include "formats/icon_image_set.h"
#include "imaging/dib_layout.h"
#include "imaging/icon_image_classify.h"

namespace zx {
namespace {

constexpr uint64_t kTypeRecordBytes = 8;
constexpr uint64_t kResourceRecordBytes = 12;
// Alignment shift, two type records and the closing 0.
constexpr uint64_t kTableFixedBytes = 2 + 2 * kTypeRecordBytes + 2;
constexpr uint8_t kEmptyNames[6] = {3, 'I', 'C', 'L', 0, 0};

constexpr std::array<uint8_t, kNeLibraryHeaderBytes> MakeHeader() {
  std::array<uint8_t, kNeLibraryHeaderBytes> h{};
  h[0] = 'M';
  h[1] = 'Z';
  h[0x3C] = 0x40;  // the NE header follows at once
  h[0x40] = 'N';
  h[0x41] = 'E';
  h[0x40 + 0x24] = 0x40;  // resource table at 0x80
  h[0x40 + 0x36] = 2;     // Windows
  h[0x40 + 0x3F] = 0x03;  // expects Windows 3.0
  return h;
}

uint64_t DirectoryBytes(const NeLibraryGroup& group) {
  return kGroupHeaderSize + kGroupEntrySize * group.icons.size();
}

uint64_t RoundUp(uint64_t value, int shift) {
  const uint64_t unit = uint64_t{1} << shift;
  return (value + unit - 1) & ~(unit - 1);
}

// Adds an icon, unpacking a PNG to a DIB when asked. `entry` is the 12 bytes
// the group directory gets for a kept image.
int AddIcon(ThreadContext& ctx, NeLibraryPlan& plan, const uint8_t* bytes, uint64_t size,
            const uint8_t* entry, int mode, const PngUnpacker& unpack,
            const StreamFactory& makeStream) {
  NeLibraryIcon icon;
  if (mode == kVistaUncompress && IsPngSignature(bytes, size)) {
    if (size < 16 || std::memcmp(bytes + 12, "IHDR", 4) != 0) return Fail(ctx, kMsgBadIhdr, 500);
    UnpackedDib unpacked;
    if (!UnpackPngToDib(ctx, bytes, size, unpack, makeStream, unpacked)) return 0;
    std::copy(unpacked.entry, unpacked.entry + 12, icon.entry.begin());
    plan.unpackedImages.push_back(std::move(unpacked.dib));
    icon.bytes = plan.unpackedImages.back().data();
    icon.size = plan.unpackedImages.back().size();
    icon.checkedSize = icon.size - kDibHeaderBytes;
  } else {
    std::copy(entry, entry + 12, icon.entry.begin());
    icon.bytes = bytes;
    icon.size = size;
    icon.checkedSize = size;
  }
  plan.icons.push_back(icon);
  return 1;
}

int WriteAt(ThreadContext& ctx, ByteStream& out, uint64_t target, const uint8_t* bytes,
            uint64_t size, int site) {
  uint64_t position = 0;
  if (!out.Seek(ctx, 0, SeekOrigin::kCurrent, &position, site)) return 0;
  if (position > target) return Fail(ctx, kMsgNeStreamLength, site);
  if (position < target) {
    if (!out.SetSize(ctx, target, site) || !out.Seek(ctx, 0, SeekOrigin::kEnd, nullptr, site)) {
      return 0;
    }
  }
  return out.Write(ctx, bytes, size, site);
}

void PutResourceRecord(std::vector<uint8_t>& table, uint16_t offset, uint16_t length,
                       uint64_t k) {
  uint8_t record[kResourceRecordBytes] = {};
  WriteU16(record, offset);
  WriteU16(record + 2, length);
  WriteU16(record + 6, static_cast<uint16_t>(0x8000 + k));
  table.insert(table.end(), record, record + kResourceRecordBytes);
}

void PutTypeRecord(std::vector<uint8_t>& table, uint16_t type, uint64_t count) {
  uint8_t record[kTypeRecordBytes] = {};
  WriteU16(record, type);
  WriteU16(record + 2, static_cast<uint16_t>(count));
  table.insert(table.end(), record, record + kTypeRecordBytes);
}

}  // namespace

const std::array<uint8_t, kNeLibraryHeaderBytes> kNeLibraryHeader = MakeHeader();

int PlanNeLibraryFromIco(ThreadContext& ctx, const IconDocument& doc,
                         const IconSelection& selection, int mode, const PngUnpacker& unpack,
                         const StreamFactory& makeStream, NeLibraryPlan& plan) {
  plan = NeLibraryPlan{};
  if (!doc.base || doc.size <= 0) return Fail(ctx, kMsgNullPointer, 501);
  if (mode != kVistaKeep && mode != kVistaUncompress) return Fail(ctx, kMsgBadParameter, 502);
  if (selection.empty()) return Fail(ctx, kMsgIconCountControl, 506);
  for (int64_t number : selection) {
    const uint8_t* source = SelectedIcoEntry(ctx, doc, number, 503);
    if (!source) return 0;
    if (!IcoEntryImageInside(doc, source)) return Fail(ctx, kMsgOverflow, 505);
    const uint32_t size = ReadU32(source + 8);
    const uint32_t offset = ReadU32(source + 12);
    // The directory entry as the library keeps it: depth normalised and the
    // colour count derived from it.
    uint8_t entry[12];
    std::memcpy(entry, source, 12);
    const uint16_t bitCount = static_cast<uint16_t>(ImageSetBitCount(ReadU16(source + 6)));
    WriteU16(entry + 6, bitCount);
    entry[2] = bitCount < 8 ? static_cast<uint8_t>(1u << bitCount) : 0;

    NeLibraryGroup group;
    group.header = {0, 0, 1, 0, 1, 0};
    group.icons.push_back(plan.icons.size());
    if (!AddIcon(ctx, plan, doc.base + offset, size, entry, mode, unpack, makeStream)) return 0;
    plan.groups.push_back(std::move(group));
  }
  plan.names.assign(kEmptyNames, kEmptyNames + sizeof kEmptyNames);
  return 1;
}

int PlanNeLibraryFromModule(ThreadContext& ctx, IconModuleSource& source,
                            const IconDocument& doc, const IconSelection& selection, int mode,
                            const PngUnpacker& unpack, const StreamFactory& makeStream,
                            NeLibraryPlan& plan) {
  plan = NeLibraryPlan{};
  if (mode != kVistaKeep && mode != kVistaUncompress) return Fail(ctx, kMsgBadParameter, 510);
  int64_t visited = 0;
  const int ok = source.ForEachGroup(ctx, [&](const PeResourceName& ref) {
    if (!IsSelected(selection, ++visited)) return 1;
    const uint8_t* directory = nullptr;
    uint16_t count = 0;
    if (!LoadGroupDirectory(ctx, source, ref, directory, count)) return 0;
    NeLibraryGroup group;
    std::copy(directory, directory + kGroupHeaderSize, group.header.begin());
    for (uint16_t j = 0; j < count; ++j) {
      const uint8_t* entry = directory + kGroupHeaderSize + kGroupEntrySize * j;
      const uint8_t* icon = nullptr;
      uint64_t iconSize = 0;
      if (!source.IconData(ctx, ReadU16(entry + 12), icon, iconSize)) return 0;
      group.icons.push_back(plan.icons.size());
      if (!AddIcon(ctx, plan, icon, iconSize, entry, mode, unpack, makeStream)) return 0;
    }
    plan.groups.push_back(std::move(group));
    return 1;
  });
  if (!ok) return 0;
  if (plan.groups.size() != selection.size()) return Fail(ctx, kMsgResourceEnum, 513);
  if (plan.icons.empty()) return Fail(ctx, kMsgIconCountControl, 514);

  if (doc.namedGroups == 1 && !doc.groupNames.empty()) {
    plan.names = SelectIclNameEntries(doc.groupNames, selection, visited);
    plan.names.push_back(0);
    plan.names.push_back(0);
  } else {
    plan.names.assign(kEmptyNames, kEmptyNames + sizeof kEmptyNames);
  }
  return 1;
}

int NeLibraryShiftFor(uint64_t total) {
  for (int shift = 0; shift <= 10; ++shift) {
    const uint64_t unit = uint64_t{1} << shift;
    if (total <= 0xFFFF * unit + (unit - 1)) return shift;
  }
  return -1;
}

int LayOutNeLibrary(ThreadContext& ctx, const NeLibraryPlan& plan, NeLibraryLayout& layout) {
  const uint64_t groups = plan.groups.size();
  const uint64_t icons = plan.icons.size();
  if (icons == 0 || groups == 0) return Fail(ctx, kMsgIconCountControl, 520);
  // Ids are 0x8000 + k in 16 bits: more would wrap into string names.
  if (groups > kNeLibraryMaxResources || icons > kNeLibraryMaxResources) {
    return Fail(ctx, kMsgIconCountControl, 521);
  }
  const uint64_t start = kNeLibraryHeaderBytes + kTableFixedBytes +
                         kResourceRecordBytes * (groups + icons) + plan.names.size();
  uint64_t total = start;
  for (const NeLibraryGroup& group : plan.groups) total += DirectoryBytes(group);
  if (total > kNeLibraryMaxBytes) return Fail(ctx, kMsgIclTooLarge, 522);
  for (const NeLibraryIcon& icon : plan.icons) {
    total += icon.checkedSize;
    if (total > kNeLibraryMaxBytes) return Fail(ctx, kMsgIclTooLarge, 523);
  }
  int shift = NeLibraryShiftFor(total);
  if (shift < 0) return Fail(ctx, kMsgIclTooLarge, 524);

  for (;; ++shift) {
    if (shift > 10) return Fail(ctx, kMsgIclTooLarge, 525);
    layout = NeLibraryLayout{};
    layout.shift = shift;
    layout.namesOffset = start - plan.names.size();
    uint64_t position = start;
    bool fits = true;
    // Places one resource at the next unit boundary; false when its offset
    // or its length no longer fits in 16 bits.
    auto place = [&](uint64_t size, std::vector<uint16_t>& offsets,
                     std::vector<uint16_t>& lengths) {
      const uint64_t at = RoundUp(position, shift);
      const uint64_t units = RoundUp(size, shift) >> shift;
      if ((at >> shift) > 0xFFFF || units > 0xFFFF) return false;
      offsets.push_back(static_cast<uint16_t>(at >> shift));
      lengths.push_back(static_cast<uint16_t>(units));
      position = at + (units << shift);
      return true;
    };
    for (const NeLibraryGroup& group : plan.groups) {
      if (fits) fits = place(DirectoryBytes(group), layout.groupOffsets, layout.groupLengths);
    }
    for (const NeLibraryIcon& icon : plan.icons) {
      if (fits) fits = place(icon.size, layout.iconOffsets, layout.iconLengths);
    }
    if (fits) return 1;
  }
}

int WriteNeLibrary(ThreadContext& ctx, const NeLibraryPlan& plan, ByteStream& out) {
  NeLibraryLayout layout;
  if (!LayOutNeLibrary(ctx, plan, layout)) return 0;

  std::vector<uint8_t> table;
  table.push_back(static_cast<uint8_t>(layout.shift));
  table.push_back(0);
  PutTypeRecord(table, 0x800E, plan.groups.size());
  for (size_t k = 0; k < plan.groups.size(); ++k) {
    PutResourceRecord(table, layout.groupOffsets[k], layout.groupLengths[k], k + 1);
  }
  PutTypeRecord(table, 0x8003, plan.icons.size());
  for (size_t k = 0; k < plan.icons.size(); ++k) {
    PutResourceRecord(table, layout.iconOffsets[k], layout.iconLengths[k], k + 1);
  }
  table.push_back(0);
  table.push_back(0);

  if (!SeekTo(ctx, out, 0, 530) ||
      !out.Write(ctx, kNeLibraryHeader.data(), kNeLibraryHeaderBytes, 531) ||
      !out.Write(ctx, table.data(), table.size(), 532)) {
    return 0;
  }
  // The resident-name table field points at the names area, relative to the
  // NE header.
  uint64_t names = 0;
  if (!out.Seek(ctx, 0, SeekOrigin::kCurrent, &names, 533)) return 0;
  uint8_t field[2];
  WriteU16(field, static_cast<uint16_t>(names - 0x40));
  if (!SeekTo(ctx, out, kNeNamesOffsetField, 534) || !out.Write(ctx, field, 2, 534) ||
      !SeekTo(ctx, out, names, 535) || !out.Write(ctx, plan.names.data(), plan.names.size(), 535)) {
    return 0;
  }

  // Group directories: their header, then each entry with its new icon id.
  for (size_t k = 0; k < plan.groups.size(); ++k) {
    const NeLibraryGroup& group = plan.groups[k];
    std::vector<uint8_t> directory(group.header.begin(), group.header.end());
    for (size_t index : group.icons) {
      const NeLibraryIcon& icon = plan.icons[index];
      directory.insert(directory.end(), icon.entry.begin(), icon.entry.end());
      uint8_t id[2];
      WriteU16(id, static_cast<uint16_t>(index + 1));
      directory.insert(directory.end(), id, id + 2);
    }
    const uint64_t at = uint64_t{layout.groupOffsets[k]} << layout.shift;
    if (!WriteAt(ctx, out, at, directory.data(), directory.size(), 536)) return 0;
  }
  for (size_t k = 0; k < plan.icons.size(); ++k) {
    const uint64_t at = uint64_t{layout.iconOffsets[k]} << layout.shift;
    if (!WriteAt(ctx, out, at, plan.icons[k].bytes, plan.icons[k].size, 537)) return 0;
  }
  // The table gives every resource a whole number of units; the last one is
  // padded to its full length so that readers taking it whole (other
  // resource tools do) find every byte inside the file.
  const size_t last = plan.icons.size() - 1;
  const uint64_t end = (uint64_t{layout.iconOffsets[last]} + layout.iconLengths[last])
                       << layout.shift;
  return out.SetSize(ctx, end, 538);
}

std::vector<uint8_t> EmptyNeLibrary() {
  std::vector<uint8_t> bytes(kNeLibraryHeader.begin(), kNeLibraryHeader.end());
  // The stored block's resident-name table field, kept as it always was.
  WriteU16(bytes.data() + kNeNamesOffsetField, 0x00BE);
  std::vector<uint8_t> table;
  table.push_back(0);  // shift 0
  table.push_back(0);
  PutTypeRecord(table, 0x800E, 0);
  PutTypeRecord(table, 0x8003, 0);
  table.insert(table.end(), {0, 0, 0, 0});
  bytes.insert(bytes.end(), table.begin(), table.end());
  bytes.insert(bytes.end(), kEmptyNames, kEmptyNames + sizeof kEmptyNames);
  return bytes;
}

void DropNeLibraryNames(NeLibraryPlan& plan) {
  plan.names.assign(kEmptyNames, kEmptyNames + sizeof kEmptyNames);
}

int DropNeLibraryIcons(ThreadContext& ctx, NeLibraryPlan& plan, size_t group,
                       const IconSelection& entries) {
  if (group >= plan.groups.size()) return Fail(ctx, kMsgBadIconCount, 539);
  std::vector<size_t>& icons = plan.groups[group].icons;
  std::vector<bool> dropped(plan.icons.size(), false);
  std::vector<size_t> kept;
  uint64_t selected = 0;
  for (size_t e = 0; e < icons.size(); ++e) {
    if (IsSelected(entries, static_cast<int64_t>(e + 1))) {
      dropped[icons[e]] = true;
      ++selected;
    } else {
      kept.push_back(icons[e]);
    }
  }
  if (entries.empty() || selected != entries.size()) return Fail(ctx, kMsgBadIconCount, 539);
  icons = std::move(kept);
  WriteU16(plan.groups[group].header.data() + 4, static_cast<uint16_t>(icons.size()));

  // Each group holds copies of its own icons, so a dropped icon belongs to
  // no other group; the rest are renumbered in order.
  std::vector<size_t> renumbered(plan.icons.size());
  std::vector<NeLibraryIcon> remaining;
  for (size_t i = 0; i < plan.icons.size(); ++i) {
    renumbered[i] = remaining.size();
    if (!dropped[i]) remaining.push_back(plan.icons[i]);
  }
  plan.icons = std::move(remaining);
  for (NeLibraryGroup& each : plan.groups) {
    for (size_t& index : each.icons) index = renumbered[index];
  }
  return 1;
}

}  // namespace zx
