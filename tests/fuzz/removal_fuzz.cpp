// Any bytes as the icon groups of a module and a removal request: the first
// byte picks the command and the group, the second the selection (a bit per
// number), then each group directory is a length byte and that many bytes.
// Icons 1..8 exist. Whatever the directories hold, the plan must keep every
// resource it keeps unchanged, drop every selected group, and keep every
// icon that a kept directory still lists.
#include <cstddef>
#include <cstdint>
#include <set>
#include <vector>

#include "core/thread_context.h"
#include "formats/byte_reader.h"
#include "formats/pe_removal_plan.h"

namespace {

bool Same(const zx::ModuleResource& a, const zx::ModuleResource& b) {
  return a.type.id == b.type.id && a.type.text == b.type.text && a.name.id == b.name.id &&
         a.name.text == b.name.text && a.language == b.language && a.bytes == b.bytes;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 2) return 0;
  const bool icons = data[0] & 0x80;
  const int64_t group = (data[0] & 0x07) + 1;
  zx::IconSelection selection;
  for (int bit = 0; bit < 8; ++bit) {
    if (data[1] & (1 << bit)) selection.push_back(bit + 1);
  }
  zx::ModuleResourceSet module;
  for (int id = 1; id <= 8; ++id) {
    module.push_back({{3, {}}, {id, {}}, 0, std::vector<uint8_t>(4, static_cast<uint8_t>(id))});
  }
  size_t at = 2;
  for (int id = 1; at < size && id <= 8; ++id) {
    const size_t length = data[at++];
    const size_t taken = length < size - at ? length : size - at;
    module.push_back({{14, {}}, {id, {}}, 0, std::vector<uint8_t>(data + at, data + at + taken)});
    at += taken;
  }

  zx::ThreadContext ctx;
  zx::ModuleResourceSet kept;
  const int ok = icons ? zx::PlanPeIconRemoval(ctx, module, group, selection, kept)
                       : zx::PlanPeGroupRemoval(ctx, module, selection, kept);
  if (!ok) {
    if (ctx.error == 0 || !kept.empty()) __builtin_trap();
    return 0;
  }
  // Taking out groups drops at least one resource; taking out icons may only
  // rewrite a directory when other groups still list them.
  if (kept.size() > module.size() || (!icons && kept.size() == module.size())) __builtin_trap();
  std::set<int> listed;
  for (const zx::ModuleResource& r : kept) {
    bool found = false;
    for (const zx::ModuleResource& original : module) found = found || Same(r, original);
    // Only the one edited directory may differ from the module's.
    if (!found && !(icons && r.type.id == 14 && r.name.id == group)) __builtin_trap();
    if (r.type.id == 14 && !icons && r.name.id <= 8) {
      for (int64_t n : selection) {
        if (n == r.name.id) __builtin_trap();
      }
    }
    if (r.type.id == 14 && r.bytes.size() >= 6) {
      const uint16_t count = zx::ReadU16(r.bytes.data() + 4);
      for (size_t e = 0; e < count && 6 + 14 * (e + 1) <= r.bytes.size(); ++e) {
        listed.insert(zx::ReadU16(r.bytes.data() + 6 + 14 * e + 12));
      }
    }
  }
  for (int id : listed) {
    if (id < 1 || id > 8) continue;
    bool present = false;
    for (const zx::ModuleResource& r : kept) present = present || (r.type.id == 3 && r.name.id == id);
    if (!present) __builtin_trap();
  }
  return 0;
}
