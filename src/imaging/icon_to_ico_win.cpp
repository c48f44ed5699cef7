// IconToIcoStream and UnpackPngImage: an icon handle back into the bytes of
// a one-image ICO file with a DIB image.
#include <cstring>

#include "core/messages.h"
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
constexpr int kSiteRowBuffer = 22;

// Room for the largest colour table GetDIBits fills in (256 entries).
struct HeaderWithTable {
  BITMAPINFOHEADER header;
  RGBQUAD colors[256];
};

// `rows` rows of the bitmap at `bitCount` bits, bottom-up, from row `firstRow`
// (counted from the bottom); the colour table comes with them up to 8 bits.
int ReadRows(ThreadContext& ctx, HDC dc, HBITMAP bitmap, int width, int height, uint16_t bitCount,
             UINT firstRow, UINT rows, RegisteredBlock& out, uint64_t bytes,
             HeaderWithTable& info, int site) {
  out = RegisteredBlock(ctx.blocks, ctx.blocks.Allocate(ctx, static_cast<int64_t>(bytes)));
  if (!out) return Fail(ctx, kMsgNoMemory, kSiteRowBuffer);
  std::memset(&info, 0, sizeof(info));
  info.header.biSize = sizeof(BITMAPINFOHEADER);
  info.header.biWidth = width;
  info.header.biHeight = height;
  info.header.biPlanes = 1;
  info.header.biBitCount = bitCount;
  info.header.biCompression = BI_RGB;
  if (GetDIBits(dc, bitmap, firstRow, rows, out.get(), reinterpret_cast<BITMAPINFO*>(&info),
                DIB_RGB_COLORS) != static_cast<int>(rows)) {
    return Fail(ctx, kMsgIconCreate, site);
  }
  return 1;
}

}  // namespace

int IconToIcoStream(ThreadContext& ctx, HICON icon, ScratchStream& stream) {
  ReleaseScratchStream(ctx, &stream);
  if (!icon) return Fail(ctx, kMsgNullPointer, kSiteNoIcon);
  ICONINFO info{};
  if (!GetIconInfo(icon, &info)) return Fail(ctx, kMsgIconInfo, kSiteIconInfo);
  const UniqueBitmap maskBitmap(info.hbmMask);
  const UniqueBitmap colorBitmap(info.hbmColor);

  BITMAP mask{};
  BITMAP color{};
  if (!maskBitmap || !GetObjectW(maskBitmap.get(), sizeof(mask), &mask) ||
      (colorBitmap && !GetObjectW(colorBitmap.get(), sizeof(color), &color))) {
    return Fail(ctx, kMsgIconInfo, kSiteBitmapObject);
  }
  IconBitmapFacts facts;
  facts.hasColorBitmap = static_cast<bool>(colorBitmap);
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
  HeaderWithTable colorInfo;
  HeaderWithTable maskInfo;
  RegisteredBlock colorRows;
  RegisteredBlock maskRows;
  if (shape.monochrome) {
    // One 1-bit bitmap of twice the height: the mask above the colour rows,
    // so bottom-up the colour rows come first.
    if (!ReadRows(ctx, screen.get(), maskBitmap.get(), mask.bmWidth, 2 * height, 1, 0,
                  static_cast<UINT>(height), colorRows, shape.colorBytes, colorInfo,
                  kSiteReadColor) ||
        !ReadRows(ctx, screen.get(), maskBitmap.get(), mask.bmWidth, 2 * height, 1,
                  static_cast<UINT>(height), static_cast<UINT>(height), maskRows, shape.maskBytes,
                  maskInfo, kSiteReadMask)) {
      return 0;
    }
  } else if (!ReadRows(ctx, screen.get(), colorBitmap.get(), width, height, shape.bitCount, 0,
                       static_cast<UINT>(height), colorRows, shape.colorBytes, colorInfo,
                       kSiteReadColor) ||
             !ReadRows(ctx, screen.get(), maskBitmap.get(), mask.bmWidth, height, 1, 0,
                       static_cast<UINT>(height), maskRows, shape.maskBytes, maskInfo,
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
