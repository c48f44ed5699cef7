// Writing UTF-8 text to the console or to a pipe.
#pragma once

#include <string>

namespace zx {

void WriteOut(const std::string& utf8);
void WriteErr(const std::string& utf8);
// A JSON string literal (quotes included) of UTF-8 text.
std::string JsonString(const std::string& utf8);

}  // namespace zx
