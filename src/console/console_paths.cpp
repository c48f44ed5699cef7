#include "console/console_paths.h"

#include <windows.h>

#include "core/win_text.h"

namespace zx {

std::u16string FullPath(const std::u16string& path) {
  wchar_t full[MAX_PATH * 4];
  const DWORD length = GetFullPathNameW(Wide(path), MAX_PATH * 4, full, nullptr);
  return length > 0 && length < MAX_PATH * 4 ? FromWide(full) : path;
}

}  // namespace zx
