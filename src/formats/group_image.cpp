#include "formats/group_image.h"

#include <algorithm>
#include <numeric>
#include <utility>

#include "formats/byte_reader.h"
#include "imaging/icon_image_classify.h"

namespace zx {
namespace {

// The sorted order as indices into `images`, so callers can keep their own order.
std::vector<size_t> SortedOrder(const std::vector<GroupImage>& images) {
  std::vector<size_t> order(images.size());
  std::iota(order.begin(), order.end(), size_t{0});
  std::stable_sort(order.begin(), order.end(),
                   [&](size_t a, size_t b) { return images[a].width > images[b].width; });
  // Neighbour swaps until nothing moves: equal sizes end up deepest first.
  for (bool moved = true; moved;) {
    moved = false;
    for (size_t i = 0; i + 1 < order.size(); ++i) {
      const GroupImage& a = images[order[i]];
      const GroupImage& b = images[order[i + 1]];
      if (a.width == b.width && a.height == b.height && a.bitCount < b.bitCount) {
        std::swap(order[i], order[i + 1]);
        moved = true;
      }
    }
  }
  return order;
}

}  // namespace

void ReadGroupImageFields(const uint8_t* data, const uint8_t* directoryEntry, GroupImage& image) {
  image.png = IsPngSignature(data, 8);
  if (image.png) {
    // Only the low 16 bits of the IHDR size are used; the depth is the entry's.
    image.width = static_cast<int>(ReadU32BigEndian(data + 16) & 0xFFFF);
    image.height = static_cast<int>(ReadU32BigEndian(data + 20) & 0xFFFF);
    image.bitCount = ReadU16(directoryEntry + kGroupEntryBitCount);
  } else {
    image.width = ReadS32(data + 4);
    image.height = ReadS32(data + 8) / 2;
    image.bitCount = ReadU16(data + 14);
  }
}

void SortGroupImages(std::vector<GroupImage>& images) {
  const std::vector<size_t> order = SortedOrder(images);
  std::vector<GroupImage> sorted;
  sorted.reserve(images.size());
  for (size_t i : order) sorted.push_back(images[i]);
  images = std::move(sorted);
}

int RepresentativeImageIndex(const std::vector<GroupImage>& images) {
  if (images.empty()) return -1;
  const std::vector<size_t> order = SortedOrder(images);
  for (int depth : {32, 24, 8, 4, 1}) {
    for (size_t i : order) {
      const GroupImage& image = images[i];
      if (image.width == 48 && image.height == 48 && image.bitCount == depth) return static_cast<int>(i);
    }
  }
  for (size_t i : order) {
    if (images[i].width == images[i].height) return static_cast<int>(i);
  }
  return static_cast<int>(order.front());
}

}  // namespace zx
