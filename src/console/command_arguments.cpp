#include "console/command_arguments.h"

#include <windows.h>

#include <cstdlib>

#include "core/utf8.h"
#include "core/win_text.h"

namespace zx {

bool ParseNumberList(const std::u16string& text, std::vector<int64_t>& out) {
  const std::string list = ToUtf8(text);
  size_t at = 0;
  while (at <= list.size()) {
    const size_t comma = std::min(list.find(',', at), list.size());
    const std::string item = list.substr(at, comma - at);
    const size_t dash = item.find('-');
    char* end = nullptr;
    const long first = std::strtol(item.c_str(), &end, 10);
    long last = first;
    if (dash != std::string::npos) {
      if (end != item.c_str() + dash) return false;
      last = std::strtol(item.c_str() + dash + 1, &end, 10);
    }
    if (item.empty() || *end != '\0' || first < 1 || last < first || last - first > 65535) {
      return false;
    }
    for (long n = first; n <= last; ++n) out.push_back(n);
    at = comma + 1;
  }
  return !out.empty();
}

std::u16string FullPath(const std::u16string& path) {
  wchar_t full[MAX_PATH * 4];
  const DWORD length = GetFullPathNameW(Wide(path), MAX_PATH * 4, full, nullptr);
  return length > 0 && length < MAX_PATH * 4 ? FromWide(full) : path;
}

}  // namespace zx
