#include "formats/pe_module_source_win.h"

#include <vector>

#include "core/messages.h"
#include "formats/pe_reader_win.h"

namespace zx {

int PeModuleSource::ForEachGroup(ThreadContext& ctx,
                                 const std::function<int(const PeResourceName&)>& visit) {
  // Groups in the order the system enumerates them, as the group list shows them.
  std::vector<PeResourceName> names;
  if (!EnumeratePeNames(ctx, doc_, kPeTypeGroup, names, 620, 621)) return 0;
  for (const PeResourceName& name : names) {
    if (!visit(name)) return 0;
  }
  return 1;
}

int PeModuleSource::GroupDirectory(ThreadContext& ctx, const PeResourceName& group,
                                   const uint8_t*& data, uint64_t& size) {
  return PeResourceData(ctx, doc_, group, kPeTypeGroup, data, size, 622);
}

int PeModuleSource::IconData(ThreadContext& ctx, int id, const uint8_t*& data, uint64_t& size) {
  PeResourceName name;
  name.id = id;
  return PeResourceData(ctx, doc_, name, kPeTypeIcon, data, size, 626);
}

}  // namespace zx
