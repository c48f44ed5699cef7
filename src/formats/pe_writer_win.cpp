#include "formats/pe_writer_win.h"

#include <windows.h>

#include <utility>

#include "core/icon_document.h"
#include "core/messages.h"
#include "core/win_handles.h"
#include "core/win_text.h"
#include "formats/ne_module_source.h"
#include "formats/resource_update_win.h"
#include "ops/file_output_win.h"

namespace zx {
namespace {

int AddResources(ThreadContext& ctx, HANDLE update, const PeResourcePlan& plan,
                 int refusedMessage) {
  if (!plan.nameTable.empty() &&
      !UpdateResourceA(update, MAKEINTRESOURCEA(kPeTypeIclNames), MAKEINTRESOURCEA(1), 0,
                       const_cast<uint8_t*>(plan.nameTable.data()),
                       static_cast<DWORD>(plan.nameTable.size()))) {
    return Fail(ctx, kMsgUpdateResource, 610);
  }
  for (const PeResource& resource : plan.resources) {
    if (!UpdateResourceW(update, MAKEINTRESOURCEW(resource.type), ResourceName(resource.name), 0,
                         const_cast<uint8_t*>(resource.bytes.data()),
                         static_cast<DWORD>(resource.bytes.size()))) {
      return Fail(ctx, refusedMessage, 611);
    }
  }
  return 1;
}

// Adds the plan's resources to the module at `path`; any failure leaves the
// update abandoned (the owner discards it).
int UpdateModule(ThreadContext& ctx, const std::u16string& path, bool deleteExisting,
                 const PeResourcePlan& plan, int refusedMessage) {
  ResourceUpdate update(BeginUpdateResourceW(Wide(path), deleteExisting ? TRUE : FALSE));
  if (!update.get()) return Fail(ctx, refusedMessage, 615);
  if (!AddResources(ctx, update.get(), plan, refusedMessage)) return 0;
  if (FileOutputFaults(FileOutputStage::kResourceUpdate) || !update.Commit()) {
    return Fail(ctx, kMsgUpdateResource, 616);
  }
  return 1;
}

}  // namespace

int PutTemplateOnDisk(ThreadContext& ctx, const std::vector<uint8_t>& moduleTemplate,
                      const std::u16string& path) {
  if (moduleTemplate.empty()) return Fail(ctx, kMsgNullPointer, 612);
  SetFileAttributesW(Wide(path), FILE_ATTRIBUTE_NORMAL);
  UniqueHandle file(CreateFileW(Wide(path), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file) return Fail(ctx, kMsgFileRead, 613);
  DWORD written = 0;
  if (!WriteFile(file.get(), moduleTemplate.data(), static_cast<DWORD>(moduleTemplate.size()),
                 &written, nullptr) ||
      written != moduleTemplate.size()) {
    file.Reset();
    RemoveFailedTarget(path);
    return Fail(ctx, kMsgIcoHeaderWrite, 614);
  }
  FlushFileBuffers(file.get());
  return 1;
}

int WritePeModule(ThreadContext& ctx, const std::vector<uint8_t>& moduleTemplate,
                  const std::u16string& path, bool deleteExisting, const PeResourcePlan& plan,
                  int refusedMessage) {
  // The module is made beside the target and takes its place only when
  // complete, so an existing target survives any failure.
  SiblingFile sibling;
  if (!sibling.Create(ctx, path, 613)) return Fail(ctx, kMsgFileRead, 613);
  return PutTemplateOnDisk(ctx, moduleTemplate, sibling.path()) &&
         UpdateModule(ctx, sibling.path(), deleteExisting, plan, refusedMessage) &&
         sibling.Commit(ctx, 618);
}

int WritePeFromIcoStream(ThreadContext& ctx, ByteStream& stream, const std::u16string& path,
                         int layout, int kind, const std::vector<uint8_t>& moduleTemplate) {
  if (!CheckPeLayout(ctx, layout, kind)) return 0;
  PeResourcePlan plan;
  if (!PlanPeFromIcoStream(ctx, stream, layout, plan)) return 0;
  const ExtensionKind extension = ExtensionKindOf(path);
  if ((kind == kPeTargetIcl && extension != kExtensionIcl) ||
      (kind == kPeTargetDll && extension != kExtensionDll)) {
    return Fail(ctx, kMsgBadFileName, 617);
  }
  if (!WritePeModule(ctx, moduleTemplate, path, true, plan, kMsgIcoHeaderWrite)) return 0;
  StampWrittenFile(path, false);
  return 1;
}

int CopyModuleToPe(ThreadContext& ctx, IconModuleSource& source, const IconDocument& doc,
                   const IconSelection& selection, int mode, PeCopyNaming naming,
                   const PngUnpacker& unpack, const StreamFactory& makeStream,
                   const std::u16string& path, const std::vector<uint8_t>& moduleTemplate) {
  PeResourcePlan plan;
  if (!PlanPeCopy(ctx, source, doc, selection, mode, naming, unpack, makeStream, plan)) return 0;
  if (!WritePeModule(ctx, moduleTemplate, path, false, plan, kMsgUpdateResource)) return 0;
  StampWrittenFile(path, true);
  return 1;
}

int CopyNeToPe(ThreadContext& ctx, IconDocument& doc, const IconSelection& selection, int mode,
               const PngUnpacker& unpack, const StreamFactory& makeStream,
               const std::u16string& path, const std::vector<uint8_t>& moduleTemplate) {
  NeModuleSource source(doc);
  return CopyModuleToPe(ctx, source, doc, selection, mode, PeCopyNaming::kRenumber, unpack,
                        makeStream, path, moduleTemplate);
}

}  // namespace zx
