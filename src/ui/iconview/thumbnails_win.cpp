#include "ui/iconview/thumbnails_win.h"

#include "core/messages.h"
#include "core/win_text.h"
#include "formats/group_image.h"
#include "formats/ico_reader.h"
#include "imaging/icon_codec_win.h"
#include "ui/iconview/picture_drawing_win.h"
#include "ui/iconview/view_geometry.h"

namespace zx {
namespace {

constexpr int kMsgNotAdded = 235;  // the catalogue has no text for it
constexpr int kBadgeSide = 16;

// A white triangle in the top-right corner and a small badge over it, so a
// group that holds a compressed image shows it at a glance.
void DrawPngMark(HDC dc) {
  UniqueGdiObject white(CreatePen(PS_SOLID, 1, RGB(255, 255, 255)));
  SelectedObject pen(dc, white.get());
  for (int k = 18; k >= 1; --k) {
    MoveToEx(dc, kThumbnailSide - k, 0, nullptr);
    LineTo(dc, kThumbnailSide, k);
  }
  UniqueGdiObject fill(CreateSolidBrush(RGB(40, 120, 220)));
  UniqueGdiObject edge(CreatePen(PS_SOLID, 1, RGB(20, 60, 140)));
  SelectedObject brush(dc, fill.get());
  SelectedObject outline(dc, edge.get());
  const int left = kThumbnailSide - kBadgeSide;
  Ellipse(dc, left + 6, 1, left + kBadgeSide - 1, 10);
}

}  // namespace

std::vector<GroupImage> GroupImagesOf(const DocumentGroup& group) {
  std::vector<GroupImage> images;
  for (const DocumentImage& image : group.images) {
    GroupImage g;
    g.iconId = image.iconId;
    g.png = image.png;
    g.width = image.width;
    g.height = image.height;
    g.bitCount = image.bitCount;
    g.data = image.data;
    g.length = image.bytes;
    images.push_back(g);
  }
  return images;
}

int ThumbnailImageIndex(const DocumentGroup& group) {
  if (group.images.size() <= 1) return group.images.empty() ? -1 : 0;
  return RepresentativeImageIndex(GroupImagesOf(group));
}

int DrawThumbnailPicture(ThreadContext& ctx, const DocumentImage& image, ContainerKind source, bool pngMark,
                         UniqueBitmap& picture) {
  const int site = source == kContainerIco ? 8 : 9;
  UniqueIcon icon;
  if (!ThumbnailIcon(ctx, image.data, image.bytes, source, icon)) {
    if (image.png && source == kContainerIco) Fail(ctx, kMsgIconCreate, 61);
    return 0;
  }
  picture.Reset(CreateWhitePicture(kThumbnailSide, kThumbnailSide));
  if (!picture) return Fail(ctx, kMsgIconCreate, source == kContainerIco ? 64 : 65);
  PictureDc dc;
  if (!dc) return Fail(ctx, kMsgIconCreate, 65);
  SelectedObject selected(dc.get(), picture.get());
  const PictureRect at = ThumbnailPlacement(image.width, image.height);
  if (!DrawIconEx(dc.get(), at.x, at.y, icon.get(), at.width, at.height, 0, nullptr, DI_NORMAL)) {
    return Fail(ctx, kMsgIconDraw, site);
  }
  if (pngMark) DrawPngMark(dc.get());
  return 1;
}

int BuildGroupThumbnails(ThreadContext& ctx, IconDocument& doc, HWND groupList, HIMAGELIST thumbnails,
                         const std::vector<DocumentGroup>& groups) {
  const bool ico = doc.container == kContainerIco;
  const int addSite = ico ? 14 : doc.container == kContainerPe ? 12 : 9;
  const int itemSite = ico ? 16 : doc.container == kContainerPe ? 13 : 10;
  for (size_t index = 0; index < groups.size(); ++index) {
    const DocumentGroup& group = groups[index];
    const int chosen = ThumbnailImageIndex(group);
    if (chosen < 0) return Fail(ctx, kMsgGroupWithoutIcons, 1);
    const DocumentImage& image = group.images[chosen];
    bool anyPng = false;
    for (const DocumentImage& each : group.images) anyPng = anyPng || each.png;
    int listImage = 0;  // the blank placeholder
    if (image.png || IsDrawableDibBitCount(image.bitCount)) {
      UniqueBitmap picture;
      if (!DrawThumbnailPicture(ctx, image, doc.container, anyPng, picture)) return 0;
      listImage = ImageList_AddMasked(thumbnails, picture.get(), RGB(255, 255, 255));
      if (listImage < 0) return Fail(ctx, kMsgNotAdded, addSite);
      if (anyPng) doc.hasPng = 1;
    }
    LVITEMW item = {};
    item.mask = LVIF_TEXT | LVIF_IMAGE | LVIF_PARAM;
    item.iItem = static_cast<int>(index);
    item.pszText = const_cast<wchar_t*>(Wide(group.label));
    item.iImage = listImage;
    item.lParam = ico ? 1 : static_cast<LPARAM>(group.images.size());
    if (SendMessageW(groupList, LVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&item)) < 0) {
      return Fail(ctx, kMsgNotAdded, itemSite);
    }
  }
  return 1;
}

void RemoveThumbnails(HIMAGELIST thumbnails) {
  for (int count = ImageList_GetImageCount(thumbnails); count > 1; --count) ImageList_Remove(thumbnails, count - 1);
}

}  // namespace zx
