// Reading a bitmap's rows as a DIB of a chosen depth, the one way the codec
// takes pixels out of the system's bitmaps.
#pragma once

#include <windows.h>

#include <cstdint>

#include "core/block_registry.h"
#include "core/thread_context.h"

namespace zx {

// A DIB header with room for the largest colour table (256 entries).
struct DibHeaderWithTable {
  BITMAPINFOHEADER header;
  RGBQUAD colors[256];
};

// An uncompressed bottom-up DIB header of width × height at `bitCount` bits.
BITMAPINFO DibRowsHeader(int width, int height, uint16_t bitCount);

// `rows` rows of the width × height bitmap at `bitCount` bits, bottom-up,
// starting `firstRow` rows from the bottom, into a new registered block of
// `bytes` bytes; up to 8 bits the colour table comes with them in `table`
// (may be null). Message 1 (site 22) when the block cannot be had, message
// 12 at `site` when the system does not give every row.
int ReadBitmapRows(ThreadContext& ctx, HDC dc, HBITMAP bitmap, int width, int height,
                   uint16_t bitCount, UINT firstRow, UINT rows, uint64_t bytes,
                   RegisteredBlock& out, DibHeaderWithTable* table, int site);

}  // namespace zx
