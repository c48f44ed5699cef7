// Which Windows versions Zorvex runs on: XP (NT 5.1) and everything after.
#pragma once

#include <windows.h>

namespace zx {

// Windows 95/98/Me, NT 3, NT 4 and 2000 are too old; XP, later and
// unrecognised NT versions pass.
inline bool IsWindowsVersionSupported(DWORD platformId, DWORD major, DWORD minor) {
  if (platformId == VER_PLATFORM_WIN32_WINDOWS || platformId == VER_PLATFORM_WIN32s) return false;
  if (platformId != VER_PLATFORM_WIN32_NT) return true;
  return major > 5 || (major == 5 && minor >= 1);
}

// The running system's version; a failing query counts as supported.
inline bool IsRunningWindowsSupported() {
  OSVERSIONINFOA version = {};
  version.dwOSVersionInfoSize = sizeof(version);
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
  if (!GetVersionExA(&version)) return true;
#pragma GCC diagnostic pop
  return IsWindowsVersionSupported(version.dwPlatformId, version.dwMajorVersion, version.dwMinorVersion);
}

}  // namespace zx
