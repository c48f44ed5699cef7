// Writing PE modules that carry icons (.dll and PE .icl): the module
// template goes on disk, then the planned resources are added to it through
// the system's resource-update service, all with language 0. The module is
// made beside the target and replaces it only once complete: a failure
// abandons the update and leaves an existing target as it was.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "core/icon_document.h"
#include "core/thread_context.h"
#include "formats/pe_resource_plan.h"
#include "imaging/byte_stream.h"

namespace zx {

// Writes the template to `path` as a new file (message 31 when it cannot be
// created, 33 when it cannot be written).
int PutTemplateOnDisk(ThreadContext& ctx, const std::vector<uint8_t>& moduleTemplate,
                      const std::u16string& path);

// Template, then every resource of the plan; `deleteExisting` as the update
// service takes it. On failure the target is as it was.
int WritePeModule(ThreadContext& ctx, const std::vector<uint8_t>& moduleTemplate,
                  const std::u16string& path, bool deleteExisting, const PeResourcePlan& plan,
                  int refusedMessage);

// The image-set writer: the .ico image in `stream` as a module of `kind`
// (2 .icl, 3 .dll) whose extension `path` must carry, grouped by `layout`.
int WritePeFromIcoStream(ThreadContext& ctx, ByteStream& stream, const std::u16string& path,
                         int layout, int kind, const std::vector<uint8_t>& moduleTemplate);

// The module copiers: the selected groups of a module (1-based numbers in
// enumeration order) as a new PE module at `path`, named by `naming`, with
// the selected part of the group-name table when the source has one.
int CopyModuleToPe(ThreadContext& ctx, IconModuleSource& source, const IconDocument& doc,
                   const IconSelection& selection, int mode, PeCopyNaming naming,
                   const PngUnpacker& unpack, const StreamFactory& makeStream,
                   const std::u16string& path, const std::vector<uint8_t>& moduleTemplate);

// An opened NE document's selected groups as a PE module.
int CopyNeToPe(ThreadContext& ctx, IconDocument& doc, const IconSelection& selection, int mode,
               const PngUnpacker& unpack, const StreamFactory& makeStream,
               const std::u16string& path, const std::vector<uint8_t>& moduleTemplate);

}  // namespace zx
