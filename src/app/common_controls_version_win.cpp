#include "app/common_controls_version_win.h"

#include <algorithm>
#include <string>
#include <vector>

#include "core/win_text.h"

namespace zx {
namespace {

char16_t Lower(char16_t c) { return (c >= u'A' && c <= u'Z') ? c + (u'a' - u'A') : c; }

int FileMajorVersion(const wchar_t* path) {
  DWORD ignored = 0;
  const DWORD size = GetFileVersionInfoSizeW(path, &ignored);
  if (size == 0) return 0;
  std::vector<uint8_t> info(size);
  if (!GetFileVersionInfoW(path, 0, size, info.data())) return 0;
  VS_FIXEDFILEINFO* fixed = nullptr;
  UINT fixedSize = 0;
  if (!VerQueryValueW(info.data(), L"\\", reinterpret_cast<void**>(&fixed), &fixedSize) || !fixed ||
      fixedSize < sizeof(VS_FIXEDFILEINFO)) {
    return 0;
  }
  return HIWORD(fixed->dwFileVersionMS);
}

}  // namespace

bool IsCommonControlsVersionAccepted(uint64_t reportedVersion, int moduleMajorVersion) {
  return reportedVersion >= PackedVersion(6, 0) || moduleMajorVersion >= 6;
}

int SideBySideMajorVersion(std::u16string_view modulePath) {
  std::u16string path(modulePath);
  std::transform(path.begin(), path.end(), path.begin(), Lower);
  constexpr std::u16string_view kFolder = u"\\winsxs\\";
  constexpr std::u16string_view kAssembly = u"microsoft.windows.common-controls_";
  const size_t folder = path.find(kFolder);
  if (folder == std::u16string::npos) return 0;
  const size_t assembly = path.find(kAssembly, folder + kFolder.size());
  if (assembly == std::u16string::npos || path.find(u'\\', folder + kFolder.size()) < assembly) return 0;
  // After the name: the public key token, "_", then the version.
  const size_t token = assembly + kAssembly.size();
  const size_t version = path.find(u'_', token);
  if (version == std::u16string::npos || version + 1 >= path.size()) return 0;
  int major = 0;
  size_t i = version + 1;
  for (; i < path.size() && path[i] >= u'0' && path[i] <= u'9' && major < 1000; ++i) major = major * 10 + (path[i] - u'0');
  return (i > version + 1 && i < path.size() && path[i] == u'.') ? major : 0;
}

int LoadedModuleMajorVersion(HMODULE module) {
  wchar_t path[MAX_PATH] = {};
  const DWORD length = GetModuleFileNameW(module, path, MAX_PATH);
  if (length == 0 || length >= MAX_PATH) return 0;
  return std::max(FileMajorVersion(path), SideBySideMajorVersion(FromWide(path)));
}

}  // namespace zx
