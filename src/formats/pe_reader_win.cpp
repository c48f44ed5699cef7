#include "formats/pe_reader_win.h"

#include <windows.h>

#include <cstring>

#include "core/messages.h"
#include "core/win_text.h"
#include "formats/byte_reader.h"
#include "formats/ico_reader.h"
#include "formats/icl_names.h"
#include "imaging/icon_image_classify.h"

namespace zx {
namespace {

HMODULE ModuleOf(const IconDocument& doc) { return reinterpret_cast<HMODULE>(doc.base); }

const wchar_t* ResourceId(int id) { return MAKEINTRESOURCEW(id); }

HRSRC FindPeResource(const IconDocument& doc, const PeResourceName& name, int type) {
  return FindResourceW(ModuleOf(doc), name.IsString() ? Wide(name.text) : ResourceId(name.id),
                       ResourceId(type));
}

// A found resource's bytes, loaded and locked; the steps fail apart.
struct ResourceBytes {
  const uint8_t* data = nullptr;
  uint64_t size = 0;
};
enum class ResourceStep { kNone, kLoad, kLock, kSize };

ResourceStep LoadPeResource(const IconDocument& doc, HRSRC found, ResourceBytes& bytes) {
  HGLOBAL loaded = LoadResource(ModuleOf(doc), found);
  if (!loaded) return ResourceStep::kLoad;
  bytes.data = static_cast<const uint8_t*>(LockResource(loaded));
  if (!bytes.data) return ResourceStep::kLock;
  bytes.size = SizeofResource(ModuleOf(doc), found);
  if (bytes.size == 0) return ResourceStep::kSize;
  return ResourceStep::kNone;
}

struct EnumerationState {
  int type;
  HMODULE module;
  std::vector<PeResourceName>* names;
  bool refused;
};

BOOL CALLBACK CollectName(HMODULE module, LPCWSTR type, LPWSTR name, LONG_PTR param) {
  auto* state = reinterpret_cast<EnumerationState*>(param);
  if (!module || module != state->module || !IS_INTRESOURCE(type) ||
      LOWORD(reinterpret_cast<ULONG_PTR>(type)) != state->type) {
    state->refused = true;
    return FALSE;
  }
  PeResourceName entry;
  if (IS_INTRESOURCE(name)) {
    entry.id = LOWORD(reinterpret_cast<ULONG_PTR>(name));
  } else {
    entry.text = FromWide(name);
  }
  state->names->push_back(std::move(entry));
  return TRUE;
}

// A failure as (message, site); message 0 keeps the error the callee set.
struct Failure {
  int message;
  int site;
};

// The sites each group reader reports its failures with.
struct GroupReadSites {
  Failure groupFind, groupLoad, groupLock, groupSize;
  Failure header, count, entries;
  Failure iconFind, iconLoad, iconLock, iconLength, imageHead, pngSize;
  bool marksDocument;
};

const GroupReadSites kThumbnailSites = {
    {kMsgResourceFind, 44}, {kMsgResourceLoad, 20}, {kMsgResourceAddress, 39}, {kMsgResourceSize, 21},
    {kMsgOverflow, 146},    {kMsgBadIconCount, 27}, {kMsgOverflow, 147},
    {kMsgResourceFind, 45}, {kMsgResourceLoad, 21}, {kMsgResourceAddress, 40}, {kMsgResourceSize, 22},
    {kMsgOverflow, 149},    {kMsgImageSize, 19},    true};

const GroupReadSites kImagePaneSites = {
    {kMsgResourceFind, 39}, {kMsgResourceLoad, 18}, {kMsgResourceAddress, 34}, {kMsgResourceSize, 16},
    {kMsgOverflow, 146},    {kMsgNoIcon, 25},       {kMsgOverflow, 147},
    {kMsgResourceFind, 40}, {kMsgResourceLoad, 19}, {kMsgResourceAddress, 35}, {kMsgResourceSize, 17},
    {kMsgOverflow, 136},    {0, 0},                 false};

int FailAs(ThreadContext& ctx, Failure failure) { return Fail(ctx, failure.message, failure.site); }

int FailStep(ThreadContext& ctx, ResourceStep step, Failure load, Failure lock, Failure size) {
  switch (step) {
    case ResourceStep::kLoad: return FailAs(ctx, load);
    case ResourceStep::kLock: return FailAs(ctx, lock);
    default: return FailAs(ctx, size);
  }
}

int ReadImage(ThreadContext& ctx, IconDocument& doc, const uint8_t* directoryEntry,
              const GroupReadSites& sites, GroupImage& image) {
  image.directoryEntry = directoryEntry;
  image.iconId = ReadU16(directoryEntry + kGroupEntryIconId);
  HRSRC found = FindPeResource(doc, PeResourceName{image.iconId, {}}, kPeTypeIcon);
  if (!found) return FailAs(ctx, sites.iconFind);
  ResourceBytes bytes;
  const ResourceStep step = LoadPeResource(doc, found, bytes);
  if (step != ResourceStep::kNone) {
    return FailStep(ctx, step, sites.iconLoad, sites.iconLock, sites.iconLength);
  }
  image.data = bytes.data;
  image.length = static_cast<int64_t>(bytes.size);
  // The header fields are read only when the resource holds them.
  const bool png = IsPngSignature(bytes.data, bytes.size);
  if (bytes.size < (png ? kPngMinimumBytes : kDibHeaderBytes)) return FailAs(ctx, sites.imageHead);
  ReadGroupImageFields(bytes.data, directoryEntry, image);
  if (image.png) {
    if (sites.pngSize.message != 0 && (image.width == 0 || image.height == 0)) {
      return FailAs(ctx, sites.pngSize);
    }
    if (sites.marksDocument) doc.hasPng = 1;
  }
  return 1;
}

// The first pass of the module check: every group loads and has a sound
// header; their entry counts add up to the module's image count.
int CountModuleImages(ThreadContext& ctx, IconDocument& doc, int64_t& total) {
  std::vector<PeResourceName> names;
  if (!EnumeratePeNames(ctx, doc, kPeTypeGroup, names, 3, 98)) return 0;
  total = 0;
  for (const PeResourceName& name : names) {
    ResourceBytes bytes;
    HRSRC found = FindPeResource(doc, name, kPeTypeGroup);
    const ResourceStep step = found ? LoadPeResource(doc, found, bytes) : ResourceStep::kLoad;
    if (step == ResourceStep::kLoad) return Fail(ctx, kMsgResourceLoad, 11);
    if (step == ResourceStep::kLock) return Fail(ctx, kMsgResourceAddress, 20);
    // A group too short for its header cannot be sound.
    if (bytes.size < kGroupHeaderSize) return Fail(ctx, kMsgHeaderIntegrity, 13);
    const uint16_t count = ReadU16(bytes.data + 4);
    if (count == 0) return Fail(ctx, kMsgGroupWithoutIcons, 11);
    const uint32_t header = ReadU32(bytes.data);
    if (!IsIcoSignature(header)) {
      return Fail(ctx, kMsgHeaderIntegrity, 13);
    }
    if (name.IsString()) doc.stringNamedGroups = 1;
    total += count;
  }
  if (total == 0) return Fail(ctx, kMsgNoIcon, 16);
  return 1;
}

// The second pass: the groups that can be found and loaded.
int CountModuleGroups(ThreadContext& ctx, IconDocument& doc, int64_t& groups) {
  std::vector<PeResourceName> names;
  if (!EnumeratePeNames(ctx, doc, kPeTypeGroup, names, 35, 106)) return 0;
  groups = 0;
  for (const PeResourceName& name : names) {
    HRSRC found = FindPeResource(doc, name, kPeTypeGroup);
    if (!found) return Fail(ctx, kMsgResourceFind, 28);
    if (!LoadResource(ModuleOf(doc), found)) return Fail(ctx, kMsgResourceLoad, 15);
    ++groups;
  }
  if (groups == 0) return Fail(ctx, kMsgNoIcon, 18);
  return 1;
}

}  // namespace

std::u16string PeGroupLabel(const PeResourceName& name) {
  return name.IsString() ? name.text : GroupNumberLabel(name.id);
}

int EnumeratePeNames(ThreadContext& ctx, const IconDocument& doc, int type,
                     std::vector<PeResourceName>& names, int enumerationSite, int callbackSite) {
  names.clear();
  if (!doc.base) return Fail(ctx, kMsgNullPointer, callbackSite);
  EnumerationState state{type, ModuleOf(doc), &names, false};
  SetLastError(ERROR_SUCCESS);
  if (EnumResourceNamesW(ModuleOf(doc), ResourceId(type), CollectName, reinterpret_cast<LONG_PTR>(&state))) {
    return 1;
  }
  if (state.refused) return Fail(ctx, kMsgNullPointer, callbackSite);
  switch (GetLastError()) {
    // No resource section, or no resource of this type: nothing to list.
    case ERROR_RESOURCE_DATA_NOT_FOUND:
    case ERROR_RESOURCE_TYPE_NOT_FOUND:
    case ERROR_RESOURCE_NAME_NOT_FOUND:
      names.clear();
      return 1;
    default:
      return Fail(ctx, kMsgResourceEnum, enumerationSite);
  }
}

int PeResourceData(ThreadContext& ctx, const IconDocument& doc, const PeResourceName& name,
                   int type, const uint8_t*& data, uint64_t& size, int site) {
  HRSRC found = doc.base ? FindPeResource(doc, name, type) : nullptr;
  if (!found) return Fail(ctx, kMsgResourceFind, site);
  ResourceBytes bytes;
  switch (LoadPeResource(doc, found, bytes)) {
    case ResourceStep::kLoad:
      return Fail(ctx, kMsgResourceLoad, site + 1);
    case ResourceStep::kLock:
      return Fail(ctx, kMsgResourceAddress, site + 2);
    case ResourceStep::kSize:
      return Fail(ctx, kMsgResourceSize, site + 3);
    case ResourceStep::kNone:
      break;
  }
  data = bytes.data;
  size = bytes.size;
  return 1;
}

void ReleasePeModule(IconDocument& doc) {
  if (doc.base) FreeLibrary(ModuleOf(doc));
  doc.base = nullptr;
}

int CheckPeModule(ThreadContext& ctx, IconDocument& doc) {
  int64_t images = 0;
  int64_t groups = 0;
  if (!CountModuleImages(ctx, doc, images) || !CountModuleGroups(ctx, doc, groups)) {
    ReleasePeModule(doc);
    return 0;
  }
  doc.groupCount = groups;
  if (ReadIclNameTable(ctx, doc)) {
    doc.namedGroups = doc.stringNamedGroups ? 0 : 1;
  } else {
    doc.namedGroups = 0;
    doc.stringNamedGroups = 0;
  }
  doc.iconCount = images;
  doc.container = kContainerPe;
  return 1;
}

int ReadIclNameTable(ThreadContext& ctx, IconDocument& doc) {
  if (!doc.base) return Fail(ctx, kMsgNullPointer, 150);
  doc.groupNames.clear();
  HRSRC found = FindResourceW(ModuleOf(doc), ResourceId(kPeIclNamesId), ResourceId(kPeTypeIclNames));
  if (!found) {
    // Without a name table, groups named by strings label themselves.
    const int64_t error = ctx.error;
    std::vector<PeResourceName> names;
    if (EnumeratePeNames(ctx, doc, kPeTypeGroup, names, 0, 0)) {
      for (const PeResourceName& name : names) {
        if (name.IsString()) doc.stringNamedGroups = 1;
      }
    }
    ctx.error = error;
    return doc.stringNamedGroups;
  }
  ResourceBytes bytes;
  if (LoadPeResource(doc, found, bytes) != ResourceStep::kNone) return 0;
  const std::u16string text = IclNameTableText(bytes.data, bytes.size);
  if (text.empty() || doc.groupCount == 0) return 0;
  if (CountIclNames(text) != doc.groupCount) return 0;
  doc.groupNames = text;
  return 1;
}

int ForEachGroup(ThreadContext& ctx, IconDocument& doc, const PeGroupCallback& builder) {
  if (!doc.base || !builder) return Fail(ctx, kMsgNullPointer, 53);
  std::vector<PeResourceName> names;
  if (!EnumeratePeNames(ctx, doc, kPeTypeGroup, names, 7, 53)) return 0;
  for (const PeResourceName& name : names) {
    ctx.error = 0;
    if (!builder(doc, PeGroupLabel(name), name, false) && ErrorMessage(ctx.error) != 0) return 0;
  }
  ctx.error = 0;
  return 1;
}

int ForEachNamedGroup(ThreadContext& ctx, IconDocument& doc, const PeGroupCallback& builder) {
  if (!doc.base || !builder) return Fail(ctx, kMsgGroupNames, 1);
  std::vector<PeResourceName> groups;
  if (!EnumeratePeNames(ctx, doc, kPeTypeGroup, groups, 1, 1)) return Fail(ctx, kMsgGroupNames, 1);

  std::vector<PeResourceName> tables;
  if (!EnumeratePeNames(ctx, doc, kPeTypeIclNames, tables, 2, 2) || tables.empty()) {
    return Fail(ctx, kMsgGroupNames, 2);
  }
  HRSRC found = FindPeResource(doc, tables.back(), kPeTypeIclNames);
  if (!found) return Fail(ctx, kMsgGroupNames, 3);
  ResourceBytes bytes;
  switch (LoadPeResource(doc, found, bytes)) {
    case ResourceStep::kLoad: return Fail(ctx, kMsgGroupNames, 4);
    case ResourceStep::kLock: return Fail(ctx, kMsgGroupNames, 5);
    case ResourceStep::kSize: return Fail(ctx, kMsgGroupNames, 6);
    case ResourceStep::kNone: break;
  }
  // The tag and at least one length byte.
  if (bytes.size < 5) return Fail(ctx, kMsgGroupNames, 7);

  // Every name is checked before the first group is built, so a broken list
  // leaves nothing half built for the plain pass that takes over.
  std::vector<std::u16string> labels;
  if (!ReadIclNameTableLabels(ctx, bytes.data, bytes.size, groups.size(), labels)) return 0;
  for (size_t i = 0; i < groups.size(); ++i) {
    ctx.error = 0;
    if (!builder(doc, labels[i], groups[i], true)) {
      return ErrorMessage(ctx.error) == 0 ? 1 : Fail(ctx, kMsgGroupNames, 12);
    }
  }
  return 1;
}

int ForEachPeDocumentGroup(ThreadContext& ctx, IconDocument& doc, const PeGroupCallback& builder) {
  if (doc.namedGroups == 1) {
    if (ForEachNamedGroup(ctx, doc, builder)) return 1;
    if (ErrorMessage(ctx.error) != kMsgGroupNames) return 0;
    doc.namedGroups = 0;
    ctx.error = 0;
  }
  return ForEachGroup(ctx, doc, builder);
}

int ReadGroup(ThreadContext& ctx, IconDocument& doc, const PeResourceName& name, PeGroupReader reader,
              PeGroup& group) {
  const GroupReadSites& sites = reader == PeGroupReader::kThumbnail ? kThumbnailSites : kImagePaneSites;
  group = PeGroup();
  group.name = name;
  if (!doc.base) return FailAs(ctx, sites.groupFind);
  if (sites.marksDocument && name.IsString()) doc.stringNamedGroups = 1;

  HRSRC found = FindPeResource(doc, name, kPeTypeGroup);
  if (!found) return FailAs(ctx, sites.groupFind);
  ResourceBytes bytes;
  const ResourceStep step = LoadPeResource(doc, found, bytes);
  if (step != ResourceStep::kNone) return FailStep(ctx, step, sites.groupLoad, sites.groupLock, sites.groupSize);

  if (bytes.size < kGroupHeaderSize) return FailAs(ctx, sites.header);
  const uint16_t count = ReadU16(bytes.data + 4);
  if (count == 0) return FailAs(ctx, sites.count);
  if (kGroupHeaderSize + kGroupEntrySize * count > bytes.size) return FailAs(ctx, sites.entries);
  group.directory = bytes.data;
  group.count = count;
  group.images.resize(count);
  for (uint16_t i = 0; i < count; ++i) {
    const uint8_t* entry = bytes.data + kGroupHeaderSize + kGroupEntrySize * i;
    if (!ReadImage(ctx, doc, entry, sites, group.images[i])) return 0;
  }
  return 1;
}

int CheckPeThumbnailImage(ThreadContext& ctx, const GroupImage& image) {
  if (!image.data || image.length < 13) return Fail(ctx, kMsgOverflow, 148);
  if (image.png && (image.length < 16 || std::memcmp(image.data + 12, "IHDR", 4) != 0)) {
    return Fail(ctx, kMsgBadIhdr, 37);
  }
  return 1;
}

}  // namespace zx
