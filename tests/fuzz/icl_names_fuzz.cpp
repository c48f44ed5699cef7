// Any bytes as a PE library's name-table resource: the first byte says how
// many groups the module has, the rest is the resource. The text, the count
// and the labels must agree, and no read may leave the bytes.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "core/thread_context.h"
#include "formats/icl_names.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size == 0) return 0;
  const size_t groups = data[0];
  // A copy of exactly the resource's size, so the sanitizers see any overread.
  const std::vector<uint8_t> resource(data + 1, data + size);
  const uint8_t* bytes = resource.empty() ? nullptr : resource.data();

  const std::u16string text = zx::IclNameTableText(bytes, resource.size());
  if (text.size() > resource.size()) __builtin_trap();
  const int64_t count = zx::CountIclNames(text);

  zx::ThreadContext ctx;
  std::vector<std::u16string> labels;
  const int read = zx::ReadIclNameTableLabels(ctx, bytes, resource.size(), groups, labels);
  if (read) {
    if (labels.size() != groups || ctx.error != 0) __builtin_trap();
    // Names without a 0 byte among them are all counted by the table check too.
    if (text.size() == resource.size() && count < static_cast<int64_t>(groups)) __builtin_trap();
  } else if (zx::ErrorMessage(ctx.error) != 83) {
    __builtin_trap();
  }
  return 0;
}
