// Whether the loaded common controls are version 6 or later. Wine's
// version-6 library reports 5.81 through DllGetVersion and in its file
// version, so the side-by-side folder it was loaded from counts as well.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string_view>

namespace zx {

// DLLVERSIONINFO2's packed 64-bit version: 16 bits each of major, minor,
// build and QFE.
constexpr uint64_t PackedVersion(uint16_t major, uint16_t minor) {
  return (static_cast<uint64_t>(major) << 48) | (static_cast<uint64_t>(minor) << 32);
}

// `reportedVersion`: what DllGetVersion reported (0 when it failed);
// `moduleMajorVersion`: the version the loaded module is known by otherwise
// (see LoadedModuleMajorVersion; 0 when unknown).
bool IsCommonControlsVersionAccepted(uint64_t reportedVersion, int moduleMajorVersion);

// The major version of the side-by-side assembly a module path lies in, such
// as 6 for "...\winsxs\amd64_microsoft.windows.common-controls_6595b64144ccf1df_6.0.2600.2982_none_x\comctl32.dll";
// 0 for a path outside such a folder.
int SideBySideMajorVersion(std::u16string_view modulePath);

// The larger of the loaded module's file version and its side-by-side
// assembly version (major numbers; 0 when neither is known).
int LoadedModuleMajorVersion(HMODULE module);

}  // namespace zx
