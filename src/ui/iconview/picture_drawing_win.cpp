#include "ui/iconview/picture_drawing_win.h"

namespace zx {

HBITMAP CreateWhitePicture(int width, int height) {
  BITMAPINFO info = {};
  info.bmiHeader.biSize = sizeof(info.bmiHeader);
  info.bmiHeader.biWidth = width;
  info.bmiHeader.biHeight = -height;
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 24;
  info.bmiHeader.biCompression = BI_RGB;
  void* bits = nullptr;
  UniqueBitmap picture(CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0));
  if (!picture) return nullptr;
  PictureDc dc;
  if (!dc) return nullptr;
  SelectedObject selected(dc.get(), picture.get());
  const RECT all = {0, 0, width, height};
  FillRect(dc.get(), &all, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
  return picture.Release();
}

HBITMAP CopyPicture(HBITMAP source, int width, int height) {
  UniqueBitmap copy(CreateWhitePicture(width, height));
  if (!copy) return nullptr;
  PictureDc from;
  PictureDc to;
  if (!from || !to) return nullptr;
  SelectedObject fromSelected(from.get(), source);
  SelectedObject toSelected(to.get(), copy.get());
  if (!BitBlt(to.get(), 0, 0, width, height, from.get(), 0, 0, SRCCOPY)) return nullptr;
  return copy.Release();
}

}  // namespace zx
