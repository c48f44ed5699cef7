#include "formats/pe_resource_set_win.h"

#include <windows.h>

#include "core/messages.h"
#include "core/win_handles.h"
#include "core/win_text.h"
#include "formats/resource_update_win.h"
#include "ops/file_output_win.h"

namespace zx {
namespace {

PeResourceName NameOf(LPCWSTR name) {
  PeResourceName ref;
  if (IS_INTRESOURCE(name)) {
    ref.id = LOWORD(reinterpret_cast<ULONG_PTR>(name));
  } else {
    ref.text = FromWide(name);
  }
  return ref;
}

struct Walk {
  ThreadContext* ctx;
  HMODULE module;
  ModuleResourceSet* set;
  std::vector<PeResourceName> types;
  std::vector<std::pair<PeResourceName, WORD>> items;  // of the type being walked
  bool failed = false;
};

int ReadItem(ThreadContext& ctx, HMODULE module, const PeResourceName& type,
             const PeResourceName& name, WORD language, ModuleResource& out) {
  HRSRC found = FindResourceExW(module, ResourceName(type), ResourceName(name), language);
  if (!found) return Fail(ctx, kMsgResourceFind, 580);
  HGLOBAL loaded = LoadResource(module, found);
  if (!loaded) return Fail(ctx, kMsgResourceLoad, 581);
  const DWORD size = SizeofResource(module, found);
  const auto* bytes = static_cast<const uint8_t*>(LockResource(loaded));
  if (!bytes && size != 0) return Fail(ctx, kMsgResourceAddress, 582);
  out.type = type;
  out.name = name;
  out.language = language;
  out.bytes.assign(bytes, bytes + size);
  return 1;
}

}  // namespace

int ReadModuleResources(ThreadContext& ctx, const std::u16string& path, ModuleResourceSet& set) {
  set.clear();
  UniqueModule module(LoadLibraryExW(Wide(path), nullptr, LOAD_LIBRARY_AS_DATAFILE));
  if (!module) return Fail(ctx, kMsgResourceLoadFile, 583);
  Walk walk{&ctx, module.get(), &set, {}, {}, false};
  // A module without resources enumerates nothing, which is no failure.
  EnumResourceTypesW(
      module.get(),
      [](HMODULE, LPWSTR type, LONG_PTR param) -> BOOL {
        reinterpret_cast<Walk*>(param)->types.push_back(NameOf(type));
        return TRUE;
      },
      reinterpret_cast<LONG_PTR>(&walk));
  for (const PeResourceName& type : walk.types) {
    walk.items.clear();
    const BOOL listed = EnumResourceNamesW(
        module.get(), ResourceName(type),
        [](HMODULE m, LPCWSTR t, LPWSTR name, LONG_PTR param) -> BOOL {
          auto* w = reinterpret_cast<Walk*>(param);
          const PeResourceName ref = NameOf(name);
          const size_t before = w->items.size();
          EnumResourceLanguagesW(
              m, t, name,
              [](HMODULE, LPCWSTR, LPCWSTR n, WORD language, LONG_PTR p) -> BOOL {
                reinterpret_cast<Walk*>(p)->items.emplace_back(NameOf(n), language);
                return TRUE;
              },
              param);
          if (w->items.size() == before) w->failed = true;  // a name with no language
          return !w->failed;
        },
        reinterpret_cast<LONG_PTR>(&walk));
    if (!listed || walk.failed) return Fail(ctx, kMsgResourceEnum, 584);
    for (const auto& [name, language] : walk.items) {
      ModuleResource item;
      if (!ReadItem(ctx, module.get(), type, name, language, item)) return 0;
      set.push_back(std::move(item));
    }
  }
  return 1;
}

int RewriteModuleResources(ThreadContext& ctx, const std::u16string& path,
                           const ModuleResourceSet& set) {
  ResourceUpdate update(BeginUpdateResourceW(Wide(path), TRUE));
  if (!update.get()) return Fail(ctx, kMsgUpdateResource, 585);
  for (const ModuleResource& item : set) {
    if (!UpdateResourceW(update.get(), ResourceName(item.type), ResourceName(item.name),
                         item.language, const_cast<uint8_t*>(item.bytes.data()),
                         static_cast<DWORD>(item.bytes.size()))) {
      return Fail(ctx, kMsgUpdateResource, 586);
    }
  }
  if (FileOutputFaults(FileOutputStage::kResourceUpdate) || !update.Commit()) {
    return Fail(ctx, kMsgUpdateResource, 587);
  }
  return 1;
}

}  // namespace zx
