// The group names of an icon library as the writers pass them on: the length
// byte 3 and "ICL", then one length-prefixed name per group. A library
// written from a selection keeps the names of the selected groups only.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "formats/ico_writer.h"

namespace zx {

// From a source table (`table` as the readers keep it: 3, "ICL" and the
// entries, one character per byte), the tag and the entries of the selected
// groups, in table order. When every one of the `groupCount` groups is
// selected the entries are copied whole; otherwise entries are numbered from
// 1 and the walk stops at a zero length or at the end of the table. The
// caller adds the closing zero bytes its format wants.
std::vector<uint8_t> SelectIclNameEntries(const std::u16string& table,
                                          const IconSelection& selection, int64_t groupCount);

}  // namespace zx
