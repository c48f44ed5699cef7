// Any bytes as an NE document: the header check, then, when it passes, every
// group through the named and the plain pass, every image through both group
// readers, and every resource entry through the data and length readers. Each
// range handed out is read whole, so the sanitizers see any byte outside it.
#include <cstddef>
#include <cstdint>
#include <cstring>

#include "core/icon_document.h"
#include "core/thread_context.h"
#include "formats/ne_reader.h"
#include "imaging/png_length.h"

namespace {

volatile uint8_t g_sink;

// Reads every byte of a handed-out range and stops the run when the range
// leaves the document's buffer.
void TouchRange(const zx::IconDocument& doc, const uint8_t* data, int64_t length) {
  if (length <= 0) return;
  const auto first = reinterpret_cast<uintptr_t>(doc.base);
  const auto last = reinterpret_cast<uintptr_t>(doc.lastByte);
  const auto at = reinterpret_cast<uintptr_t>(data);
  if (at < first || at > last || static_cast<uint64_t>(length) - 1 > last - at) __builtin_trap();
  uint8_t sum = 0;
  for (int64_t i = 0; i < length; ++i) sum = static_cast<uint8_t>(sum + data[i]);
  g_sink = sum;
}

void ReadGroupBothWays(zx::ThreadContext& ctx, zx::IconDocument& doc, int id) {
  for (zx::NeGroupReader reader : {zx::NeGroupReader::kThumbnail, zx::NeGroupReader::kImagePane}) {
    zx::NeGroup group;
    if (!zx::ReadNeGroup(ctx, doc, id, reader, group)) continue;
    TouchRange(doc, group.directory, 6 + 14 * static_cast<int64_t>(group.count));
    for (const zx::NeImage& image : group.images) {
      TouchRange(doc, image.data, image.length);
      TouchRange(doc, image.directoryEntry, 14);
      if (image.png) {
        const uint64_t available = static_cast<uint64_t>(doc.lastByte - image.data) + 1;
        if (zx::PngLength(ctx, image.data, available) != image.length) __builtin_trap();
      }
    }
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size == 0) return 0;
  zx::ThreadContext ctx;
  zx::IconDocument doc;
  // As the whole-file loader leaves it: a registered copy of the file.
  doc.base = ctx.blocks.Allocate(ctx, static_cast<int64_t>(size));
  if (!doc.base) return 0;
  std::memcpy(doc.base, data, size);
  doc.size = static_cast<int64_t>(size);
  doc.lastByte = doc.base + size - 1;

  const int result = zx::CheckNe(ctx, doc);
  if (result != 1) {
    // Failures and files without a usable group give the buffer back.
    if (doc.base || ctx.blocks.LiveCount() != 0) __builtin_trap();
    return 0;
  }
  if (doc.container != zx::kContainerNe || doc.groupCount < 1 || doc.iconCount < 1) __builtin_trap();

  const auto visit = [&](zx::IconDocument& d, const std::u16string&, int id, bool) {
    ReadGroupBothWays(ctx, d, id);
    return 1;
  };
  zx::ForEachNeNamedGroup(ctx, doc, visit);
  zx::ForEachNeGroup(ctx, doc, visit);
  zx::CheckNeIclNames(ctx, doc);

  for (int type : {zx::kNeTypeGroup, zx::kNeTypeIcon}) {
    zx::ForEachNeResource(ctx, doc, type, [&](zx::IconDocument& d, int t, int id) {
      const uint8_t* entry = zx::FindNeResource(ctx, d, id, t);
      if (!entry) return 1;
      const uint8_t* bytes = zx::NeResourceData(ctx, d, entry);
      const int64_t length = zx::NeResourceLength(ctx, d, entry);
      if (bytes && length > 0) TouchRange(d, bytes, length);
      return 1;
    });
  }

  ctx.blocks.Release(doc.base);
  return 0;
}
