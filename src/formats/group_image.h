// One image of a module's icon group (PE or NE), as the group directory and
// the image data give it, and the order in which a group's images are shown.
#pragma once

#include <cstdint>
#include <vector>

namespace zx {

struct GroupImage {
  // The number of the icon resource that holds the image.
  int iconId = 0;
  bool png = false;
  // PNG: low 16 bits of the IHDR size. DIB: header width, header height / 2.
  int width = 0;
  int height = 0;
  // PNG: the group entry's bit count. DIB: the header's bit count.
  int bitCount = 0;
  const uint8_t* data = nullptr;
  int64_t length = 0;
  const uint8_t* directoryEntry = nullptr;  // the 14-byte entry in the group data
};

// Widest first; among neighbours of the same width and height the deeper
// colour first. Both the thumbnail choice and the image pane use this order.
void SortGroupImages(std::vector<GroupImage>& images);

// Index, in `images` as given, of the image that stands for the group in its
// thumbnail: in the sorted order, the first 48 x 48 image of 32, 24, 8, 4 or
// 1 bits (in that preference), else the first square one, else the first.
// -1 for an empty group.
int RepresentativeImageIndex(const std::vector<GroupImage>& images);

}  // namespace zx
