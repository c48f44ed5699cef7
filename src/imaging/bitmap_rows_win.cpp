#include "imaging/bitmap_rows_win.h"

#include <cstring>

#include "core/messages.h"

namespace zx {

BITMAPINFO DibRowsHeader(int width, int height, uint16_t bitCount) {
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
  info.bmiHeader.biWidth = width;
  info.bmiHeader.biHeight = height;
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = bitCount;
  info.bmiHeader.biCompression = BI_RGB;
  return info;
}

int ReadBitmapRows(ThreadContext& ctx, HDC dc, HBITMAP bitmap, int width, int height,
                   uint16_t bitCount, UINT firstRow, UINT rows, uint64_t bytes,
                   RegisteredBlock& out, DibHeaderWithTable* table, int site) {
  out = RegisteredBlock(ctx.blocks, ctx.blocks.Allocate(ctx, static_cast<int64_t>(bytes)));
  if (!out) return Fail(ctx, kMsgNoMemory, 22);
  // GetDIBits writes the colour table after the header, so the header always
  // gets room for the largest one.
  DibHeaderWithTable local;
  DibHeaderWithTable& info = table ? *table : local;
  std::memset(&info, 0, sizeof(info));
  info.header = DibRowsHeader(width, height, bitCount).bmiHeader;
  if (GetDIBits(dc, bitmap, firstRow, rows, out.get(), reinterpret_cast<BITMAPINFO*>(&info),
                DIB_RGB_COLORS) != static_cast<int>(rows)) {
    out.Reset();
    return Fail(ctx, kMsgIconCreate, site);
  }
  return 1;
}

}  // namespace zx
