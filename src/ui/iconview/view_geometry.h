// Where pictures go in the icon view: the thumbnail of an image in its
// 48 x 48 square and the width of the image pane's content.
#pragma once

namespace zx {

constexpr int kThumbnailSide = 48;
// The image pane's content width for images narrower than 257 pixels.
constexpr int kPaneMinimumInnerWidth = 266;

struct PictureRect {
  int x = 0;
  int y = 0;
  int width = 0;
  int height = 0;
};

// An image whose sides are both 1-47 pixels is drawn at its own size in the
// middle of the thumbnail; any other is scaled to the whole 48 x 48.
PictureRect ThumbnailPlacement(int width, int height);

// 266, or the widest image's width + 10 when it is 257 pixels or wider.
int PaneInnerWidth(int widestImage);

}  // namespace zx
