// What the writers need from a module that holds icon groups, whichever way
// it is read: the groups in the order the readers list them, each group's
// directory, and the icon resources by id. The NE reader provides one over
// the file image; the loader provides one for PE modules.
#pragma once

#include <cstdint>
#include <functional>
#include <string>

#include "core/thread_context.h"
#include "formats/resource_types.h"

namespace zx {


class IconModuleSource {
 public:
  virtual ~IconModuleSource() = default;
  // Visits every icon group in enumeration order; a visitor returning 0
  // stops the walk and the call returns 0.
  virtual int ForEachGroup(ThreadContext& ctx,
                           const std::function<int(const PeResourceName&)>& visit) = 0;
  // The group's directory: a 6-byte header (reserved, type, count) and
  // 14-byte entries (width, height, colour count, reserved, planes, bit
  // count, size, icon id). Messages 66, 67, 68 when it cannot be had.
  virtual int GroupDirectory(ThreadContext& ctx, const PeResourceName& group,
                             const uint8_t*& data, uint64_t& size) = 0;
  // The icon resource `id` (messages 66, 67, 68, 69 when it cannot be had).
  virtual int IconData(ThreadContext& ctx, int id, const uint8_t*& data, uint64_t& size) = 0;
};

}  // namespace zx
