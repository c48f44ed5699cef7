#include "formats/pe_removal_plan.h"

#include <set>

#include "core/messages.h"
#include "formats/byte_reader.h"
#include "formats/ico_module_writer.h"

namespace zx {
namespace {

constexpr uint64_t kGroupHeaderBytes = 6;
constexpr uint64_t kGroupEntryBytes = 14;

bool IsType(const ModuleResource& resource, int type) {
  return !resource.type.IsString() && resource.type.id == type;
}

bool SameName(const PeResourceName& a, const PeResourceName& b) {
  return a.IsString() == b.IsString() && (a.IsString() ? a.text == b.text : a.id == b.id);
}

// The group items the removal works on: for each group name, the first
// language the set lists, in the order the names first appear.
std::vector<size_t> GroupItems(const ModuleResourceSet& module) {
  std::vector<size_t> items;
  for (size_t i = 0; i < module.size(); ++i) {
    if (!IsType(module[i], kPeTypeGroup)) continue;
    bool seen = false;
    for (size_t j : items) seen = seen || SameName(module[j].name, module[i].name);
    if (!seen) items.push_back(i);
  }
  return items;
}

// The entry count of a group directory, checked against its bytes.
int DirectoryCount(ThreadContext& ctx, const std::vector<uint8_t>& directory, uint16_t& count) {
  if (directory.size() < kGroupHeaderBytes) return Fail(ctx, kMsgOverflow, 570);
  count = ReadU16(directory.data() + 4);
  if (count == 0) return Fail(ctx, kMsgGroupWithoutIcons, 571);
  if (kGroupHeaderBytes + kGroupEntryBytes * count > directory.size()) {
    return Fail(ctx, kMsgOverflow, 572);
  }
  return 1;
}

uint16_t EntryIconId(const std::vector<uint8_t>& directory, uint16_t entry) {
  return ReadU16(directory.data() + kGroupHeaderBytes + kGroupEntryBytes * entry + 12);
}

// Every icon id listed by the directories of `module` other than the dropped
// items (a directory too short to read lists what fits).
std::set<int> ListedIcons(const ModuleResourceSet& module, const std::vector<bool>& dropped) {
  std::set<int> listed;
  for (size_t i = 0; i < module.size(); ++i) {
    if (dropped[i] || !IsType(module[i], kPeTypeGroup)) continue;
    const std::vector<uint8_t>& directory = module[i].bytes;
    if (directory.size() < kGroupHeaderBytes) continue;
    const uint64_t count = ReadU16(directory.data() + 4);
    for (uint64_t e = 0; e < count; ++e) {
      if (kGroupHeaderBytes + kGroupEntryBytes * (e + 1) > directory.size()) break;
      listed.insert(EntryIconId(directory, static_cast<uint16_t>(e)));
    }
  }
  return listed;
}

// Drops, for each id of `icons` that no kept directory lists, the icon's
// first language; then the name table; then copies what is left.
void FinishPlan(const ModuleResourceSet& module, std::vector<bool>& dropped,
                const std::set<int>& icons, ModuleResourceSet& kept) {
  const std::set<int> listed = ListedIcons(module, dropped);
  std::set<int> handled;
  for (size_t i = 0; i < module.size(); ++i) {
    const ModuleResource& resource = module[i];
    if (IsType(resource, kPeTypeIcon) && !resource.name.IsString()) {
      const int id = resource.name.id;
      if (icons.count(id) && !listed.count(id) && handled.insert(id).second) dropped[i] = true;
    }
    // Every removal drops the group names: they no longer match the groups.
    if (IsType(resource, kPeTypeIclNames) && !resource.name.IsString() &&
        resource.name.id == kPeIclNamesId) {
      dropped[i] = true;
    }
  }
  kept.clear();
  for (size_t i = 0; i < module.size(); ++i) {
    if (!dropped[i]) kept.push_back(module[i]);
  }
}

}  // namespace

int PlanPeGroupRemoval(ThreadContext& ctx, const ModuleResourceSet& module,
                       const IconSelection& groups, ModuleResourceSet& kept) {
  const std::vector<size_t> items = GroupItems(module);
  std::vector<bool> dropped(module.size(), false);
  std::set<int> icons;
  uint64_t handled = 0;
  for (size_t number = 1; number <= items.size(); ++number) {
    if (!IsSelected(groups, static_cast<int64_t>(number))) continue;
    const std::vector<uint8_t>& directory = module[items[number - 1]].bytes;
    uint16_t count = 0;
    if (!DirectoryCount(ctx, directory, count)) return 0;
    for (uint16_t e = 0; e < count; ++e) icons.insert(EntryIconId(directory, e));
    dropped[items[number - 1]] = true;
    ++handled;
  }
  if (groups.empty() || handled != groups.size()) return Fail(ctx, kMsgGroupNames, 573);
  FinishPlan(module, dropped, icons, kept);
  return 1;
}

int PlanPeIconRemoval(ThreadContext& ctx, const ModuleResourceSet& module, int64_t group,
                      const IconSelection& entries, ModuleResourceSet& kept) {
  const std::vector<size_t> items = GroupItems(module);
  if (group < 1 || group > static_cast<int64_t>(items.size())) {
    return Fail(ctx, kMsgGroupNames, 574);
  }
  const size_t item = items[group - 1];
  const std::vector<uint8_t>& directory = module[item].bytes;
  uint16_t count = 0;
  if (!DirectoryCount(ctx, directory, count)) return 0;
  uint64_t selected = 0;
  for (int64_t n = 1; n <= count; ++n) selected += IsSelected(entries, n) ? 1 : 0;
  if (entries.empty() || selected != entries.size()) return Fail(ctx, kMsgBadIconCount, 575);
  if (selected == count) return PlanPeGroupRemoval(ctx, module, IconSelection{group}, kept);

  // The header copied with the lower count, the kept entries in their order.
  std::vector<uint8_t> rewritten(directory.begin(), directory.begin() + kGroupHeaderBytes);
  WriteU16(rewritten.data() + 4, static_cast<uint16_t>(count - selected));
  std::set<int> icons;
  for (uint16_t e = 0; e < count; ++e) {
    const auto at = directory.begin() + kGroupHeaderBytes + kGroupEntryBytes * e;
    if (IsSelected(entries, e + 1)) {
      icons.insert(EntryIconId(directory, e));
    } else {
      rewritten.insert(rewritten.end(), at, at + kGroupEntryBytes);
    }
  }
  ModuleResourceSet edited = module;
  edited[item].bytes = std::move(rewritten);
  std::vector<bool> dropped(module.size(), false);
  FinishPlan(edited, dropped, icons, kept);
  return 1;
}

}  // namespace zx
