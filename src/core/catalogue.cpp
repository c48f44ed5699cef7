#include "core/catalogue.h"

namespace zx {

std::u16string FindTextInBlock(const uint8_t* block, size_t size, int position) {
  if (!block || position < 0 || position > 15) return {};
  size_t at = 0;
  for (int i = 0; i <= position; ++i) {
    if (at > size || size - at < 2) return {};
    const size_t length = static_cast<size_t>(block[at] | (block[at + 1] << 8));
    if (length > (size - at - 2) / 2) return {};
    if (i == position) {
      std::u16string text(length, u'\0');
      for (size_t k = 0; k < length; ++k) {
        const size_t b = at + 2 + 2 * k;
        text[k] = static_cast<char16_t>(block[b] | (block[b + 1] << 8));
      }
      return text;
    }
    at += 2 + 2 * length;
  }
  return {};
}

std::u16string TrimSpaces(const std::u16string& text) {
  const size_t first = text.find_first_not_of(u' ');
  if (first == std::u16string::npos) return {};
  const size_t last = text.find_last_not_of(u' ');
  return text.substr(first, last - first + 1);
}

std::u16string DecimalText(int64_t value) {
  const std::string digits = std::to_string(value);
  return std::u16string(digits.begin(), digits.end());
}

std::u16string WindowTitleFrom(const TextLookup& lookup, int language, int kind) {
  int number = 0;
  switch (kind) {
    case 2: number = 3011; break;
    case 4: number = 4005; break;
    case 9: number = 4006; break;
    case 10: number = 4004; break;
    case 11: number = 4003; break;
    default: break;
  }
  const std::u16string product = lookup(30000, 0);
  if (number == 0) return product;
  return TrimSpaces(lookup(number, language)) + u" - " + product;
}

}  // namespace zx
