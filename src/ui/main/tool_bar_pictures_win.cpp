#include "ui/main/tool_bar_pictures_win.h"

#include <algorithm>
#include <vector>

#include "core/embedded_items_win.h"
#include "core/win_handles.h"

namespace zx {
namespace {

constexpr int kFatalPictureMissing = 203;
constexpr int kFatalNotAPicture = 204;
constexpr int kFatalPictureNotAdded = 205;
constexpr int kToolBarPictureCount = 10;

}  // namespace

int AddToolBarPictures(ThreadContext& ctx, HIMAGELIST list) {
  for (int item = 0; item < kToolBarPictureCount; ++item) {
    if (EmbeddedItem(item).empty()) return Fail(ctx, kFatalPictureMissing);
  }
  // Decoding the PNG items needs the image codec, which is not in this build
  // yet: the list stays empty and the buttons show their captions alone.
  (void)list;
  (void)kFatalNotAPicture;
  (void)kFatalPictureNotAdded;
  return 1;
}

int AddBlankPicture(ThreadContext& ctx, HIMAGELIST list, int size) {
  BITMAPINFO info = {};
  info.bmiHeader = {sizeof(BITMAPINFOHEADER), size, -size, 1, 32, BI_RGB};
  void* bits = nullptr;
  UniqueGdiObject picture(CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0));
  // Monochrome rows are padded to 16 bits; all zero: every pixel shown.
  const std::vector<uint8_t> opaque(static_cast<size_t>((size + 15) / 16 * 2 * size), 0);
  UniqueGdiObject mask(CreateBitmap(size, size, 1, 1, opaque.data()));
  if (!picture || !bits || !mask) return Fail(ctx, kFatalNotAPicture);
  std::fill_n(static_cast<uint32_t*>(bits), size * size, 0xFFFFFFFFu);
  if (ImageList_Add(list, static_cast<HBITMAP>(picture.get()), static_cast<HBITMAP>(mask.get())) < 0) {
    return Fail(ctx, kFatalPictureNotAdded);
  }
  return 1;
}

}  // namespace zx
