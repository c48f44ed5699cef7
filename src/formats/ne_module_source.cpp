#include "formats/ne_module_source.h"

#include "core/messages.h"
#include "formats/ne_reader.h"

namespace zx {

int NeModuleSource::ForEachGroup(ThreadContext& ctx,
                                 const std::function<int(const PeResourceName&)>& visit) {
  // Groups are visited in resource-table order, as the group list shows them.
  return ForEachNeResource(ctx, doc_, kNeTypeGroup, [&](IconDocument&, int, int id) {
    PeResourceName group;
    group.id = id;
    return visit(group);
  });
}

int NeModuleSource::Resource(ThreadContext& ctx, int type, int id, const uint8_t*& data,
                             uint64_t& size, int site) {
  const uint8_t* entry = FindNeResource(ctx, doc_, id, type);
  if (!entry) return Fail(ctx, kMsgResourceFind, site);
  data = NeResourceData(ctx, doc_, entry);
  if (!data) return Fail(ctx, kMsgResourceAddress, site + 1);
  const int64_t length = NeResourceLength(ctx, doc_, entry);
  if (length <= 0) return Fail(ctx, kMsgResourceSize, site + 2);
  size = static_cast<uint64_t>(length);
  return 1;
}

int NeModuleSource::GroupDirectory(ThreadContext& ctx, const PeResourceName& group,
                                   const uint8_t*& data, uint64_t& size) {
  return Resource(ctx, kNeTypeGroup, group.id, data, size, 460);
}

int NeModuleSource::IconData(ThreadContext& ctx, int id, const uint8_t*& data, uint64_t& size) {
  return Resource(ctx, kNeTypeIcon, id, data, size, 463);
}

}  // namespace zx
