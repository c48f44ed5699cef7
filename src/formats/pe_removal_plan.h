// What stays in a PE module after icon groups or single icons are taken out
// of it. The module's whole resource set (every type, name and language with
// its bytes) goes in; the set to write back comes out, every kept resource
// unchanged and in its order. Removal rewrites the module from that set, so
// the outcome does not depend on how the system deletes single resources.
#pragma once

#include <cstdint>
#include <vector>

#include "core/thread_context.h"
#include "formats/ico_writer.h"
#include "formats/resource_types.h"

namespace zx {

struct ModuleResource {
  PeResourceName type;
  PeResourceName name;
  uint16_t language = 0;
  std::vector<uint8_t> bytes;
};
using ModuleResourceSet = std::vector<ModuleResource>;

// Takes out the selected groups (1-based, in the order the set lists the
// groups) and their icons; an icon that a kept group still lists is kept.
// The group-name table goes too. Message 83 when the selection names a group
// the set does not have, 72 for a group without icons, 59 for a directory
// that runs past its resource.
int PlanPeGroupRemoval(ThreadContext& ctx, const ModuleResourceSet& module,
                       const IconSelection& groups, ModuleResourceSet& kept);

// Takes the selected entries (1-based, directory order) out of group `group`:
// its directory keeps the other entries in order under the same name and
// language; the selected icons go unless a directory still lists them. With
// every entry selected the group itself goes, as above.
int PlanPeIconRemoval(ThreadContext& ctx, const ModuleResourceSet& module, int64_t group,
                      const IconSelection& entries, ModuleResourceSet& kept);

}  // namespace zx
