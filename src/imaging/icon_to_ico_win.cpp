// IconToIcoStream and UnpackPngImage: an icon handle back into the bytes of
// a one-image ICO file with a DIB image.
#include <cstring>

#include "core/messages.h"
#include "imaging/bitmap_rows_win.h"
#include "imaging/dib_layout.h"
#include "imaging/icon_codec_win.h"

namespace zx {
namespace {

constexpr int kSiteNoIcon = 17;
constexpr int kSiteIconInfo = 18;
constexpr int kSiteBitmapObject = 19;
constexpr int kSiteScreenDc = 11;
constexpr int kSiteReadColor = 20;
constexpr int kSiteReadMask = 21;

}  // namespace

int IconToIcoStream(ThreadContext& ctx, HICON icon, ScratchStream& stream) {
  ReleaseScratchStream(ctx, &stream);
  if (!icon) return Fail(ctx, kMsgNullPointer, kSiteNoIcon);
  ICONINFO info{};
  if (!GetIconInfo(icon, &info)) return Fail(ctx, kMsgIconInfo, kSiteIconInfo);
  const UniqueBitmap maskBitmap(info.hbmMask);
  const UniqueBitmap colorBitmap(info.hbmColor);
  return IconBitmapsToIcoStream(ctx, maskBitmap.get(), colorBitmap.get(), stream);
}

int IconBitmapsToIcoStream(ThreadContext& ctx, HBITMAP maskBitmap, HBITMAP colorBitmap,
                           ScratchStream& stream) {
  ReleaseScratchStream(ctx, &stream);
  BITMAP mask{};
  BITMAP color{};
  if (!maskBitmap || !GetObjectW(maskBitmap, sizeof(mask), &mask) ||
      (colorBitmap && !GetObjectW(colorBitmap, sizeof(color), &color))) {
    return Fail(ctx, kMsgIconInfo, kSiteBitmapObject);
  }
  IconBitmapFacts facts;
  facts.hasColorBitmap = colorBitmap != nullptr;
  facts.colorWidth = color.bmWidth;
  facts.colorHeight = color.bmHeight;
  facts.colorPlanes = color.bmPlanes;
  facts.colorBitsPerPixel = color.bmBitsPixel;
  facts.maskWidth = mask.bmWidth;
  facts.maskHeight = mask.bmHeight;
  OneImageIcoShape shape;
  if (!ShapeOneImageIco(ctx, facts, shape)) return 0;

  ScreenDc screen;
  if (!screen) return Fail(ctx, kMsgDcCreate, kSiteScreenDc);
  const int width = static_cast<int>(shape.width);
  const int height = static_cast<int>(shape.height);
  DibHeaderWithTable colorInfo;
  RegisteredBlock colorRows;
  RegisteredBlock maskRows;
  if (shape.monochrome) {
    // One 1-bit bitmap of twice the height: the mask above the colour rows,
    // so bottom-up the colour rows come first.
    if (!ReadBitmapRows(ctx, screen.get(), maskBitmap, mask.bmWidth, 2 * height, 1, 0,
                        static_cast<UINT>(height), shape.colorBytes, colorRows, &colorInfo,
                        kSiteReadColor) ||
        !ReadBitmapRows(ctx, screen.get(), maskBitmap, mask.bmWidth, 2 * height, 1,
                        static_cast<UINT>(height), static_cast<UINT>(height), shape.maskBytes,
                        maskRows, nullptr, kSiteReadMask)) {
      return 0;
    }
  } else if (!ReadBitmapRows(ctx, screen.get(), colorBitmap, width, height, shape.bitCount, 0,
                             static_cast<UINT>(height), shape.colorBytes, colorRows, &colorInfo,
                             kSiteReadColor) ||
             !ReadBitmapRows(ctx, screen.get(), maskBitmap, mask.bmWidth, height, 1, 0,
                             static_cast<UINT>(height), shape.maskBytes, maskRows, nullptr,
                             kSiteReadMask)) {
    return 0;
  }

  OneImageIcoPixels pixels;
  pixels.palette = reinterpret_cast<const uint8_t*>(colorInfo.colors);
  pixels.paletteBytes = sizeof(colorInfo.colors);
  pixels.colorRows = colorRows.get();
  pixels.colorRowsBytes = shape.colorBytes;
  pixels.maskRows = maskRows.get();
  pixels.maskRowsBytes = shape.maskBytes;
  if (!CreateScratchStream(ctx, &stream)) return 0;
  if (!WriteOneImageIco(ctx, stream, shape, pixels)) {
    ReleaseScratchStream(ctx, &stream);
    return 0;
  }
  return 1;
}

int UnpackPngImage(ThreadContext& ctx, const uint8_t* data, uint64_t length,
                   RegisteredBlock& image, uint64_t& imageLength) {
  image.Reset();
  imageLength = 0;
  UniqueIcon icon;
  if (!PngToIcon(ctx, data, length, icon)) return 0;
  ScratchStream stream;
  if (!IconToIcoStream(ctx, icon.get(), stream)) return 0;
  return ImageFromIcoStream(ctx, stream, image, imageLength);
}

}  // namespace zx
