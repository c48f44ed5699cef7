// Icons for drawing: from a decoded bitmap with its colour-key mask, from PNG
// bytes, and from the bytes of any icon image at its own size.
#include "core/messages.h"
#include "imaging/bitmap_rows_win.h"
#include "imaging/dib_layout.h"
#include "imaging/icon_codec_win.h"

namespace zx {
namespace {

constexpr int kSiteBadArguments = 5;
constexpr int kSiteBitmapInfo = 2;
constexpr int kSiteMaskBitmap = 1;
constexpr int kSiteColorBitmap = 2;
constexpr int kSiteScreenDc = 5;
constexpr int kSiteSourceDc = 6;
constexpr int kSiteCopyDc = 7;
constexpr int kSiteSelectSource = 8;
constexpr int kSiteSelectCopy = 10;
constexpr int kSiteCopyPixels = 9;
constexpr int kSiteReadPixels = 10;
constexpr int kSiteWriteMask = 11;
constexpr int kSiteCreateIcon = 12;
constexpr int kSiteUndecodable = 12;
constexpr int kSitePaneUndecodable = 11;
constexpr int kSitePaneIcon = 75;
constexpr int kSitePaneDib = 73;

// The source's pixels as 32-bit bottom-up rows, read through a compatible copy.
int ReadBitmapPixels(ThreadContext& ctx, HBITMAP source, int width, int height,
                     RegisteredBlock& pixels, uint64_t& bytes) {
  ScreenDc screen;
  if (!screen) return Fail(ctx, kMsgDcCreate, kSiteScreenDc);
  UniqueMemoryDc sourceDc(CreateCompatibleDC(screen.get()));
  if (!sourceDc) return Fail(ctx, kMsgDcCreate, kSiteSourceDc);
  UniqueMemoryDc copyDc(CreateCompatibleDC(screen.get()));
  if (!copyDc) return Fail(ctx, kMsgDcCreate, kSiteCopyDc);
  UniqueBitmap copy(CreateCompatibleBitmap(screen.get(), width, height));
  if (!copy) return Fail(ctx, kMsgBitmapCreate, kSiteColorBitmap);
  {
    SelectedObject selectedSource(sourceDc.get(), source);
    if (!selectedSource.ok()) return Fail(ctx, kMsgDcCreate, kSiteSelectSource);
    SelectedObject selectedCopy(copyDc.get(), copy.get());
    if (!selectedCopy.ok()) return Fail(ctx, kMsgDcCreate, kSiteSelectCopy);
    if (!BitBlt(copyDc.get(), 0, 0, width, height, sourceDc.get(), 0, 0, SRCCOPY)) {
      return Fail(ctx, kMsgIconCreate, kSiteCopyPixels);
    }
  }
  bytes = uint64_t(width) * uint64_t(height) * 4;
  return ReadBitmapRows(ctx, copyDc.get(), copy.get(), width, height, 32, 0,
                        static_cast<UINT>(height), bytes, pixels, nullptr, kSiteReadPixels);
}

// DecodePng, else libpng alone; when one of them succeeds the refusal of
// the other is not this call's error, so the slot is put back as it was.
int DecodeEitherWay(ThreadContext& ctx, const uint8_t* data, uint64_t length, UniqueBitmap& bitmap,
                    int undecodableSite) {
  const int64_t before = ctx.error;
  if (!DecodePng(ctx, data, length, bitmap) && !DecodePngDirect(ctx, data, length, bitmap)) {
    return Fail(ctx, kMsgVistaUnpack, undecodableSite);
  }
  ctx.error = before;
  return 1;
}

// IconFromBitmap at the decoded bitmap's own size.
int IconFromDecoded(ThreadContext& ctx, HBITMAP bitmap, UniqueIcon& icon) {
  BITMAP facts{};
  if (!GetObjectW(bitmap, sizeof(facts), &facts)) return Fail(ctx, kMsgBitmapInfo, kSiteBitmapInfo);
  return IconFromBitmap(ctx, bitmap, facts.bmWidth, facts.bmHeight, icon);
}

}  // namespace

int IconFromBitmap(ThreadContext& ctx, HBITMAP bitmap, int width, int height, UniqueIcon& icon) {
  icon.Reset();
  if (!bitmap || width <= 0 || height <= 0) return Fail(ctx, kMsgBadParameterValue, kSiteBadArguments);
  BITMAP facts{};
  if (!GetObjectW(bitmap, sizeof(facts), &facts)) return Fail(ctx, kMsgBitmapInfo, kSiteBitmapInfo);
  // Rows of 32-bit pixels must be countable in the block registry's sizes.
  if (uint64_t(width) * uint64_t(height) > 0x1FFFFFFF) {
    return Fail(ctx, kMsgBadParameterValue, kSiteBadArguments);
  }

  UniqueBitmap mask(CreateBitmap(width, height, 1, 1, nullptr));
  if (!mask) return Fail(ctx, kMsgBitmapCreate, kSiteMaskBitmap);
  RegisteredBlock pixels;
  uint64_t bytes = 0;
  if (!ReadBitmapPixels(ctx, bitmap, width, height, pixels, bytes)) return 0;
  // The bottom-left pixel's colour is the key: every pixel of that RGB is
  // transparent, whatever its alpha.
  if (!ApplyColorKey(ctx, pixels.get(), bytes, width, height)) return 0;
  {
    ScreenDc screen;
    if (!screen) return Fail(ctx, kMsgDcCreate, kSiteScreenDc);
    BITMAPINFO header = DibRowsHeader(width, height, 32);
    if (SetDIBits(screen.get(), mask.get(), 0, static_cast<UINT>(height), pixels.get(), &header,
                  DIB_RGB_COLORS) != height) {
      return Fail(ctx, kMsgIconCreate, kSiteWriteMask);
    }
  }

  ICONINFO info{};
  info.fIcon = TRUE;
  info.hbmMask = mask.get();
  info.hbmColor = bitmap;
  UniqueIcon created(CreateIconIndirect(&info));
  if (!created) return Fail(ctx, kMsgIconCreate, kSiteCreateIcon);
  icon = std::move(created);
  return 1;
}

int PngToIcon(ThreadContext& ctx, const uint8_t* data, uint64_t length, UniqueIcon& icon) {
  icon.Reset();
  UniqueBitmap bitmap;
  if (!DecodeEitherWay(ctx, data, length, bitmap, kSiteUndecodable)) return 0;
  return IconFromDecoded(ctx, bitmap.get(), icon);
}

int IconFromImage(ThreadContext& ctx, const uint8_t* data, uint64_t length, IconImageKind kind,
                  int width, int height, UniqueIcon& icon) {
  icon.Reset();
  if (!data || length == 0 || length > 0x7FFFFFFF) {
    return Fail(ctx, kMsgBadParameterValue, kSiteBadArguments);
  }
  // Systems from Vista on read PNG icon images themselves, as they read DIBs.
  icon.Reset(CreateIconFromResourceEx(const_cast<PBYTE>(data), static_cast<DWORD>(length), TRUE,
                                      0x30000, width, height, LR_DEFAULTCOLOR));
  if (icon) return 1;
  if (kind == IconImageKind::kDib) return Fail(ctx, kMsgIconCreate, kSitePaneDib);

  UniqueBitmap bitmap;
  if (!DecodeEitherWay(ctx, data, length, bitmap, kSitePaneUndecodable)) return 0;
  if (!IconFromDecoded(ctx, bitmap.get(), icon)) return Fail(ctx, kMsgIconCreate, kSitePaneIcon);
  return 1;
}

}  // namespace zx
