// The .ico image of the selected icon groups of a module (PE or NE), built in
// two passes over the groups: the first counts the icons so the directory
// can be reserved, the second writes each entry and appends its image.
#pragma once

#include "core/thread_context.h"
#include "formats/icon_module_source.h"
#include "formats/ico_writer.h"
#include "formats/icon_image_set.h"

#include <vector>
#include "formats/png_unpacker.h"
#include "imaging/byte_stream.h"

namespace zx {

// `selection` holds 1-based group numbers in enumeration order; the groups
// are written in that order whatever the order of the list.
int BuildIcoFromModule(ThreadContext& ctx, IconModuleSource& source,
                       const IconSelection& selection, int mode, const PngUnpacker& unpack,
                       const StreamFactory& makeStream, ByteStream& out);

// The 12 leading bytes of the entry a module icon gets when its entry is
// rebuilt from the image: a DIB gives its header's width (0 above 255), half
// its height (0 above 511), depth and 2^bits colours below 8 bits; a PNG gives
// 0, 0, 0 and the group entry's depth. Planes 1, size = the image's size.
int ModuleIconEntry(ThreadContext& ctx, const uint8_t* icon, uint64_t size, int groupBitCount,
                    uint8_t entry[12]);

// A group's directory with its entries checked to lie inside it: message 72
// for a group without icons, 59 for entries past its end.
int LoadGroupDirectory(ThreadContext& ctx, IconModuleSource& source, const PeResourceName& group,
                       const uint8_t*& directory, uint16_t& count);

// True when `number` is one of the selected 1-based numbers.
bool IsSelected(const IconSelection& selection, int64_t number);

}  // namespace zx

namespace zx {

// The image set of the pictures selected from one group of a module: the
// group is found among the enumerated ones by its name, its directory walked
// in entry order, and every entry whose icon id is in `iconIds` copied into
// one record. Message 70 unless every selected picture gave one record.
int BuildImageSetFromModuleGroup(ThreadContext& ctx, IconModuleSource& source,
                                 const PeResourceName& group, const std::vector<int>& iconIds,
                                 IconImageSet& set);

}  // namespace zx
