#include "formats/icl_name_table.h"

#include <algorithm>

#include "formats/ico_module_writer.h"

namespace zx {
namespace {

constexpr uint8_t kIclTag[4] = {3, 'I', 'C', 'L'};

bool EverySelected(const IconSelection& selection, int64_t groupCount) {
  if (groupCount <= 0) return false;
  for (int64_t n = 1; n <= groupCount; ++n) {
    if (!IsSelected(selection, n)) return false;
  }
  return true;
}

}  // namespace

std::vector<uint8_t> SelectIclNameEntries(const std::u16string& table,
                                          const IconSelection& selection, int64_t groupCount) {
  std::vector<uint8_t> bytes(table.size());
  std::transform(table.begin(), table.end(), bytes.begin(),
                 [](char16_t c) { return static_cast<uint8_t>(c); });
  std::vector<uint8_t> out(kIclTag, kIclTag + 4);
  if (bytes.size() < 4 || !std::equal(kIclTag, kIclTag + 4, bytes.begin())) return out;
  if (EverySelected(selection, groupCount)) {
    out.insert(out.end(), bytes.begin() + 4, bytes.end());
    return out;
  }
  size_t at = 4;
  for (int64_t number = 1; at < bytes.size() && bytes[at] != 0; ++number) {
    const size_t length = bytes[at];
    if (at + 1 + length > bytes.size()) break;  // a name cut short ends the table
    if (IsSelected(selection, number)) {
      out.insert(out.end(), bytes.begin() + static_cast<ptrdiff_t>(at),
                 bytes.begin() + static_cast<ptrdiff_t>(at + 1 + length));
    }
    at += 1 + length;
  }
  return out;
}

}  // namespace zx
