// UTF-8 <-> UTF-16 for files and the console.
#pragma once

#include <string>

namespace zx {

// Unpaired surrogates become U+FFFD.
std::string ToUtf8(const std::u16string& text);
// Invalid sequences become U+FFFD.
std::u16string FromUtf8(const std::string& text);

}  // namespace zx
