// Any bytes as an .ico document: the file check, then every entry through the
// opening checks and the pane reading.
#include <cstddef>
#include <cstdint>
#include <cstring>

#include "core/icon_document.h"
#include "core/thread_context.h"
#include "formats/ico_reader.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size == 0) return 0;
  zx::ThreadContext ctx;
  zx::IconDocument doc;
  uint8_t* block = ctx.blocks.Allocate(ctx, static_cast<int64_t>(size));
  if (!block) return 0;
  std::memcpy(block, data, size);
  doc.base = block;
  doc.size = static_cast<int64_t>(size);
  doc.lastByte = block + size - 1;
  if (!zx::CheckIco(ctx, doc)) return 0;
  zx::ForEachIcoEntry(ctx, doc, [&ctx](zx::IconDocument& d, int64_t n) {
    zx::IcoImageInfo info;
    zx::CheckIcoEntryImage(ctx, d, n, info);
    zx::ReadIcoEntryImage(ctx, d, n, info);
    // Touch every byte the reader handed out, so a bad range shows up.
    volatile uint8_t sum = 0;
    for (uint32_t i = 0; info.data && i < info.size; ++i) sum = sum + info.data[i];
    (void)sum;
    return 1;
  });
  // Entry numbers beyond the directory must be refused, not read.
  zx::IcoImageInfo info;
  zx::ReadIcoEntryImage(ctx, doc, doc.iconCount + 1, info);
  zx::IcoEntry(ctx, doc, doc.iconCount + 1);
  return 0;
}
