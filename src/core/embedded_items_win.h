// Items embedded in the program's RCDATA resources (language neutral): the
// tool bar pictures (PNG files, items 0-9), the packed 16 x 16 icons (20-48),
// the module template (60) and the IStorage identifiers (70, 71).
#pragma once

#include <windows.h>

#include <cstdint>
#include <span>
#include <vector>

#include "core/thread_context.h"

namespace zx {

// The bytes of RCDATA item `id` of this program; empty when missing.
std::span<const uint8_t> EmbeddedItem(int id);

// Inflates a zlib stream into at most `limit` bytes; 0 with message 1 (site
// 60) when it does not inflate.
int InflateZlib(ThreadContext& ctx, std::span<const uint8_t> packed, size_t limit, std::vector<uint8_t>& out);

// A `PackedImage` item: the packed length P and unpacked length U (32-bit
// little-endian each), then P bytes of zlib stream inflating to U bytes.
// Returns the inflated bytes (an .ico file), or 0 with message 1 (site 61).
int UnpackPackedImage(ThreadContext& ctx, std::span<const uint8_t> item, std::vector<uint8_t>& out);

// The first image of packed icon item `id` as an icon of its own size; null
// when the item is missing or does not unpack.
HICON LoadPackedIcon(int id);

}  // namespace zx
