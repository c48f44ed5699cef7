// Stamping the about line into the module template's DOS stub message.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "formats/module_template.h"

namespace zx {
namespace {

std::string StubArea(const std::vector<uint8_t>& image) {
  return std::string(image.begin() + kStubMessageOffset, image.begin() + kStubMessageEnd);
}

TEST(ModuleTemplateTest, AboutLineGoesAtTheStubMessageWithItsZero) {
  const struct {
    std::string line;
    std::string area;  // what 0x4E-0x7F holds afterwards
  } cases[] = {
      {"Zorvex version 2.00 beta 2 - 2026\n", "Zorvex version 2.00 beta 2 - 2026\n" + std::string(1, '\0') + std::string(15, '\x55')},
      // Nothing to stamp: the template keeps what it had.
      {"", std::string(50, '\x55')},
      // Longer than the area (multi-byte code pages): cut, with its zero byte
      // just before the build-tool block.
      {std::string(60, 'x'), std::string(49, 'x') + std::string(1, '\0')},
  };
  for (const auto& c : cases) {
    std::vector<uint8_t> image(kModuleTemplateSize, 0x55);
    ASSERT_EQ(StampAboutLine(image, c.line), 1);
    EXPECT_EQ(StubArea(image), c.area) << c.line;
    EXPECT_EQ(image[kStubMessageOffset - 1], 0x55);
    EXPECT_EQ(image[kStubMessageEnd], 0x55);
  }
}

TEST(ModuleTemplateTest, TooShortATemplateIsRefused) {
  std::vector<uint8_t> image(kStubMessageEnd - 1, 0);
  EXPECT_EQ(StampAboutLine(image, "about"), 0);
  EXPECT_EQ(image, std::vector<uint8_t>(kStubMessageEnd - 1, 0));
}

}  // namespace
}  // namespace zx
