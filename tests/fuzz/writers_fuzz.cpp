// Any bytes as a source document for the writers: read as an NE module and
// as an .ico file, every group or image is written as an NE icon library and
// as an .ico image, and whatever is written must open again in the readers
// with the same number of groups and images. The writers must stay inside
// the source buffer however its directories lie.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "core/icon_document.h"
#include "core/thread_context.h"
#include "formats/ico_module_writer.h"
#include "formats/ico_reader.h"
#include "formats/ico_writer.h"
#include "formats/ne_library_writer.h"
#include "formats/ne_module_source.h"
#include "formats/ne_reader.h"
#include "imaging/memory_stream.h"

namespace {

void Check(bool condition) {
  if (!condition) std::abort();
}

bool Load(zx::ThreadContext& ctx, zx::IconDocument& doc, const uint8_t* data, size_t size) {
  doc.base = ctx.blocks.Allocate(ctx, static_cast<int64_t>(size));
  if (!doc.base) return false;
  std::memcpy(doc.base, data, size);
  doc.size = static_cast<int64_t>(size);
  doc.lastByte = doc.base + size - 1;
  return true;
}

zx::IconSelection Everything(int64_t count) {
  zx::IconSelection all;
  for (int64_t n = 1; n <= count && n <= 64; ++n) all.push_back(n);
  return all;
}

// A written library must open as an NE document again.
void CheckLibrary(const zx::MemoryStream& out, int64_t groups) {
  zx::ThreadContext ctx;
  zx::IconDocument doc;
  Check(Load(ctx, doc, out.data(), out.size()));
  Check(zx::CheckNe(ctx, doc) == 1);
  Check(doc.groupCount == groups);
}

void CheckIco(const zx::MemoryStream& out, int64_t images) {
  zx::ThreadContext ctx;
  zx::IconDocument doc;
  Check(Load(ctx, doc, out.data(), out.size()));
  Check(zx::CheckIco(ctx, doc) == 1);
  Check(doc.iconCount == images);
}

void WriteFromNe(const uint8_t* data, size_t size) {
  zx::ThreadContext ctx;
  zx::IconDocument doc;
  if (!Load(ctx, doc, data, size) || zx::CheckNe(ctx, doc) != 1) return;
  const zx::IconSelection all = Everything(doc.groupCount);
  zx::NeModuleSource source(doc);
  zx::NeLibraryPlan plan;
  if (zx::PlanNeLibraryFromModule(ctx, source, doc, all, zx::kVistaKeep, nullptr, nullptr, plan)) {
    zx::MemoryStream library;
    if (zx::WriteNeLibrary(ctx, plan, library)) {
      CheckLibrary(library, static_cast<int64_t>(plan.groups.size()));
    }
  }
  zx::MemoryStream ico;
  if (zx::BuildIcoFromModule(ctx, source, all, zx::kVistaKeep, nullptr, nullptr, ico)) {
    uint64_t count = 0;
    if (ico.size() >= 6) count = ico.data()[4] | (ico.data()[5] << 8);
    CheckIco(ico, static_cast<int64_t>(count));
  }
}

void WriteFromIco(const uint8_t* data, size_t size) {
  zx::ThreadContext ctx;
  zx::IconDocument doc;
  if (!Load(ctx, doc, data, size) || zx::CheckIco(ctx, doc) != 1) return;
  const zx::IconSelection all = Everything(doc.iconCount);
  zx::MemoryStream ico;
  if (zx::BuildIcoFromIcoDocument(ctx, doc, all, ico)) {
    zx::MemoryStream reread;
    Check(zx::ValidateIcoStream(ctx, ico) == 1);
    zx::IconImageSet set;
    if (zx::BuildImageSetFromIcoStream(ctx, ico, set)) {
      Check(set.count() == all.size());
      zx::MemoryStream again;
      if (zx::BuildIcoStream(ctx, set, zx::kVistaKeep, nullptr, nullptr, again)) {
        Check(zx::ValidateIcoStream(ctx, again) == 1);
      }
    }
  }
  zx::NeLibraryPlan plan;
  if (zx::PlanNeLibraryFromIco(ctx, doc, all, zx::kVistaKeep, nullptr, nullptr, plan)) {
    zx::MemoryStream library;
    if (zx::WriteNeLibrary(ctx, plan, library)) CheckLibrary(library, static_cast<int64_t>(all.size()));
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size == 0 || size > (1 << 20)) return 0;
  WriteFromNe(data, size);
  WriteFromIco(data, size);
  return 0;
}
