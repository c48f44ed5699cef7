// Depth captions of images read from a real .ico file, in the program's own
// string tables.
#include <gtest/gtest.h>

#include "core/ui_text_win.h"
#include "imaging/icon_image_classify.h"
#include "ops/document_loading.h"
#include "ops/icon_document_ops.h"
#include "support/document_fixture.h"
#include "wine/wine_support.h"

namespace zx {
namespace {

TEST(DepthCaptionOfFileImages, PngWithBitCountZeroIsRgbaPackedAndDibsTheirDepth) {
  std::vector<uint8_t> file = testing::IcoFile(
      {testing::PngImage(48, 48), testing::DibImage(16, 16, 24), testing::DibImage(16, 16, 1)});
  testing::PutU16(file, 6 + 6, 0);  // the PNG entry's directory bit count
  testing::TempFolder folder;
  const std::u16string path = folder.Write(u"depths.ico", file);

  struct Case {
    int language;
    std::u16string png, rgb, monochrome;
  };
  for (const Case& c : {Case{kLangEnglish, u"- RGBA (packed)", u"- RGB", u"- monochrome"},
                        Case{kLangFrench, u"- RVBA (compress\u00E9e)", u"- RVB", u"- monochrome"}}) {
    ThreadContext ctx;
    ctx.language = c.language;
    IconDocument doc;
    std::vector<DocumentGroup> groups;
    ASSERT_EQ(LoadIconDocument(ctx, doc, path), 1) << ctx.error;
    ASSERT_EQ(ReadDocumentGroups(ctx, doc, groups), 1);
    ASSERT_EQ(groups.size(), 3u);
    const std::u16string expected[] = {c.png, c.rgb, c.monochrome};
    for (size_t g = 0; g < 3; ++g) {
      const DocumentImage& image = groups[g].images.at(0);
      EXPECT_EQ(DepthCaption(ctx, image.bitCount, image.png, UiTextLookup()), expected[g]) << g;
    }
    CloseDocument(ctx, &doc);
  }

  // A 16-bit DIB makes no thumbnail, but its caption is "- ?".
  ThreadContext ctx;
  const std::vector<uint8_t> dib16 = testing::DibImage(16, 16, 16);
  IconImageInfo info;
  ASSERT_EQ(ClassifyIconImage(ctx, dib16.data(), dib16.size(), info), 1);
  EXPECT_EQ(DepthCaption(ctx, info.bitCount, false, UiTextLookup()), u"- ?");
}

}  // namespace
}  // namespace zx
