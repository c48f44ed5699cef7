// What a written PE module holds, decided before the resource-update service
// is asked for anything: every icon group and icon with its name and bytes,
// and the group-name table. The plans are byte-level work and portable;
// putting one into a module starting from the template is the Windows side's.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "core/icon_document.h"
#include "core/thread_context.h"
#include "formats/icon_module_source.h"
#include "formats/ico_writer.h"
#include "formats/png_unpacker.h"
#include "imaging/byte_stream.h"

namespace zx {

// How an image set is grouped: 1 (and 5, .icl only) one group named 1
// holding every icon; 2 (and 6, .icl only) one group per icon.
enum PeGroupLayout : int {
  kPeOneGroup = 1,
  kPeGroupPerIcon = 2,
  kPeOneGroupIcl = 5,
  kPeGroupPerIconIcl = 6,
};
// What is written: a PE icon library or a resource-only .dll.
enum PeTargetKind : int { kPeTargetIcl = 2, kPeTargetDll = 3 };

struct PeResource {
  int type = 0;
  PeResourceName name;  // a string name, or else the number
  std::vector<uint8_t> bytes;
};

struct PeResourcePlan {
  std::vector<PeResource> resources;  // in the order they are to be added
  std::vector<uint8_t> nameTable;     // empty: no table
};

// The layout and kind checks of the image-set writer (message 5).
int CheckPeLayout(ThreadContext& ctx, int layout, int kind);

// From the .ico image in `stream`: groups by `layout`, icons 1..n.
int PlanPeFromIcoStream(ThreadContext& ctx, ByteStream& stream, int layout, PeResourcePlan& plan);

// How a module copy names what it writes.
enum class PeCopyNaming {
  // PE source: group names and icon ids unchanged, entries rebuilt from the images.
  kKeepSourceNames,
  // NE source: numeric groups named by their position among the selected,
  // icons numbered 1, 2, 3... in writing order, entries copied from the source.
  kRenumber,
};

// The selected groups of a module (1-based numbers in enumeration order)
// with their icons; PNG images unpacked when `mode` asks for it. The name
// table is built from the document's when it has one.
int PlanPeCopy(ThreadContext& ctx, IconModuleSource& source, const IconDocument& doc,
               const IconSelection& selection, int mode, PeCopyNaming naming,
               const PngUnpacker& unpack, const StreamFactory& makeStream, PeResourcePlan& plan);

}  // namespace zx
