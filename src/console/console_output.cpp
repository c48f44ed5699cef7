#include "console/console_output.h"

#include <windows.h>

#include <cstdio>

namespace zx {
namespace {

void WriteTo(DWORD which, const std::string& utf8) {
  HANDLE out = GetStdHandle(which);
  DWORD mode = 0;
  if (GetConsoleMode(out, &mode)) {
    // A real console wants UTF-16.
    const int length = MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), nullptr, 0);
    std::wstring wide(static_cast<size_t>(length), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), wide.data(), length);
    DWORD written = 0;
    WriteConsoleW(out, wide.data(), static_cast<DWORD>(wide.size()), &written, nullptr);
    return;
  }
  DWORD written = 0;
  WriteFile(out, utf8.data(), static_cast<DWORD>(utf8.size()), &written, nullptr);
}

}  // namespace

void WriteOut(const std::string& utf8) { WriteTo(STD_OUTPUT_HANDLE, utf8); }
void WriteErr(const std::string& utf8) { WriteTo(STD_ERROR_HANDLE, utf8); }

std::string JsonString(const std::string& utf8) {
  std::string out = "\"";
  for (const unsigned char c : utf8) {
    switch (c) {
      case '"': out += "\\\""; break;
      case '\\': out += "\\\\"; break;
      case '\n': out += "\\n"; break;
      case '\r': out += "\\r"; break;
      case '\t': out += "\\t"; break;
      default:
        if (c < 0x20) {
          char escape[8];
          std::snprintf(escape, sizeof escape, "\\u%04x", c);
          out += escape;
        } else {
          out += static_cast<char>(c);
        }
    }
  }
  return out + "\"";
}

}  // namespace zx
