// One image of a module's icon group (PE or NE), as the group directory and
// the image data give it, and the order in which a group's images are shown.
#pragma once

#include <cstdint>
#include <vector>

namespace zx {

// The group directory, laid out alike in PE and NE modules: a 6-byte header
// (0, type 1, count) and one 14-byte entry per image.
constexpr uint64_t kGroupHeaderSize = 6;
constexpr uint64_t kGroupEntrySize = 14;
constexpr uint64_t kGroupEntryBitCount = 6;  // offset of the 16-bit bit count in an entry
constexpr uint64_t kGroupEntryIconId = 12;   // offset of the 16-bit icon id in an entry

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

// Fills png, width, height and bitCount from the image bytes and the
// directory entry. The caller has checked that the bytes hold the PNG header
// (24 bytes) or the DIB header (40 bytes).
void ReadGroupImageFields(const uint8_t* data, const uint8_t* directoryEntry, GroupImage& image);

// Widest first; among neighbours of the same width and height the deeper
// colour first. Both the thumbnail choice and the image pane use this order.
void SortGroupImages(std::vector<GroupImage>& images);

// Index, in `images` as given, of the image that stands for the group in its
// thumbnail: in the sorted order, the first 48 x 48 image of 32, 24, 8, 4 or
// 1 bits (in that preference), else the first square one, else the first.
// -1 for an empty group.
int RepresentativeImageIndex(const std::vector<GroupImage>& images);

}  // namespace zx
