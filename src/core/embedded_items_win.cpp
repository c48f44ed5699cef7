#include "core/embedded_items_win.h"

#include <zlib.h>

#include "core/messages.h"

namespace zx {
namespace {

uint32_t Le32(const uint8_t* p) {
  return p[0] | (p[1] << 8) | (p[2] << 16) | (static_cast<uint32_t>(p[3]) << 24);
}

// ICO file header and first directory entry: 6 + 16 bytes.
constexpr size_t kIcoFirstEntryEnd = 22;
// Packed items are 16 x 16 pictures; anything far larger is not one.
constexpr uint32_t kPackedImageLimit = 1 << 20;

}  // namespace

std::span<const uint8_t> EmbeddedItem(int id) {
  HMODULE self = GetModuleHandleW(nullptr);
  HRSRC found = FindResourceExW(self, MAKEINTRESOURCEW(10), MAKEINTRESOURCEW(id), 0);  // RT_RCDATA
  if (!found) return {};
  HGLOBAL loaded = LoadResource(self, found);
  const auto* bytes = loaded ? static_cast<const uint8_t*>(LockResource(loaded)) : nullptr;
  if (!bytes) return {};
  return {bytes, SizeofResource(self, found)};
}

int InflateZlib(ThreadContext& ctx, std::span<const uint8_t> packed, size_t limit, std::vector<uint8_t>& out) {
  out.assign(limit, 0);
  uLongf length = static_cast<uLongf>(limit);
  if (packed.empty() ||
      uncompress(out.data(), &length, packed.data(), static_cast<uLong>(packed.size())) != Z_OK) {
    out.clear();
    return Fail(ctx, kMsgNoMemory, 60);
  }
  out.resize(length);
  return 1;
}

int UnpackPackedImage(ThreadContext& ctx, std::span<const uint8_t> item, std::vector<uint8_t>& out) {
  if (item.size() < 8) return Fail(ctx, kMsgNoMemory, 61);
  const uint32_t packedLength = Le32(item.data());
  const uint32_t unpackedLength = Le32(item.data() + 4);
  if (packedLength > item.size() - 8 || unpackedLength == 0 || unpackedLength > kPackedImageLimit) {
    return Fail(ctx, kMsgNoMemory, 61);
  }
  if (!InflateZlib(ctx, item.subspan(8, packedLength), unpackedLength, out)) return 0;
  if (out.size() != unpackedLength) return Fail(ctx, kMsgNoMemory, 61);
  return 1;
}

HICON LoadPackedIcon(int id) {
  ThreadContext scratch;
  std::vector<uint8_t> ico;
  if (!UnpackPackedImage(scratch, EmbeddedItem(id), ico) || ico.size() < kIcoFirstEntryEnd) return nullptr;
  const uint8_t* entry = ico.data() + 6;
  const int width = entry[0] ? entry[0] : 256;
  const int height = entry[1] ? entry[1] : 256;
  const uint32_t size = Le32(entry + 8);
  const uint32_t offset = Le32(entry + 12);
  if (offset > ico.size() || size == 0 || size > ico.size() - offset) return nullptr;
  return CreateIconFromResourceEx(ico.data() + offset, size, TRUE, 0x00030000, width, height, LR_DEFAULTCOLOR);
}

}  // namespace zx
