// Reading 16-bit NE modules and NE icon libraries in place: the whole file sits
// in the document's buffer; resources are found by type and id in the NE
// resource table and handed out as addresses into that buffer.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "core/icon_document.h"
#include "core/thread_context.h"
#include "formats/group_image.h"

namespace zx {

// Numeric resource types (low 15 bits of a type id).
constexpr int kNeTypeIcon = 3;
constexpr int kNeTypeGroup = 14;

constexpr int kNeTypeEntryHeader = 8;  // type id, count, reserved
constexpr int kNeResourceEntrySize = 12;
constexpr int kNeMaxAlignShift = 10;

// File-level check run after the whole file is loaded.
// 1: a valid NE document (groupCount, iconCount, namedGroups, groupNames,
//    container = 4 and the header fields are set);
// 4: an NE file without a usable icon group (error set, buffer released);
// 0: failure (error set, buffer released).
int CheckNe(ThreadContext& ctx, IconDocument& doc);

// The type entry whose low 15 bits equal `type`, walking from `start`, or
// nullptr (an id without the high bit, the closing 0 included, ends the walk).
uint8_t* FindNeType(ThreadContext& ctx, const IconDocument& doc, const uint8_t* start, int type);

// The resource entry of `type` (3 or 14) with `id` (high bit ignored), or
// nullptr. Clears the high bit of every id it compares in the buffer itself.
uint8_t* FindNeResource(ThreadContext& ctx, IconDocument& doc, int id, int type);

// Address of the entry's data (data offset << alignShift), or nullptr.
const uint8_t* NeResourceData(ThreadContext& ctx, const IconDocument& doc, const uint8_t* entry);

// Byte length of the entry's data, or 0: a PNG image is measured by its chunks,
// anything else is the stored length in alignment units, cut at the end of the
// buffer.
int64_t NeResourceLength(ThreadContext& ctx, const IconDocument& doc, const uint8_t* entry);

// Called with the id (high bit cleared) of every resource entry of one type,
// in table order; returning 0 stops the walk.
using NeResourceCallback = std::function<int(IconDocument& doc, int type, int id)>;
int ForEachNeResource(ThreadContext& ctx, IconDocument& doc, int type,
                      const NeResourceCallback& callback);

// 1 when the file carries a complete ICL names area (one name per group);
// then groupNames holds it. 0 otherwise, with groupNames empty.
int CheckNeIclNames(ThreadContext& ctx, IconDocument& doc);

// Called once per icon group with its label and id; `named` tells whether the
// label comes from the ICL names area. Returning 0 stops the walk.
using NeGroupCallback =
    std::function<int(IconDocument& doc, const std::u16string& label, int groupId, bool named)>;

// Every group with its name from the ICL names area.
int ForEachNeNamedGroup(ThreadContext& ctx, IconDocument& doc, const NeGroupCallback& builder);
// Every group labelled "#" and its id (the plain pass).
int ForEachNeGroup(ThreadContext& ctx, IconDocument& doc, const NeGroupCallback& builder);
// The pass the document calls for: named when namedGroups is 1, else plain.
int ForEachNeDocumentGroup(ThreadContext& ctx, IconDocument& doc, const NeGroupCallback& builder);

// One image of a group, as its directory entry and its data give it.
using NeImage = GroupImage;

struct NeGroup {
  int id = 0;
  const uint8_t* directory = nullptr;  // 6-byte header followed by the entries
  int count = 0;
  std::vector<NeImage> images;  // in directory order
};

// Who reads the group: each reports failures with its own sites.
enum class NeGroupReader { kThumbnail, kImagePane };

// Reads group `groupId` and every image it lists. The thumbnail reader also
// sets the document's hasPng when it meets a PNG image.
int ReadNeGroup(ThreadContext& ctx, IconDocument& doc, int groupId, NeGroupReader reader,
                NeGroup& group);

}  // namespace zx
