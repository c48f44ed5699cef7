#include "ui/iconview/view_geometry.h"

namespace zx {

PictureRect ThumbnailPlacement(int width, int height) {
  const bool small = width >= 1 && width < kThumbnailSide && height >= 1 && height < kThumbnailSide;
  if (!small) return {0, 0, kThumbnailSide, kThumbnailSide};
  return {(kThumbnailSide - width) / 2, (kThumbnailSide - height) / 2, width, height};
}

int PaneInnerWidth(int widestImage) {
  return widestImage < 257 ? kPaneMinimumInnerWidth : widestImage + 10;
}

}  // namespace zx
