#include "formats/icl_names.h"

#include <cstring>

#include "core/catalogue.h"
#include "core/messages.h"

namespace zx {

std::u16string AnsiText(const uint8_t* bytes, uint64_t length) {
  std::u16string text;
  text.reserve(length);
  for (uint64_t i = 0; i < length; ++i) text.push_back(static_cast<char16_t>(bytes[i]));
  return text;
}

std::u16string IclNameLabel(const uint8_t* name, uint64_t length) {
  if (length == 0 || name[0] == 0x03) return std::u16string();
  return AnsiText(name, length);
}

std::u16string GroupNumberLabel(int id) {
  std::u16string label = u"#";
  label += DecimalText(id);
  return label;
}

std::u16string IclNameTableText(const uint8_t* data, uint64_t size) {
  if (!data) return std::u16string();
  const void* zero = std::memchr(data, 0, size);
  const uint64_t length = zero ? static_cast<uint64_t>(static_cast<const uint8_t*>(zero) - data) : size;
  return AnsiText(data, length);
}

int64_t CountIclNames(const std::u16string& text) {
  if (text.size() < 4) return -1;
  for (size_t i = 0; i < 4; ++i) {
    if (text[i] != kIclTag[i]) return -1;
  }
  int64_t count = 0;
  size_t at = 4;
  while (at < text.size() && text[at] != 0) {
    ++count;
    at += 1 + static_cast<size_t>(text[at] & 0xFF);
  }
  return count;
}

int ReadIclNameTableLabels(ThreadContext& ctx, const uint8_t* data, uint64_t size, size_t count,
                           std::vector<std::u16string>& labels) {
  labels.clear();
  if (!data || size < 4 || std::memcmp(data, kIclTag, 4) != 0) return Fail(ctx, kMsgGroupNames, 8);
  uint64_t at = 4;
  for (size_t i = 0; i < count; ++i) {
    if (at >= size) return Fail(ctx, kMsgGroupNames, 9);
    const uint8_t length = data[at];
    if (length == 0) return Fail(ctx, kMsgGroupNames, 10);
    if (length > size - at - 1) return Fail(ctx, kMsgGroupNames, 11);
    labels.push_back(IclNameLabel(data + at + 1, length));
    at += 1 + uint64_t{length};
  }
  return 1;
}

}  // namespace zx
