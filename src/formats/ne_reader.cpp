#include "formats/ne_reader.h"

#include <algorithm>
#include <cstring>
#include <string>

#include "core/messages.h"
#include "formats/byte_reader.h"
#include "formats/icl_names.h"
#include "imaging/icon_image_classify.h"
#include "imaging/png_length.h"

namespace zx {
namespace {

constexpr uint16_t kMzSignature = 0x5A4D;
constexpr uint16_t kNumericId = 0x8000;
constexpr uint16_t kIdMask = 0x7FFF;
constexpr uint64_t kHeaderOffsetField = 60;
// The MZ header must reach at least 64 bytes past the first byte (65 bytes).
constexpr uint64_t kMinMzFileLast = 64;
constexpr uint64_t kNeHeaderSize = 64;
constexpr uint64_t kResourceTableField = 36;
constexpr uint64_t kResourceIdField = 6;
constexpr uint64_t kDibHeaderSize = 40;
constexpr uint64_t kImageHeadSize = 24;  // enough to tell PNG from DIB and read IHDR

// Number of bytes between base and lastByte; 0 when the document holds no buffer.
uint64_t BufferLength(const IconDocument& doc) {
  if (!doc.base || !doc.lastByte) return 0;
  const auto first = reinterpret_cast<uintptr_t>(doc.base);
  const auto last = reinterpret_cast<uintptr_t>(doc.lastByte);
  return last < first ? 0 : static_cast<uint64_t>(last - first) + 1;
}

// True when `length` bytes from `offset` lie in the buffer (64-bit, no wrap).
bool Inside(const IconDocument& doc, uint64_t offset, uint64_t length) {
  const uint64_t total = BufferLength(doc);
  return offset < total && length <= total - offset;
}

// The offset of an address handed in by a caller, when it lies in the buffer.
bool OffsetOf(const IconDocument& doc, const uint8_t* address, uint64_t& offset) {
  const uint64_t total = BufferLength(doc);
  if (!address || total == 0) return false;
  const auto first = reinterpret_cast<uintptr_t>(doc.base);
  const auto at = reinterpret_cast<uintptr_t>(address);
  if (at < first || at - first >= total) return false;
  offset = at - first;
  return true;
}

bool ValidShift(const IconDocument& doc) {
  return doc.alignShift >= 0 && doc.alignShift <= kNeMaxAlignShift;
}

uint64_t ShiftedUnits(const IconDocument& doc, uint16_t units) {
  return static_cast<uint64_t>(units) << doc.alignShift;
}

void ReleaseBuffer(ThreadContext& ctx, IconDocument& doc) {
  ctx.blocks.Release(doc.base);
  doc.base = nullptr;
  doc.lastByte = nullptr;
  doc.firstTypeEntry = nullptr;
}

// Where the walk of the type entries stopped: at the closing 0 id (offset of
// that id), or not (an id without the high bit, a zero count, the end of the
// buffer). Also gives the first group type entry met.
struct TypeWalk {
  bool closed = false;
  uint64_t end = 0;
  bool groupSeen = false;
  uint64_t group = 0;
  uint16_t groupCount = 0;
};

TypeWalk WalkTypeEntries(const IconDocument& doc, uint64_t at) {
  TypeWalk walk;
  while (Inside(doc, at, 2)) {
    const uint16_t typeId = ReadU16(doc.base + at);
    if (typeId == 0) {
      walk.closed = true;
      walk.end = at;
      return walk;
    }
    if (!(typeId & kNumericId) || !Inside(doc, at, 4)) return walk;
    const uint16_t count = ReadU16(doc.base + at + 2);
    if (count == 0) return walk;
    if ((typeId & kIdMask) == kNeTypeGroup && !walk.groupSeen) {
      walk.groupSeen = true;
      walk.group = at;
      walk.groupCount = count;
    }
    at += kNeTypeEntryHeader + uint64_t{kNeResourceEntrySize} * count;
  }
  return walk;
}

// A failure as (message, site); message 0 keeps the error the callee set.
struct Failure {
  int message;
  int site;
};

int FailAs(ThreadContext& ctx, Failure failure) {
  if (failure.message == 0) return 0;
  return Fail(ctx, failure.message, failure.site);
}

// The sites each group reader reports its failures with.
struct GroupReadSites {
  Failure groupNotFound, groupData, groupLength;
  Failure header, count, entries;
  Failure iconNotFound, iconData, imageHead, pngSize, dibHeader, length;
  uint64_t imageHeadSize;
  bool checksPngSize;
  bool marksPng;
};

const GroupReadSites kThumbnailSites = {
    {0, 0}, {0, 0}, {0, 0},
    {kMsgOverflow, 138}, {kMsgBadIconCount, 26}, {kMsgOverflow, 139},
    {kMsgResourceFind, 43}, {kMsgResourceAddress, 38}, {kMsgOverflow, 140},
    {kMsgImageSize, 18}, {kMsgOverflow, 141}, {kMsgResourceSize, 20},
    kImageHeadSize, true, true};

const GroupReadSites kImagePaneSites = {
    {kMsgNullPointer, 155}, {kMsgNullPointer, 156}, {kMsgBadFileFormat, 66},
    {kMsgOverflow, 134}, {kMsgBadFileFormat, 67}, {kMsgOverflow, 134},
    {kMsgResourceFind, 38}, {kMsgResourceAddress, 33}, {kMsgOverflow, 135},
    {0, 0}, {kMsgOverflow, 135}, {kMsgResourceSize, 15},
    kDibHeaderSize, false, false};

int ReadNeImage(ThreadContext& ctx, IconDocument& doc, const uint8_t* directoryEntry,
                const GroupReadSites& sites, NeImage& image) {
  image.directoryEntry = directoryEntry;
  image.iconId = ReadU16(directoryEntry + kGroupEntryIconId);
  const uint8_t* resource = FindNeResource(ctx, doc, image.iconId, kNeTypeIcon);
  if (!resource) return FailAs(ctx, sites.iconNotFound);
  const uint8_t* data = NeResourceData(ctx, doc, resource);
  if (!data) return FailAs(ctx, sites.iconData);
  uint64_t at = 0;
  if (!OffsetOf(doc, data, at) || !Inside(doc, at, sites.imageHeadSize)) {
    return FailAs(ctx, sites.imageHead);
  }
  image.data = data;
  if (!IsPngSignature(data, 8) && !Inside(doc, at, kDibHeaderSize)) return FailAs(ctx, sites.dibHeader);
  ReadGroupImageFields(data, directoryEntry, image);
  if (image.png) {
    if (sites.checksPngSize && (image.width == 0 || image.height == 0)) {
      return FailAs(ctx, sites.pngSize);
    }
    if (sites.marksPng) doc.hasPng = 1;
  }
  image.length = NeResourceLength(ctx, doc, resource);
  if (image.length == 0) return FailAs(ctx, sites.length);
  return 1;
}

}  // namespace

uint8_t* FindNeType(ThreadContext& ctx, const IconDocument& doc, const uint8_t* start, int type) {
  uint64_t at = 0;
  if (!OffsetOf(doc, start, at)) {
    Fail(ctx, kMsgOverflow, 78);
    return nullptr;
  }
  while (Inside(doc, at, 4)) {
    const uint16_t typeId = ReadU16(doc.base + at);
    if (!(typeId & kNumericId)) {
      Fail(ctx, kMsgResourceFind, 18);
      return nullptr;
    }
    if ((typeId & kIdMask) == type) return doc.base + at;
    const uint16_t count = ReadU16(doc.base + at + 2);
    if (count == 0) {
      Fail(ctx, kMsgBadFileFormat, 42);
      return nullptr;
    }
    at += kNeTypeEntryHeader + uint64_t{kNeResourceEntrySize} * count;
  }
  Fail(ctx, kMsgOverflow, 78);
  return nullptr;
}

uint8_t* FindNeResource(ThreadContext& ctx, IconDocument& doc, int id, int type) {
  if (!doc.base || !doc.lastByte) {
    Fail(ctx, kMsgNullPointer, 78);
    return nullptr;
  }
  uint64_t first = 0;
  if (!OffsetOf(doc, doc.firstTypeEntry, first)) {
    Fail(ctx, kMsgOverflow, 81);
    return nullptr;
  }
  if (type != kNeTypeIcon && type != kNeTypeGroup) {
    Fail(ctx, kMsgIdNotFound, 1);
    return nullptr;
  }
  const uint8_t* typeEntry = FindNeType(ctx, doc, doc.firstTypeEntry, type);
  if (!typeEntry) {
    Fail(ctx, kMsgNoIconResource, 16);
    return nullptr;
  }
  const uint64_t at = static_cast<uint64_t>(typeEntry - doc.base);
  struct {
    uint64_t offset, length;
    int site;
  } const kParts[] = {{at, 2, 82}, {at + 2, 2, 83}, {at + kNeTypeEntryHeader, kNeResourceEntrySize, 84}};
  for (const auto& part : kParts) {
    if (!Inside(doc, part.offset, part.length)) {
      Fail(ctx, kMsgOverflow, part.site);
      return nullptr;
    }
  }
  const uint16_t count = ReadU16(doc.base + at + 2);
  if (count == 0) {
    Fail(ctx, kMsgIclBadIconCount, 12);
    return nullptr;
  }
  if (!Inside(doc, at + kNeTypeEntryHeader, uint64_t{kNeResourceEntrySize} * count)) {
    Fail(ctx, kMsgOverflow, 85);
    return nullptr;
  }
  const uint16_t wanted = static_cast<uint16_t>(id & kIdMask);
  for (uint16_t i = 0; i < count; ++i) {
    uint8_t* entry = doc.base + at + kNeTypeEntryHeader + uint64_t{kNeResourceEntrySize} * i;
    // The compared id stays in the buffer without its high bit.
    const uint16_t entryId = static_cast<uint16_t>(ReadU16(entry + kResourceIdField) & kIdMask);
    WriteU16(entry + kResourceIdField, entryId);
    if (entryId == wanted) {
      ctx.error = 0;
      return entry;
    }
  }
  Fail(ctx, kMsgIdNotFound, 1);
  return nullptr;
}

const uint8_t* NeResourceData(ThreadContext& ctx, const IconDocument& doc, const uint8_t* entry) {
  if (!doc.base || !entry) {
    Fail(ctx, kMsgNullPointer, 79);
    return nullptr;
  }
  uint64_t at = 0;
  if (!OffsetOf(doc, entry, at) || !Inside(doc, at, 2) || !ValidShift(doc)) {
    Fail(ctx, kMsgOverflow, 87);
    return nullptr;
  }
  const uint64_t data = ShiftedUnits(doc, ReadU16(entry));
  if (!Inside(doc, data, 1)) {
    Fail(ctx, kMsgOverflow, 87);
    return nullptr;
  }
  return doc.base + data;
}

int64_t NeResourceLength(ThreadContext& ctx, const IconDocument& doc, const uint8_t* entry) {
  uint64_t at = 0;
  if (!OffsetOf(doc, entry, at) || !Inside(doc, at, 4) || !ValidShift(doc)) {
    return Fail(ctx, kMsgOverflow, 96);
  }
  const uint64_t data = ShiftedUnits(doc, ReadU16(entry));
  if (!Inside(doc, data, kImageHeadSize)) return Fail(ctx, kMsgOverflow, 96);
  const uint64_t available = BufferLength(doc) - data;
  // A PNG's stored length is rounded up to whole alignment units: its chunks
  // tell where it really ends.
  if (IsPngSignature(doc.base + data, 8)) return PngLength(ctx, doc.base + data, available);
  const uint64_t stored = ShiftedUnits(doc, ReadU16(entry + 2));
  if (stored == 0) return Fail(ctx, kMsgNeNullDataSize, 96);
  // The last resource's rounded length may reach past the end of the file;
  // never hand out bytes that are not there.
  return static_cast<int64_t>(std::min(stored, available));
}

int ForEachNeResource(ThreadContext& ctx, IconDocument& doc, int type,
                      const NeResourceCallback& callback) {
  if (!doc.base || !callback) return Fail(ctx, kMsgNullPointer, 41);
  if (!doc.firstTypeEntry) return Fail(ctx, kMsgNullPointer, 42);
  uint64_t first = 0;
  if (!OffsetOf(doc, doc.firstTypeEntry, first)) return Fail(ctx, kMsgOverflow, 44);
  if (type != kNeTypeGroup && type != kNeTypeIcon) return Fail(ctx, kMsgNoIconResource, 10);

  const uint8_t* typeEntry = FindNeType(ctx, doc, doc.firstTypeEntry, type);
  if (!typeEntry) {
    return type == kNeTypeIcon ? Fail(ctx, kMsgNoIconResource, 9) : Fail(ctx, kMsgNoIconGroups, 3);
  }
  const uint64_t at = static_cast<uint64_t>(typeEntry - doc.base);
  const uint16_t count = ReadU16(typeEntry + 2);
  if (count == 0) return Fail(ctx, kMsgIclBadIconCount, 6);
  if (!Inside(doc, at, kNeTypeEntryHeader + uint64_t{kNeResourceEntrySize} * count)) {
    return Fail(ctx, kMsgOverflow, 45);
  }
  for (uint16_t i = 0; i < count; ++i) {
    const uint64_t entry = at + kNeTypeEntryHeader + uint64_t{kNeResourceEntrySize} * i;
    const int id = ReadU16(doc.base + entry + kResourceIdField) & kIdMask;
    if (!callback(doc, type, id)) return ErrorMessage(ctx.error) == 0 ? 1 : 0;
  }
  return 1;
}

int CheckNe(ThreadContext& ctx, IconDocument& doc) {
  if (!doc.base) return Fail(ctx, kMsgNullPointer, 38);
  const auto fail = [&](int message, int site) {
    ReleaseBuffer(ctx, doc);
    return Fail(ctx, message, site);
  };
  if (doc.size <= 1) return fail(kMsgOverflow, 36);
  if (ReadU16(doc.base) != kMzSignature) return fail(kMsgNoMzSignature, 1);
  doc.lastByte = doc.base + doc.size - 1;
  const uint64_t last = static_cast<uint64_t>(doc.size) - 1;  // offset of lastByte
  if (last < kMinMzFileLast) return fail(kMsgOverflow, 37);

  const uint64_t ne = ReadU32(doc.base + kHeaderOffsetField);
  doc.neHeaderOffset = static_cast<int64_t>(ne);
  if (ne == 0) return fail(kMsgNeBadHeaderOffset, 1);
  if (ne > last) return fail(kMsgOverflow, 38);
  if (ne + kNeHeaderSize > last) return fail(kMsgOverflow, 39);
  if (doc.base[ne] != 'N' || doc.base[ne + 1] != 'E') return fail(kMsgNoOs2Signature, 1);

  const uint16_t tableOffset = ReadU16(doc.base + ne + kResourceTableField);
  doc.resourceTableOffset = tableOffset;
  if (tableOffset == 0) return fail(kMsgNeNullResourceTable, 1);
  const uint64_t table = ne + tableOffset;
  if (table + 26 > last) return fail(kMsgOverflow, 40);
  const uint16_t shift = ReadU16(doc.base + table);
  if (shift > kNeMaxAlignShift) return fail(kMsgBadFileFormat, 72);
  doc.alignShift = shift;
  if (table + 2 > last) return fail(kMsgOverflow, 41);
  doc.firstTypeEntry = doc.base + table + 2;

  // Every group must be found again by its id and have its data in the file.
  int64_t groups = 0;
  const int groupsOk = ForEachNeResource(ctx, doc, kNeTypeGroup, [&](IconDocument& d, int, int id) {
    const uint8_t* entry = FindNeResource(ctx, d, id, kNeTypeGroup);
    if (!entry) return Fail(ctx, kMsgResourceFind, 29);
    if (!NeResourceData(ctx, d, entry)) return Fail(ctx, kMsgResourceAddress, 27);
    ++groups;
    return 1;
  });
  if (!groupsOk) {
    const int message = ErrorMessage(ctx.error);
    const bool noGroup = (message == kMsgIclBadIconCount && ErrorSite(ctx.error) == 6) ||
                         message == kMsgNoIconGroups;
    if (!noGroup) return fail(kMsgNoIconGroup, 13);
    ReleaseBuffer(ctx, doc);
    return 4;
  }
  if (groups == 0) {
    fail(kMsgNoIconGroup, 14);
    return 4;
  }

  int64_t icons = 0;
  const int iconsOk = ForEachNeResource(ctx, doc, kNeTypeIcon, [&](IconDocument&, int, int) {
    ++icons;
    return 1;
  });
  if (!iconsOk) return fail(kMsgNoIcon, 15);

  doc.groupCount = groups;
  doc.namedGroups = CheckNeIclNames(ctx, doc);
  doc.iconCount = icons;
  doc.container = kContainerNe;
  return 1;
}

int CheckNeIclNames(ThreadContext& ctx, IconDocument& doc) {
  if (!doc.base || !doc.lastByte || !doc.firstTypeEntry) return Fail(ctx, kMsgNullPointer, 150);
  doc.groupNames.clear();
  uint64_t first = 0;
  if (!OffsetOf(doc, doc.firstTypeEntry, first)) return 0;
  const TypeWalk walk = WalkTypeEntries(doc, first);
  if (!walk.closed || !walk.groupSeen) return 0;
  if (!Inside(doc, walk.group, kNeTypeEntryHeader + uint64_t{kNeResourceEntrySize} * walk.groupCount)) {
    return 0;
  }

  const uint64_t names = walk.end + 2;
  if (!Inside(doc, names, 4) || std::memcmp(doc.base + names, kIclTag, 4) != 0) return 0;
  uint64_t at = names + 4;
  for (uint16_t i = 0; i < walk.groupCount; ++i) {
    if (!Inside(doc, at, 1)) return 0;
    const uint8_t length = doc.base[at];
    if (length == 0 || !Inside(doc, at + 1, length)) return 0;
    at += 1 + uint64_t{length};
  }
  if (!Inside(doc, at, 1) || doc.base[at] != 0) return 0;
  // The area ends with a 16-bit 0 after the 0 byte; without it the names are
  // not trusted and the groups get "#" labels.
  if (!Inside(doc, at + 1, 2) || ReadU16(doc.base + at + 1) != 0) return 0;
  doc.groupNames = AnsiText(doc.base + names, at - names);
  return 1;
}

int ForEachNeNamedGroup(ThreadContext& ctx, IconDocument& doc, const NeGroupCallback& builder) {
  uint64_t at = 0;
  if (!doc.base || !doc.lastByte || !doc.firstTypeEntry || !builder) {
    return Fail(ctx, kMsgNullPointer, 47);
  }
  if (!OffsetOf(doc, doc.firstTypeEntry, at)) return Fail(ctx, kMsgOverflow, 48);

  // Record the group ids, in the order of the group type's entries.
  std::vector<int> ids;
  bool groupSeen = false;
  for (;;) {
    if (!Inside(doc, at, 2)) return Fail(ctx, kMsgOverflow, 48);
    const uint16_t typeId = ReadU16(doc.base + at);
    if (typeId == 0) break;
    if (!(typeId & kNumericId)) return Fail(ctx, kMsgBadFileFormat, 25);
    if (!Inside(doc, at, 4)) return Fail(ctx, kMsgOverflow, 48);
    const uint16_t count = ReadU16(doc.base + at + 2);
    if (count == 0) return Fail(ctx, kMsgBadFileFormat, 26);
    if ((typeId & kIdMask) == kNeTypeGroup && !groupSeen) {
      groupSeen = true;
      for (uint16_t i = 0; i < count; ++i) {
        const uint64_t entry = at + kNeTypeEntryHeader + uint64_t{kNeResourceEntrySize} * i;
        if (!Inside(doc, entry, kNeResourceEntrySize)) return Fail(ctx, kMsgOverflow, 49);
        const int id = ReadU16(doc.base + entry + kResourceIdField) & kIdMask;
        if (id == 0) return Fail(ctx, kMsgBadFileFormat, 27);
        ids.push_back(id);
      }
    }
    at += kNeTypeEntryHeader + uint64_t{kNeResourceEntrySize} * count;
  }
  if (!groupSeen) return Fail(ctx, kMsgNoIconGroups, 2);

  const uint64_t names = at + 2;
  if (!Inside(doc, names, 4)) return Fail(ctx, kMsgOverflow, 50);
  if (std::memcmp(doc.base + names, kIclTag, 4) != 0) return Fail(ctx, kMsgNoGroupNames, 1);
  at = names + 4;
  size_t named = 0;
  for (const int id : ids) {
    if (!Inside(doc, at, 1)) return Fail(ctx, kMsgOverflow, 51);
    const uint8_t length = doc.base[at];
    if (length == 0) {
      return named == 0 ? Fail(ctx, kMsgNoGroupNames, 2) : Fail(ctx, kMsgBadFileFormat, 29);
    }
    if (!Inside(doc, at + 1, length)) return Fail(ctx, kMsgOverflow, 52);
    const uint8_t* name = doc.base + at + 1;
    const std::u16string label = IclNameLabel(name, length);
    at += 1 + uint64_t{length};
    ++named;
    if (!builder(doc, label, id, true)) return ErrorMessage(ctx.error) == 0 ? 1 : 0;
  }
  if (!Inside(doc, at, 1) || doc.base[at] != 0) return Fail(ctx, kMsgGroupIdLacking, 1);
  if (named != ids.size()) return Fail(ctx, kMsgGroupIdLacking, 2);
  if (!Inside(doc, at + 1, 2)) return Fail(ctx, kMsgOverflow, 53);
  if (ReadU16(doc.base + at + 1) != 0) return Fail(ctx, kMsgBadNamesEnd, 1);
  return 1;
}

int ForEachNeGroup(ThreadContext& ctx, IconDocument& doc, const NeGroupCallback& builder) {
  if (!builder) return Fail(ctx, kMsgNullPointer, 41);
  return ForEachNeResource(ctx, doc, kNeTypeGroup, [&](IconDocument& d, int, int id) {
    return builder(d, GroupNumberLabel(id), id, false);
  });
}

int ForEachNeDocumentGroup(ThreadContext& ctx, IconDocument& doc, const NeGroupCallback& builder) {
  return doc.namedGroups == 1 ? ForEachNeNamedGroup(ctx, doc, builder)
                              : ForEachNeGroup(ctx, doc, builder);
}

int ReadNeGroup(ThreadContext& ctx, IconDocument& doc, int groupId, NeGroupReader reader,
                NeGroup& group) {
  const GroupReadSites& sites =
      reader == NeGroupReader::kThumbnail ? kThumbnailSites : kImagePaneSites;
  group = NeGroup();
  group.id = groupId;

  const uint8_t* resource = FindNeResource(ctx, doc, groupId, kNeTypeGroup);
  if (!resource) return FailAs(ctx, sites.groupNotFound);
  const uint8_t* directory = NeResourceData(ctx, doc, resource);
  if (!directory) return FailAs(ctx, sites.groupData);
  if (NeResourceLength(ctx, doc, resource) == 0) return FailAs(ctx, sites.groupLength);

  const uint64_t at = static_cast<uint64_t>(directory - doc.base);
  if (!Inside(doc, at, kGroupHeaderSize)) return FailAs(ctx, sites.header);
  const uint16_t count = ReadU16(directory + 4);
  if (count == 0) return FailAs(ctx, sites.count);
  if (!Inside(doc, at, kGroupHeaderSize + kGroupEntrySize * count)) {
    return FailAs(ctx, sites.entries);
  }
  group.directory = directory;
  group.count = count;
  group.images.resize(count);
  for (uint16_t i = 0; i < count; ++i) {
    const uint8_t* entry = directory + kGroupHeaderSize + kGroupEntrySize * i;
    if (!ReadNeImage(ctx, doc, entry, sites, group.images[i])) return 0;
  }
  return 1;
}

}  // namespace zx
