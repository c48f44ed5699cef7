#include "ops/icon_removal_win.h"

#include <windows.h>

#include <algorithm>
#include <cwctype>
#include <functional>
#include <memory>

#include "core/messages.h"
#include "core/win_handles.h"
#include "core/win_text.h"
#include "formats/byte_reader.h"
#include "formats/ne_library_writer.h"
#include "formats/ne_module_source.h"
#include "formats/pe_characteristics_win.h"
#include "formats/pe_module_source_win.h"
#include "formats/pe_reader_win.h"
#include "formats/pe_removal_plan.h"
#include "formats/pe_resource_set_win.h"
#include "imaging/scratch_stream_win.h"
#include "ops/document_loading.h"
#include "ops/file_output_win.h"
#include "ops/icon_document_ops.h"
#include "ops/writer_services_win.h"

namespace zx {
namespace {

constexpr int kMsgOnlyIcon = 19;
constexpr int kMsgAllIcons = 20;
constexpr int kMsgOnlyGroup = 21;
constexpr int kMsgRunningProgram = 39;
constexpr int kMsgNoFileSelected = 95;
constexpr int kMsgAllIclIcons = 96;
constexpr int kMsgAllGroups = 97;
// What the resource-update service is told the module is while it works.
constexpr uint16_t kUpdateCharacteristics = 0x2100;

std::u16string LowerCase(std::u16string text) {
  for (char16_t& c : text) c = static_cast<char16_t>(std::towlower(static_cast<wint_t>(c)));
  return text;
}

bool IsRunningProgram(const IconDocument& doc) {
  wchar_t self[MAX_PATH * 4];
  const DWORD length = GetModuleFileNameW(nullptr, self, MAX_PATH * 4);
  return length > 0 && LowerCase(FromWide(self)) == LowerCase(doc.path);
}

// Each number once, in ascending order.
IconSelection Distinct(IconSelection selection) {
  std::sort(selection.begin(), selection.end());
  selection.erase(std::unique(selection.begin(), selection.end()), selection.end());
  return selection;
}

bool Within(const IconSelection& selection, int64_t last) {
  return std::all_of(selection.begin(), selection.end(),
                     [&](int64_t n) { return n >= 1 && n <= last; });
}

// Every number from 1 to `count` that `selection` leaves out.
IconSelection Others(const IconSelection& selection, int64_t count) {
  IconSelection others;
  for (int64_t n = 1; n <= count; ++n) {
    if (std::find(selection.begin(), selection.end(), n) == selection.end()) others.push_back(n);
  }
  return others;
}

bool IsIcl(const IconDocument& doc) { return doc.extensionKind == kExtensionIcl; }

int64_t RowCount(const IconDocument& doc) {
  return doc.container == kContainerIco ? doc.iconCount : doc.groupCount;
}

std::unique_ptr<IconModuleSource> SourceOf(IconDocument& doc) {
  if (doc.container == kContainerPe) return std::make_unique<PeModuleSource>(doc);
  return std::make_unique<NeModuleSource>(doc);
}

// The entry count of group `number` (from 1, enumeration order).
int GroupIconCount(ThreadContext& ctx, IconDocument& doc, int64_t number, int64_t& count) {
  std::unique_ptr<IconModuleSource> source = SourceOf(doc);
  int64_t visited = 0;
  count = -1;
  const int ok = source->ForEachGroup(ctx, [&](const PeResourceName& name) {
    if (++visited != number) return 1;
    const uint8_t* directory = nullptr;
    uint64_t size = 0;
    if (!source->GroupDirectory(ctx, name, directory, size)) return 0;
    if (size < 6) return Fail(ctx, kMsgOverflow, 700);
    count = ReadU16(directory + 4);
    return 1;
  });
  if (!ok) return 0;
  if (count < 1) return Fail(ctx, kMsgGroupWithoutIcons, 701);
  return 1;
}

// Builds the new file in a scratch stream, lets go of the file lock and
// puts the stream in the file's place.
int RewriteThroughStream(ThreadContext& ctx, IconDocument& doc,
                         const std::function<int(ByteStream&)>& build) {
  ScratchStream stream;
  if (!CreateScratchStream(ctx, &stream) || !build(stream)) return 0;
  ReleaseDocumentFile(ctx, &doc);
  return WriteStreamToFile(ctx, stream, doc.path);
}

// Works on a copy beside the module: the characteristics word is set to a
// DLL's for the update and put back, `plan` decides the resources that stay,
// the module is rewritten with them, and the copy replaces the module only
// when all of it succeeded. The original is never touched before that.
int EditPeModule(ThreadContext& ctx, IconDocument& doc,
                 const std::function<int(const ModuleResourceSet&, ModuleResourceSet&)>& plan) {
  uint16_t saved = 0;
  if (!ReadPeCharacteristics(ctx, doc.path, &saved)) return Fail(ctx, kMsgUpdateResource, 702);
  WIN32_FILE_ATTRIBUTE_DATA before;
  if (!GetFileAttributesExW(Wide(doc.path), GetFileExInfoStandard, &before)) {
    return Fail(ctx, kMsgFileRead, 703);
  }
  SiblingFile copy;
  if (!copy.Create(ctx, doc.path, 704)) return 0;
  if (!CopyFileW(Wide(doc.path), Wide(copy.path()), FALSE)) return Fail(ctx, kMsgFileCreate, 705);
  SetFileAttributesW(Wide(copy.path()), FILE_ATTRIBUTE_NORMAL);

  ModuleResourceSet module;
  ModuleResourceSet kept;
  if (!WritePeCharacteristics(ctx, copy.path(), kUpdateCharacteristics)) {
    return Fail(ctx, kMsgUpdateResource, 706);
  }
  int updated = ReadModuleResources(ctx, copy.path(), module) && plan(module, kept) &&
                RewriteModuleResources(ctx, copy.path(), kept);
  // The word goes back whatever happened to the update.
  if (!WritePeCharacteristics(ctx, copy.path(), saved) && updated) {
    updated = Fail(ctx, kMsgUpdateResource, 707);
  }
  if (!updated) return 0;

  // The file keeps its creation time, as a change in place would.
  UniqueHandle stamp(CreateFileW(Wide(copy.path()), FILE_WRITE_ATTRIBUTES, 0, nullptr,
                                 OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
  if (stamp) SetFileTime(stamp.get(), &before.ftCreationTime, nullptr, nullptr);
  stamp.Reset();
  // The loaded module maps the file, which could then not be replaced.
  ReleasePeModule(doc);
  return copy.Commit(ctx, 708);
}

}  // namespace

int CheckRemoval(ThreadContext& ctx, IconDocument& doc, const RemovalRequest& request) {
  if (!doc.base) return Fail(ctx, kMsgNullPointer, 710);
  if (IsRunningProgram(doc)) return Fail(ctx, kMsgRunningProgram, 711);
  const bool pane = request.command == RemovalCommand::kImagePane;
  if (pane && !request.fileSelected) return Fail(ctx, kMsgNoFileSelected, 712);
  const int64_t rows = RowCount(doc);
  const IconSelection selection = Distinct(request.selection);
  if (rows < 1 || selection.empty()) return Fail(ctx, kMsgInternalError, 713);
  if (pane ? request.shownGroup < 1 || request.shownGroup > rows : !Within(selection, rows)) {
    return Fail(ctx, kMsgInternalError, 714);
  }

  if (doc.container == kContainerIco) {
    // The image pane of an .ico file shows its one image.
    const bool everyImage = pane ? rows == 1 : static_cast<int64_t>(selection.size()) == rows;
    if (everyImage) return Fail(ctx, rows == 1 ? kMsgOnlyIcon : kMsgAllIcons, 715);
    return 1;
  }
  if (!pane) {
    if (IsIcl(doc) && static_cast<int64_t>(selection.size()) == rows) {
      return Fail(ctx, rows == 1 ? kMsgOnlyGroup : kMsgAllGroups, 716);
    }
    return 1;
  }
  int64_t shownIcons = 0;
  if (!GroupIconCount(ctx, doc, request.shownGroup, shownIcons)) return 0;
  if (!Within(selection, shownIcons)) return Fail(ctx, kMsgInternalError, 717);
  const bool wholeGroup = static_cast<int64_t>(selection.size()) == shownIcons;
  const bool guarded = IsIcl(doc) && (doc.container == kContainerNe || rows == 1);
  if (guarded && wholeGroup && shownIcons >= doc.iconCount) return Fail(ctx, kMsgAllIclIcons, 718);
  return 1;
}

RemovalResult RemoveSelection(ThreadContext& ctx, IconDocument& doc, const RemovalRequest& request) {
  if (doc.container == kContainerNe && !IsIcl(doc)) return kRemovalNotPossible;
  if (!CheckRemoval(ctx, doc, request)) return kRemovalFailed;
  const DWORD attributes = GetFileAttributesW(Wide(doc.path));
  if (attributes == INVALID_FILE_ATTRIBUTES) {
    Fail(ctx, kMsgFileRead, 719);
    return kRemovalFailed;
  }
  SetFileAttributesW(Wide(doc.path), FILE_ATTRIBUTE_NORMAL);

  const IconSelection selection = Distinct(request.selection);
  int removed = 0;
  switch (doc.container) {
    case kContainerIco:
      removed = RemoveIcoImages(ctx, doc, request);
      break;
    case kContainerPe:
      removed = request.command == RemovalCommand::kGroupList
                    ? RemovePeGroups(ctx, doc, selection)
                    : RemovePeIcons(ctx, doc, request.shownGroup, selection);
      break;
    case kContainerNe:
      removed = RewriteNeIconLibrary(ctx, doc, request);
      break;
    default:
      removed = Fail(ctx, kMsgInternalError, 720);
      break;
  }
  SetFileAttributesW(Wide(doc.path), attributes);

  // The document shows what the file now holds. After a removal the slot
  // holds what opening said (a module without groups opens with a notice);
  // after a failure, the failure's own message.
  const int64_t failure = ctx.error;
  const std::u16string path = doc.path;
  ctx.error = 0;
  LoadIconDocument(ctx, doc, path);
  if (!removed) {
    ctx.error = failure;
    return kRemovalFailed;
  }
  return kRemovalDone;
}

int RemoveIcoImages(ThreadContext& ctx, IconDocument& doc, const RemovalRequest& request) {
  if (request.command == RemovalCommand::kImagePane) {
    // Every other image, each entry's first 12 bytes and its bytes unchanged.
    const IconSelection kept = Others({request.shownGroup}, doc.iconCount);
    return RewriteThroughStream(ctx, doc, [&](ByteStream& out) {
      return BuildIcoFromIcoDocument(ctx, doc, kept, out);
    });
  }
  // The images that are not selected, their entries rebuilt.
  const IconSelection kept = Others(Distinct(request.selection), doc.iconCount);
  IconImageSet set;
  ScratchStream scratch;
  if (!CreateScratchStream(ctx, &scratch) ||
      !BuildImageSetFromIcoDocument(ctx, doc, kept, scratch, set)) {
    return 0;
  }
  return RewriteThroughStream(ctx, doc, [&](ByteStream& out) {
    return BuildIcoStream(ctx, set, kVistaKeep, CodecPngUnpacker(false), ScratchStreams(), out);
  });
}

int RemovePeGroups(ThreadContext& ctx, IconDocument& doc, const IconSelection& groups) {
  return EditPeModule(ctx, doc, [&](const ModuleResourceSet& module, ModuleResourceSet& kept) {
    return PlanPeGroupRemoval(ctx, module, groups, kept);
  });
}

int RemovePeIcons(ThreadContext& ctx, IconDocument& doc, int64_t group, const IconSelection& entries) {
  return EditPeModule(ctx, doc, [&](const ModuleResourceSet& module, ModuleResourceSet& kept) {
    return PlanPeIconRemoval(ctx, module, group, entries, kept);
  });
}

int RewriteNeIconLibrary(ThreadContext& ctx, IconDocument& doc, const RemovalRequest& request) {
  const IconSelection selection = Distinct(request.selection);
  IconSelection groups = selection;
  bool wholeGroup = request.command == RemovalCommand::kGroupList;
  if (!wholeGroup) {
    int64_t shownIcons = 0;
    if (!GroupIconCount(ctx, doc, request.shownGroup, shownIcons)) return 0;
    wholeGroup = static_cast<int64_t>(selection.size()) == shownIcons;
    groups = {request.shownGroup};
  }
  if (wholeGroup && doc.groupCount == 1) {
    // The only group goes while the file holds further icons: the stored
    // empty library takes its place.
    const std::vector<uint8_t> empty = EmptyNeLibrary();
    return RewriteThroughStream(ctx, doc, [&](ByteStream& out) {
      return out.Write(ctx, empty.data(), empty.size(), 721);
    });
  }

  NeModuleSource source(doc);
  NeLibraryPlan plan;
  const IconSelection planned =
      wholeGroup ? Others(groups, doc.groupCount) : Others({}, doc.groupCount);
  if (!PlanNeLibraryFromModule(ctx, source, doc, planned, kVistaKeep, CodecPngUnpacker(false),
                               ScratchStreams(), plan)) {
    return 0;
  }
  if (!wholeGroup &&
      !DropNeLibraryIcons(ctx, plan, static_cast<size_t>(request.shownGroup - 1), selection)) {
    return 0;
  }
  DropNeLibraryNames(plan);
  return RewriteThroughStream(ctx, doc, [&](ByteStream& out) { return WriteNeLibrary(ctx, plan, out); });
}

}  // namespace zx
