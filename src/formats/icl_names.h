// Group names of icon libraries: the length-prefixed ANSI names that follow
// the tag 03 "ICL", in the NE names area and in the PE name-table resource,
// and the labels the group list shows for named and numbered groups.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "core/thread_context.h"

namespace zx {

// Length 3 and "ICL": the start of every names list.
inline constexpr uint8_t kIclTag[4] = {0x03, 'I', 'C', 'L'};

// ANSI bytes as text: each byte becomes one UTF-16 unit of the same value, so
// the writers get the exact bytes back.
std::u16string AnsiText(const uint8_t* bytes, uint64_t length);

// The label of a named group: its name, or nothing when the name starts with
// the byte 03.
std::u16string IclNameLabel(const uint8_t* name, uint64_t length);

// The label of a numbered group: "#" and the number in decimal.
std::u16string GroupNumberLabel(int id);

// The name-table resource as text: its bytes up to the first 0 byte.
std::u16string IclNameTableText(const uint8_t* data, uint64_t size);

// How many names the text (as IclNameTableText gives it) lists after its tag;
// a name that runs past the end is counted and ends the count. -1 when the
// text does not start with the tag.
int64_t CountIclNames(const std::u16string& text);

// The labels of the first `count` names of a name-table resource. 0 on the
// first fault, with message 83 and the site that names it: 8 no tag, 9 a
// length byte past the end, 10 a length of 0, 11 a name running past the end.
int ReadIclNameTableLabels(ThreadContext& ctx, const uint8_t* data, uint64_t size, size_t count,
                           std::vector<std::u16string>& labels);

}  // namespace zx
