// IconToRgba: an icon's colour and mask bitmaps read back as RGBA pixels.
#include "core/messages.h"
#include "imaging/bitmap_rows_win.h"
#include "imaging/icon_codec_win.h"
#include "imaging/icon_pixels.h"

namespace zx {
namespace {

constexpr int kSiteNoIcon = 23;
constexpr int kSiteIconInfo = 24;
constexpr int kSiteScreenDc = 12;
constexpr int kSiteRead = 25;
constexpr int kSiteBuffer = 26;

// Every row of a bitmap as 32-bit pixels, bottom-up.
int ReadAllRows32(ThreadContext& ctx, HDC dc, HBITMAP bitmap, int width, int height,
                  RegisteredBlock& out) {
  const uint64_t bytes = uint64_t(width) * uint64_t(height) * 4;
  return ReadBitmapRows(ctx, dc, bitmap, width, height, 32, 0, static_cast<UINT>(height), bytes,
                        out, nullptr, kSiteRead);
}

}  // namespace

int IconToRgba(ThreadContext& ctx, HICON icon, IconRgba& out) {
  out = IconRgba{};
  if (!icon) return Fail(ctx, kMsgNullPointer, kSiteNoIcon);
  ICONINFO info{};
  if (!GetIconInfo(icon, &info)) return Fail(ctx, kMsgIconInfo, kSiteIconInfo);
  const UniqueBitmap maskBitmap(info.hbmMask);
  const UniqueBitmap colorBitmap(info.hbmColor);
  BITMAP mask{};
  BITMAP color{};
  if (!maskBitmap || !GetObjectW(maskBitmap.get(), sizeof(mask), &mask) || mask.bmWidth <= 0 ||
      (colorBitmap && !GetObjectW(colorBitmap.get(), sizeof(color), &color))) {
    return Fail(ctx, kMsgIconInfo, kSiteIconInfo);
  }
  const int width = mask.bmWidth;
  const int height = colorBitmap ? color.bmHeight : mask.bmHeight / 2;
  if (height <= 0 || (colorBitmap && color.bmWidth != width)) {
    return Fail(ctx, kMsgIconInfo, kSiteIconInfo);
  }
  ScreenDc screen;
  if (!screen) return Fail(ctx, kMsgDcCreate, kSiteScreenDc);

  RegisteredBlock maskRows;
  RegisteredBlock colorRows;
  const uint8_t* colorPixels = nullptr;
  const uint8_t* maskPixels = nullptr;
  if (colorBitmap) {
    if (!ReadAllRows32(ctx, screen.get(), colorBitmap.get(), width, height, colorRows) ||
        !ReadAllRows32(ctx, screen.get(), maskBitmap.get(), width, height, maskRows)) {
      return 0;
    }
    colorPixels = colorRows.get();
    maskPixels = maskRows.get();
  } else {
    // Bottom-up, the colour (XOR) half comes before the mask (AND) half.
    if (!ReadAllRows32(ctx, screen.get(), maskBitmap.get(), width, 2 * height, maskRows)) return 0;
    colorPixels = maskRows.get();
    maskPixels = maskRows.get() + uint64_t(width) * uint64_t(height) * 4;
  }

  const uint64_t bytes = uint64_t(width) * uint64_t(height) * 4;
  RegisteredBlock rgba(ctx.blocks, ctx.blocks.Allocate(ctx, static_cast<int64_t>(bytes)));
  if (!rgba) return Fail(ctx, kMsgNoMemory, kSiteBuffer);
  const bool alphaChannel = colorBitmap && color.bmBitsPixel == 32;
  if (!ComposeIconRgba(ctx, colorPixels, maskPixels, alphaChannel, width, height, rgba.get())) {
    return 0;
  }
  out.pixels = std::move(rgba);
  out.width = width;
  out.height = height;
  return 1;
}

}  // namespace zx
