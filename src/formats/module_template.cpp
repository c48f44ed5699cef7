#include "formats/module_template.h"

#include <algorithm>

namespace zx {

int StampAboutLine(std::vector<uint8_t>& moduleTemplate, std::string_view ansiLine) {
  if (moduleTemplate.size() < kStubMessageEnd) return 0;
  if (ansiLine.empty()) return 1;
  const size_t length = std::min(ansiLine.size(), kStubMessageEnd - kStubMessageOffset - 1);
  std::copy_n(ansiLine.begin(), length, moduleTemplate.begin() + kStubMessageOffset);
  moduleTemplate[kStubMessageOffset + length] = 0;
  return 1;
}

}  // namespace zx
