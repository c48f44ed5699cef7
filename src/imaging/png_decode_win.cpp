// DecodePng and DecodePngDirect: PNG bytes to a 32-bit DIB section.
#include <cstring>

#include "core/messages.h"
#include "imaging/bitmap_rows_win.h"
#include "imaging/icon_codec_win.h"
#include "imaging/png_pixels.h"
#include "imaging/thread_services_win.h"

namespace zx {
namespace {

// GDI+'s PNG encoder.
constexpr CLSID kPngEncoder = {0x557CF406, 0x1A04, 0x11D3,
                               {0x9A, 0x73, 0x00, 0x00, 0xF8, 0x1E, 0xF3, 0x2E}};

constexpr int kSiteGdiplusStart = 1;
constexpr int kSiteGdiplusLoad = 2;
constexpr int kSiteGdiplusWidth = 3;
constexpr int kSiteGdiplusHeight = 4;
constexpr int kSiteGdiplusSave = 6;
constexpr int kSiteSeekEnd = 1;
constexpr int kSiteSeekStart = 2;
constexpr int kSiteEmptyReencoding = 3;
constexpr int kSiteBuffer = 3;
constexpr int kSiteRead = 1;
constexpr int kSiteShortRead = 2;
constexpr int kSiteWritePng = 12;
constexpr int kSiteRewindPng = 4;
constexpr int kSiteDecodeReencoded = 13;
constexpr int kSiteDecodeDirect = 14;
constexpr int kSiteSection = 3;

// A bottom-up 32-bit DIB section holding the decoded pixels.
int BitmapFromPixels(ThreadContext& ctx, const PngPixels& pixels, UniqueBitmap& bitmap) {
  BITMAPINFO info =
      DibRowsHeader(static_cast<int>(pixels.width), static_cast<int>(pixels.height), 32);
  void* bits = nullptr;
  UniqueBitmap section(CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0));
  if (!section || !bits) return Fail(ctx, kMsgBitmapCreate, kSiteSection);
  std::memcpy(bits, pixels.pixels.get(), size_t{pixels.width} * pixels.height * 4);
  GdiFlush();
  bitmap = std::move(section);
  return 1;
}

int DecodeWithLibpng(ThreadContext& ctx, const uint8_t* data, uint64_t length,
                     UniqueBitmap& bitmap, int site) {
  PngPixels pixels;
  if (!DecodePngPixels(ctx, data, length, pixels, site)) return 0;
  return BitmapFromPixels(ctx, pixels, bitmap);
}

// Lets GDI+ load the PNG from `source` and save it again, as PNG, into
// `reencoded`. GDI+ runs only for this.
int ReencodeWithGdiplus(ThreadContext& ctx, ScratchStream& source, ScratchStream& reencoded) {
  GdiplusLibrary* library = GdiplusOf(ctx);
  if (!library || !ResolveGdiplus(*library)) return Fail(ctx, kMsgGdiplusInit, kSiteGdiplusStart);
  GdiplusSession session(*library);
  if (!session.started()) return Fail(ctx, kMsgGdiplusInit, kSiteGdiplusStart);

  GdiplusImageOwner image(*library);
  if (library->loadImageFromStream(source.stream(), image.Put()) != kGdiplusOk || !image.get()) {
    return Fail(ctx, kMsgGdiplusInit, kSiteGdiplusLoad);
  }
  UINT width = 0;
  UINT height = 0;
  if (library->getImageWidth(image.get(), &width) != kGdiplusOk) {
    return Fail(ctx, kMsgGdiplusInit, kSiteGdiplusWidth);
  }
  if (library->getImageHeight(image.get(), &height) != kGdiplusOk) {
    return Fail(ctx, kMsgGdiplusInit, kSiteGdiplusHeight);
  }
  if (library->saveImageToStream(image.get(), reencoded.stream(), &kPngEncoder, nullptr) !=
      kGdiplusOk) {
    return Fail(ctx, kMsgGdiplusInit, kSiteGdiplusSave);
  }
  return 1;
}

}  // namespace

int DecodePng(ThreadContext& ctx, const uint8_t* data, uint64_t length, UniqueBitmap& bitmap) {
  bitmap.Reset();
  ScratchStream source;
  ScratchStream reencoded;
  if (!CreateScratchStream(ctx, &source) || !CreateScratchStream(ctx, &reencoded)) return 0;
  if (!source.Write(ctx, data, length, kSiteWritePng)) return 0;
  if (!SeekTo(ctx, source, 0, kSiteRewindPng)) return 0;
  if (!ReencodeWithGdiplus(ctx, source, reencoded)) return 0;

  uint64_t size = 0;
  if (!reencoded.Seek(ctx, 0, SeekOrigin::kEnd, &size, kSiteSeekEnd)) return 0;
  if (size == 0) return Fail(ctx, kMsgInternalError, kSiteEmptyReencoding);
  if (!SeekTo(ctx, reencoded, 0, kSiteSeekStart)) return 0;
  if (size > kLargestPixelBytes) return Fail(ctx, kMsgNoMemory, kSiteBuffer);
  RegisteredBlock png(ctx.blocks, ctx.blocks.Allocate(ctx, static_cast<int64_t>(size)));
  if (!png) return Fail(ctx, kMsgNoMemory, kSiteBuffer);
  if (!ReadExactly(ctx, reencoded, png.get(), size, kSiteRead, kMsgStreamRead, kSiteShortRead)) {
    return 0;
  }
  return DecodeWithLibpng(ctx, png.get(), size, bitmap, kSiteDecodeReencoded);
}

int DecodePngDirect(ThreadContext& ctx, const uint8_t* data, uint64_t length,
                    UniqueBitmap& bitmap) {
  bitmap.Reset();
  return DecodeWithLibpng(ctx, data, length, bitmap, kSiteDecodeDirect);
}

}  // namespace zx
