#include "wine/pe_fixture.h"

#include <windows.h>

#include "core/win_text.h"
#include "support/document_fixture.h"

namespace zx::testing {
namespace {

std::vector<uint8_t> GroupDirectory(const PeFixture& fixture, const PeFixtureGroup& group) {
  std::vector<uint8_t> dir;
  PutU32(dir, 0, group.header);
  PutU16(dir, 4, group.countOverride >= 0 ? group.countOverride : static_cast<uint32_t>(group.iconIds.size()));
  for (size_t i = 0; i < group.iconIds.size(); ++i) {
    const size_t at = 6 + 14 * i;
    dir.resize(at + 14, 0);
    int bitCount = 32;
    uint32_t size = 0;
    for (const PeFixtureIcon& icon : fixture.icons) {
      if (icon.id == group.iconIds[i]) {
        bitCount = icon.bitCount;
        size = static_cast<uint32_t>(icon.bytes.size());
      }
    }
    PutU16(dir, at + 4, 1);
    PutU16(dir, at + 6, static_cast<uint32_t>(bitCount));
    PutU32(dir, at + 8, size);
    PutU16(dir, at + 12, static_cast<uint32_t>(group.iconIds[i]));
  }
  return dir;
}

bool Add(HANDLE update, const wchar_t* type, const wchar_t* name, const void* data, size_t size) {
  return UpdateResourceW(update, type, name, MAKELANGID(LANG_NEUTRAL, SUBLANG_NEUTRAL), const_cast<void*>(data),
                         static_cast<DWORD>(size));
}

}  // namespace

std::u16string SystemModuleWithoutIcons() {
  wchar_t folder[MAX_PATH];
  GetSystemDirectoryW(folder, MAX_PATH);
  return FromWide(folder) + u"\\amsi.dll";
}

std::u16string BuildPeModule(const TempFolder& folder, const std::u16string& name, const PeFixture& fixture) {
  const std::u16string path = folder.path() + name;
  if (!CopyFileW(Wide(SystemModuleWithoutIcons()), Wide(path), FALSE)) return u"";
  HANDLE update = BeginUpdateResourceW(Wide(path), TRUE);
  if (!update) return u"";
  bool ok = true;
  for (const PeFixtureIcon& icon : fixture.icons) {
    ok = ok && Add(update, RT_ICON, MAKEINTRESOURCEW(icon.id), icon.bytes.data(), icon.bytes.size());
  }
  for (const PeFixtureGroup& group : fixture.groups) {
    const std::vector<uint8_t> dir = GroupDirectory(fixture, group);
    const wchar_t* id = group.name.empty() ? MAKEINTRESOURCEW(group.id) : Wide(group.name);
    ok = ok && Add(update, RT_GROUP_ICON, id, dir.data(), dir.size());
  }
  for (const PeFixtureNameTable& table : fixture.nameTables) {
    ok = ok && Add(update, MAKEINTRESOURCEW(301), MAKEINTRESOURCEW(table.id), table.bytes.data(), table.bytes.size());
  }
  if (!EndUpdateResourceW(update, !ok) || !ok) return u"";
  return path;
}

}  // namespace zx::testing
