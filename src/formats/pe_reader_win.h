// Reading the icon groups of modules the system loader accepts (32- and 64-bit
// PE files and PE icon libraries) through the loader's resource services:
// the document's base is the module handle, and every image handed out points
// into the loaded module.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "core/icon_document.h"
#include "core/thread_context.h"
#include "formats/group_image.h"
#include "formats/resource_types.h"

namespace zx {

// What the group list shows for a group the name table does not name: its
// string name, or "#" and its number.
std::u16string PeGroupLabel(const PeResourceName& name);

// The names of every resource of `type`, in the order the system enumerates
// them; a module without such resources gives an empty list. On failure:
// message 65 at `enumerationSite`, or message 4 at `callbackSite` when the
// enumeration called back for another module or type.
int EnumeratePeNames(ThreadContext& ctx, const IconDocument& doc, int type,
                     std::vector<PeResourceName>& names, int enumerationSite, int callbackSite);

// The check run right after the module is loaded: counts groups and images
// and recognises the library name table. On failure the module is freed.
int CheckPeModule(ThreadContext& ctx, IconDocument& doc);

// One resource's bytes in the loaded module: found (message 66 at `site`),
// loaded (67 at site + 1), locked (68 at site + 2) and sized (69 at site + 3).
int PeResourceData(ThreadContext& ctx, const IconDocument& doc, const PeResourceName& name,
                   int type, const uint8_t*& data, uint64_t& size, int site);

// Frees the loaded module of a PE document.
void ReleasePeModule(IconDocument& doc);

// 1 when the module's name table names every group (groupNames holds it), or
// when it has no name table but a group named by a string. 0 otherwise.
int ReadIclNameTable(ThreadContext& ctx, IconDocument& doc);

// Called once per group; `named` tells whether the label comes from the
// library's name table. Returning 0 with an error set stops the walk.
using PeGroupCallback = std::function<int(IconDocument& doc, const std::u16string& label,
                                          const PeResourceName& group, bool named)>;

// Every group in enumeration order, labelled by its string name or number.
// A builder that fails without an error lets the walk go on.
int ForEachGroup(ThreadContext& ctx, IconDocument& doc, const PeGroupCallback& builder);
// Every group labelled with its name from the name table. Every failure is
// message 83; a builder that fails without an error ends the walk early.
int ForEachNamedGroup(ThreadContext& ctx, IconDocument& doc, const PeGroupCallback& builder);
// The named pass when the document has a name list, else the plain one; a
// named pass that fails with message 83 hands over to the plain pass (and the
// document is no longer named).
int ForEachPeDocumentGroup(ThreadContext& ctx, IconDocument& doc, const PeGroupCallback& builder);

struct PeGroup {
  PeResourceName name;
  const uint8_t* directory = nullptr;  // 6-byte header followed by the entries
  int count = 0;
  std::vector<GroupImage> images;  // in directory order
};

// Who reads the group: each reports failures with its own sites.
enum class PeGroupReader { kThumbnail, kImagePane };

// Reads a group and every image it lists. The thumbnail reader also marks the
// document's hasPng and stringNamedGroups when it meets a PNG image or a
// group named by a string.
int ReadGroup(ThreadContext& ctx, IconDocument& doc, const PeResourceName& name, PeGroupReader reader,
              PeGroup& group);

// The thumbnail's checks on the image that stands for its group.
int CheckPeThumbnailImage(ThreadContext& ctx, const GroupImage& image);

}  // namespace zx
