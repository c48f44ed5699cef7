#include "formats/group_image.h"

#include <gtest/gtest.h>

#include <vector>

namespace zx {
namespace {

struct Size {
  int width, height, bitCount;
};

std::vector<GroupImage> Images(const std::vector<Size>& sizes) {
  std::vector<GroupImage> images;
  int id = 1;
  for (const Size& s : sizes) {
    GroupImage image;
    image.iconId = id++;
    image.width = s.width;
    image.height = s.height;
    image.bitCount = s.bitCount;
    images.push_back(image);
  }
  return images;
}

std::vector<int> Ids(const std::vector<GroupImage>& images) {
  std::vector<int> ids;
  for (const GroupImage& image : images) ids.push_back(image.iconId);
  return ids;
}

TEST(SortGroupImages, WidestFirstThenDeepestAmongEqualSizes) {
  struct Case {
    const char* name;
    std::vector<Size> sizes;
    std::vector<int> order;  // icon ids after sorting
  } cases[] = {
      {"widths", {{16, 16, 32}, {48, 48, 32}, {32, 32, 32}}, {2, 3, 1}},
      {"depths of one size", {{32, 32, 4}, {32, 32, 32}, {32, 32, 8}, {32, 32, 1}}, {2, 3, 1, 4}},
      {"mixed", {{16, 16, 4}, {48, 48, 8}, {16, 16, 32}, {48, 48, 32}, {256, 256, 32}}, {5, 4, 2, 3, 1}},
      // Same width, other height: the depth does not reorder them.
      {"equal width, other height", {{32, 16, 4}, {32, 32, 32}}, {1, 2}},
      {"empty", {}, {}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    std::vector<GroupImage> images = Images(c.sizes);
    SortGroupImages(images);
    EXPECT_EQ(Ids(images), c.order);
  }
}

TEST(RepresentativeImageIndex, PrefersDeep48ThenSquareThenFirst) {
  struct Case {
    const char* name;
    std::vector<Size> sizes;
    int chosenId;  // 0: none
  } cases[] = {
      {"48 x 48 32-bit among others", {{16, 16, 32}, {32, 32, 32}, {48, 48, 4}, {48, 48, 32}}, 4},
      {"48 x 48 24-bit before 8-bit", {{48, 48, 8}, {48, 48, 24}, {64, 64, 32}}, 2},
      {"48 x 48 of 1 bit before other sizes", {{256, 256, 32}, {48, 48, 1}}, 2},
      {"48 x 48 of another depth is only square", {{64, 64, 32}, {48, 48, 16}}, 1},
      {"square", {{20, 16, 32}, {24, 24, 32}}, 2},
      {"first in order", {{10, 8, 32}, {20, 16, 4}}, 2},
      {"one image", {{7, 3, 8}}, 1},
      {"none", {}, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const std::vector<GroupImage> images = Images(c.sizes);
    const int index = RepresentativeImageIndex(images);
    if (c.chosenId == 0) {
      EXPECT_EQ(index, -1);
    } else {
      ASSERT_GE(index, 0);
      EXPECT_EQ(images[index].iconId, c.chosenId);
    }
  }
}

}  // namespace
}  // namespace zx
