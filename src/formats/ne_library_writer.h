// Writing 16-bit NE icon libraries: a minimal MZ + NE module whose resource
// table lists the icon groups and icons, followed by the names area and the
// resources, each placed on a multiple of the alignment unit (2^shift bytes)
// so that every offset and length fits in 16 bits. One layout engine serves
// .ico, NE and PE sources; each source first becomes a plan.
#pragma once

#include <array>
#include <cstdint>
#include <deque>
#include <vector>

#include "core/icon_document.h"
#include "core/thread_context.h"
#include "formats/icon_module_source.h"
#include "formats/ico_writer.h"
#include "formats/png_unpacker.h"
#include "imaging/byte_stream.h"

namespace zx {

// The MZ header (new-header offset 0x40) and the NE header of every library.
constexpr size_t kNeLibraryHeaderBytes = 128;
extern const std::array<uint8_t, kNeLibraryHeaderBytes> kNeLibraryHeader;
// Where the NE header keeps the resident-name table offset (relative to 0x40).
constexpr uint64_t kNeNamesOffsetField = 0x66;
// The largest library: 64 MiB less one byte.
constexpr uint64_t kNeLibraryMaxBytes = 0x3FFFFFF;
// Group and icon ids are 0x8000 + k in 16 bits.
constexpr uint64_t kNeLibraryMaxResources = 0x7FFF;

struct NeLibraryIcon {
  const uint8_t* bytes = nullptr;
  uint64_t size = 0;
  // What the size check counts: the size, or for a PNG unpacked to a DIB the
  // DIB without its 40-byte header.
  uint64_t checkedSize = 0;
  // Width, height, colour count, reserved, planes, bit count, size.
  std::array<uint8_t, 12> entry{};
};

struct NeLibraryGroup {
  std::array<uint8_t, 6> header{};  // reserved, type, count
  std::vector<size_t> icons;        // indices into the plan's icons
};

struct NeLibraryPlan {
  std::vector<NeLibraryGroup> groups;
  std::vector<NeLibraryIcon> icons;
  std::vector<uint8_t> names;  // the whole names area
  std::deque<std::vector<uint8_t>> unpackedImages;  // owns unpacked DIBs
};

// Each selected image of an .ico document becomes a group of its own.
int PlanNeLibraryFromIco(ThreadContext& ctx, const IconDocument& doc,
                         const IconSelection& selection, int mode, const PngUnpacker& unpack,
                         const StreamFactory& makeStream, NeLibraryPlan& plan);

// Each selected group of a module (1-based numbers in enumeration order)
// with all its icons; the names of the selected groups come from the
// document's name table when it has one.
int PlanNeLibraryFromModule(ThreadContext& ctx, IconModuleSource& source,
                            const IconDocument& doc, const IconSelection& selection, int mode,
                            const PngUnpacker& unpack, const StreamFactory& makeStream,
                            NeLibraryPlan& plan);

// The smallest shift whose 16-bit offsets reach `total` bytes, or -1 when
// even shift 10 cannot.
int NeLibraryShiftFor(uint64_t total);

// Where each resource goes: offsets and lengths in alignment units.
struct NeLibraryLayout {
  int shift = 0;
  uint64_t namesOffset = 0;
  std::vector<uint16_t> groupOffsets, groupLengths, iconOffsets, iconLengths;
};

// Size check and layout (message 87 when the library would be too large).
int LayOutNeLibrary(ThreadContext& ctx, const NeLibraryPlan& plan, NeLibraryLayout& layout);

// The whole library, written at the start of an empty `out`.
int WriteNeLibrary(ThreadContext& ctx, const NeLibraryPlan& plan, ByteStream& out);

// The stored library without any group or icon (156 bytes), written when
// removal takes out the only group of a library that holds further icons.
constexpr size_t kNeEmptyLibraryBytes = 156;
std::vector<uint8_t> EmptyNeLibrary();

// Removal: the names area without names, since the kept groups no longer
// match the library's name list.
void DropNeLibraryNames(NeLibraryPlan& plan);

// Removal: takes the selected entries (1-based, directory order) and their
// icons out of plan group `group` (0-based), lowering its count. Message 70
// when the selection names entries the group does not have.
int DropNeLibraryIcons(ThreadContext& ctx, NeLibraryPlan& plan, size_t group,
                       const IconSelection& entries);

}  // namespace zx
