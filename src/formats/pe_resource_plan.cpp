#include "formats/pe_resource_plan.h"

#include <algorithm>
#include <cstring>

#include "core/messages.h"
#include "formats/byte_reader.h"
#include "formats/group_image.h"
#include "formats/icl_name_table.h"
#include "formats/ico_module_writer.h"
#include "formats/ico_reader.h"
#include "imaging/icon_image_classify.h"

namespace zx {
namespace {


std::vector<uint8_t> GroupHeader(uint64_t count) {
  std::vector<uint8_t> directory(kGroupHeaderSize, 0);
  WriteU16(directory.data() + 2, 1);
  WriteU16(directory.data() + 4, static_cast<uint16_t>(count));
  return directory;
}

void AppendEntry(std::vector<uint8_t>& directory, const uint8_t* twelve, int iconId) {
  directory.insert(directory.end(), twelve, twelve + 12);
  uint8_t id[2];
  WriteU16(id, static_cast<uint16_t>(iconId));
  directory.insert(directory.end(), id, id + 2);
}

PeResourceName Numbered(int id) {
  PeResourceName ref;
  ref.id = id;
  return ref;
}

}  // namespace

int CheckPeLayout(ThreadContext& ctx, int layout, int kind) {
  if (kind != kPeTargetIcl && kind != kPeTargetDll) return Fail(ctx, kMsgBadParameter, 540);
  const bool iclOnly = layout == kPeOneGroupIcl || layout == kPeGroupPerIconIcl;
  if (layout != kPeOneGroup && layout != kPeGroupPerIcon && !iclOnly) {
    return Fail(ctx, kMsgBadParameter, 541);
  }
  if (iclOnly && kind != kPeTargetIcl) return Fail(ctx, kMsgBadParameter, 542);
  return 1;
}

int PlanPeFromIcoStream(ThreadContext& ctx, ByteStream& stream, int layout, PeResourcePlan& plan) {
  plan = PeResourcePlan{};
  uint8_t header[kIcoHeaderSize];
  if (!SeekTo(ctx, stream, 0, 543) ||
      !ReadExactly(ctx, stream, header, 4, 544, kMsgOverflow, 544)) {
    return 0;
  }
  const uint32_t signature = ReadU32(header);
  if (signature != 0x00010000 && signature != 0x000E0000) {
    return Fail(ctx, kMsgHeaderIntegrity, 545);
  }
  if (!ReadExactly(ctx, stream, header + 4, 2, 546, kMsgOverflow, 546)) return 0;
  const uint16_t n = ReadU16(header + 4);
  if (n < 1) return Fail(ctx, kMsgBadIconCount, 547);

  std::vector<uint8_t> directory(kIcoEntrySize * n);
  if (!ReadExactly(ctx, stream, directory.data(), directory.size(), 548, kMsgOverflow, 548)) {
    return 0;
  }
  const bool oneGroup = layout == kPeOneGroup || layout == kPeOneGroupIcl;
  if (oneGroup) {
    PeResource group{kPeTypeGroup, Numbered(1), GroupHeader(n)};
    for (uint16_t i = 0; i < n; ++i) AppendEntry(group.bytes, &directory[kIcoEntrySize * i], i + 1);
    plan.resources.push_back(std::move(group));
  } else {
    for (uint16_t i = 0; i < n; ++i) {
      PeResource group{kPeTypeGroup, Numbered(i + 1), GroupHeader(1)};
      AppendEntry(group.bytes, &directory[kIcoEntrySize * i], i + 1);
      plan.resources.push_back(std::move(group));
    }
  }
  for (uint16_t i = 0; i < n; ++i) {
    const uint32_t size = ReadU32(&directory[kIcoEntrySize * i + 8]);
    const uint32_t offset = ReadU32(&directory[kIcoEntrySize * i + 12]);
    if (static_cast<int32_t>(size) <= 0) return Fail(ctx, kMsgBadIconCount, 549);
    PeResource icon{kPeTypeIcon, Numbered(i + 1), std::vector<uint8_t>(size)};
    if (!SeekTo(ctx, stream, offset, 550) ||
        !ReadExactly(ctx, stream, icon.bytes.data(), size, 551, kMsgOverflow, 551)) {
      return 0;
    }
    plan.resources.push_back(std::move(icon));
  }
  return 1;
}

int PlanPeCopy(ThreadContext& ctx, IconModuleSource& source, const IconDocument& doc,
               const IconSelection& selection, int mode, PeCopyNaming naming,
               const PngUnpacker& unpack, const StreamFactory& makeStream, PeResourcePlan& plan) {
  plan = PeResourcePlan{};
  if (mode != kVistaKeep && mode != kVistaUncompress) return Fail(ctx, kMsgBadParameter, 555);
  if (selection.empty()) return Fail(ctx, kMsgResourceEnum, 556);

  int64_t visited = 0;
  uint64_t groupsSeen = 0;
  uint64_t iconsWritten = 0;
  int nextIconId = 1;
  const int ok = source.ForEachGroup(ctx, [&](const PeResourceName& ref) {
    if (!IsSelected(selection, ++visited)) return 1;
    const uint8_t* directory = nullptr;
    uint16_t count = 0;
    if (!LoadGroupDirectory(ctx, source, ref, directory, count)) return 0;
    ++groupsSeen;

    PeResource group{kPeTypeGroup, ref, GroupHeader(count)};
    if (naming == PeCopyNaming::kRenumber && !ref.IsString()) {
      group.name = Numbered(static_cast<int>(groupsSeen));
    }
    for (uint16_t j = 0; j < count; ++j) {
      const uint8_t* entry = directory + kGroupHeaderSize + kGroupEntrySize * j;
      const int sourceId = ReadU16(entry + 12);
      const uint8_t* icon = nullptr;
      uint64_t iconSize = 0;
      if (!source.IconData(ctx, sourceId, icon, iconSize)) return 0;
      if (iconSize < 14) return Fail(ctx, kMsgOverflow, 560);
      const int id = naming == PeCopyNaming::kRenumber ? nextIconId++ : sourceId;

      PeResource out{kPeTypeIcon, Numbered(id), {}};
      uint8_t twelve[12];
      if (mode == kVistaUncompress && IsPngSignature(icon, iconSize)) {
        if (iconSize < 16 || std::memcmp(icon + 12, "IHDR", 4) != 0) {
          return Fail(ctx, kMsgBadIhdr, 561);
        }
        UnpackedDib unpacked;
        if (!UnpackPngToDib(ctx, icon, iconSize, unpack, makeStream, unpacked)) return 0;
        std::memcpy(twelve, unpacked.entry, 12);
        out.bytes = std::move(unpacked.dib);
      } else {
        if (naming == PeCopyNaming::kRenumber) {
          std::memcpy(twelve, entry, 12);
        } else if (!ModuleIconEntry(ctx, icon, iconSize, ReadU16(entry + 6), twelve)) {
          return 0;
        }
        out.bytes.assign(icon, icon + iconSize);
      }
      AppendEntry(group.bytes, twelve, id);
      plan.resources.push_back(std::move(out));
      ++iconsWritten;
    }
    plan.resources.push_back(std::move(group));
    return 1;
  });
  if (!ok) return 0;
  if (groupsSeen != selection.size()) return Fail(ctx, kMsgResourceEnum, 562);
  if (iconsWritten == 0) return Fail(ctx, kMsgIconCountControl, 563);

  if (doc.namedGroups == 1 && !doc.groupNames.empty()) {
    plan.nameTable = SelectIclNameEntries(doc.groupNames, selection, visited);
    plan.nameTable.push_back(0);
  }
  return 1;
}

}  // namespace zx
