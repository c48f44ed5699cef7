// The group list's 48 × 48 pictures: each image drawn at its own size when
// it is small, otherwise at 48 × 48, with the route for PNG images that the
// image's container calls for.
#include "core/messages.h"
#include "imaging/dib_layout.h"
#include "imaging/icon_codec_win.h"

namespace zx {
namespace {

constexpr int kThumbnailSide = 48;
constexpr int kSiteBadArguments = 80;
constexpr int kSiteDibIcon = 81;
constexpr int kSiteConvertedIcon = 82;
constexpr int kSiteIconInfo = 83;
constexpr int kSiteIconDepth = 84;

// The picture's size: the image's own when both sides are at most 47.
void TargetSize(const IconImageInfo& info, int& width, int& height) {
  const bool small = info.width <= kThumbnailSide - 1 && info.height <= kThumbnailSide - 1;
  width = small ? info.width : kThumbnailSide;
  height = small ? info.height : kThumbnailSide;
}

HICON IconFromBytes(const uint8_t* data, uint64_t length, int width, int height) {
  return CreateIconFromResourceEx(const_cast<PBYTE>(data), static_cast<DWORD>(length), TRUE,
                                  0x30000, width, height, LR_DEFAULTCOLOR);
}

// The icon's colour bitmap must have a depth the drawing code knows.
int CheckIconDepth(ThreadContext& ctx, HICON icon) {
  ICONINFO info{};
  if (!GetIconInfo(icon, &info)) return Fail(ctx, kMsgIconInfo, kSiteIconInfo);
  const UniqueBitmap mask(info.hbmMask);
  const UniqueBitmap color(info.hbmColor);
  if (!color) return 1;  // a monochrome icon
  BITMAP facts{};
  if (!GetObjectW(color.get(), sizeof(facts), &facts)) return Fail(ctx, kMsgIconInfo, kSiteIconInfo);
  switch (facts.bmBitsPixel) {
    case 0: case 1: case 4: case 8: case 24: case 32: return 1;
    default: return Fail(ctx, kMsgIconInfo, kSiteIconDepth);
  }
}

// An icon redrawn from the DIB image of its one-image ICO, at the given size.
int RedrawThroughDib(ThreadContext& ctx, HICON source, int width, int height, UniqueIcon& icon) {
  ScratchStream stream;
  if (!IconToIcoStream(ctx, source, stream)) return 0;
  RegisteredBlock image;
  uint64_t length = 0;
  if (!ImageFromIcoStream(ctx, stream, image, length)) return 0;
  icon.Reset(IconFromBytes(image.get(), length, width, height));
  if (!icon) return Fail(ctx, kMsgIconCreate, kSiteConvertedIcon);
  return 1;
}

}  // namespace

bool SystemDecodesPngIcons() {
  OSVERSIONINFOW version{};
  version.dwOSVersionInfoSize = sizeof(version);
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
  if (!GetVersionExW(&version)) return false;
#pragma GCC diagnostic pop
  return version.dwMajorVersion >= 6;
}

int ThumbnailIcon(ThreadContext& ctx, const uint8_t* data, uint64_t length, ContainerKind source,
                  UniqueIcon& icon) {
  icon.Reset();
  IconImageInfo info;
  if (!data || length == 0 || length > 0x7FFFFFFF) {
    return Fail(ctx, kMsgBadParameterValue, kSiteBadArguments);
  }
  if (!ClassifyIconImage(ctx, data, length, info)) return 0;
  int width = 0;
  int height = 0;
  TargetSize(info, width, height);

  if (info.kind == IconImageKind::kDib) {
    icon.Reset(IconFromBytes(data, length, width, height));
    if (!icon) return Fail(ctx, kMsgIconCreate, kSiteDibIcon);
    return 1;
  }

  UniqueIcon system;
  if (SystemDecodesPngIcons()) system.Reset(IconFromBytes(data, length, width, height));
  if (source == kContainerPe) {
    // Module images always go through a DIB image, whichever way the icon came.
    if (!system && !PngToIcon(ctx, data, length, system)) return 0;
    return RedrawThroughDib(ctx, system.get(), width, height, icon);
  }
  if (system) {
    icon = std::move(system);
    return 1;
  }
  UniqueIcon decoded;
  if (!PngToIcon(ctx, data, length, decoded)) return 0;
  if (source == kContainerNe) {
    return RedrawThroughDib(ctx, decoded.get(), kThumbnailSide, kThumbnailSide, icon);
  }
  if (!RedrawThroughDib(ctx, decoded.get(), width, height, icon)) return 0;
  if (!CheckIconDepth(ctx, icon.get())) {
    icon.Reset();
    return 0;
  }
  return 1;
}

}  // namespace zx
