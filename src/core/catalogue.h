// The numbered user-interface texts. They live in string-table blocks of the
// program's resources: 16 texts a block, text N in block N / 16 + 1 at
// position N % 16, each a 16-bit length followed by that many UTF-16 units.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>

namespace zx {

// Text at `position` (0..15) of a string-table block; empty when the block
// ends before it or the text is empty.
std::u16string FindTextInBlock(const uint8_t* block, size_t size, int position);

// Looks a text up by number and language (1036, 2057 or 0 for the neutral texts).
using TextLookup = std::function<std::u16string(int number, int language)>;

// The language table every loop over both languages runs on, in this order.
constexpr int kLanguageTable[2] = {2057, 1036};

std::u16string TrimSpaces(const std::u16string& text);
std::u16string DecimalText(int64_t value);

// The title of a top-level window: a few kinds get their window's name in front
// of the product title.
std::u16string WindowTitleFrom(const TextLookup& lookup, int language, int kind);

}  // namespace zx
