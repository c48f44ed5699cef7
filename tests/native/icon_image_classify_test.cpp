#include "imaging/icon_image_classify.h"

#include <gtest/gtest.h>

#include <cstring>
#include <map>
#include <utility>
#include <vector>

#include "core/messages.h"
#include "formats/byte_reader.h"

namespace zx {
namespace {

// A PNG start: signature, first chunk length 13, chunk type, width, height.
std::vector<uint8_t> PngStart(uint32_t width, uint32_t height, const char* chunkType = "IHDR") {
  std::vector<uint8_t> bytes(24);
  std::memcpy(bytes.data(), kPngSignatureBytes, 8);
  WriteU32BigEndian(bytes.data() + 8, 13);
  std::memcpy(bytes.data() + 12, chunkType, 4);
  WriteU32BigEndian(bytes.data() + 16, width);
  WriteU32BigEndian(bytes.data() + 20, height);
  return bytes;
}

// A bare 40-byte bitmap information header.
std::vector<uint8_t> DibHeader(int32_t width, int32_t headerHeight, uint16_t bitCount,
                               uint32_t colorsUsed = 0, uint16_t planes = 1) {
  std::vector<uint8_t> bytes(40, 0);
  WriteU32(bytes.data(), 40);
  WriteU32(bytes.data() + 4, static_cast<uint32_t>(width));
  WriteU32(bytes.data() + 8, static_cast<uint32_t>(headerHeight));
  WriteU16(bytes.data() + 12, planes);
  WriteU16(bytes.data() + 14, bitCount);
  WriteU32(bytes.data() + 32, colorsUsed);
  return bytes;
}

TEST(IconImageClassify, PngSizeIsTheLowSixteenBitsOfTheIhdrFields) {
  ThreadContext ctx;
  // Exactly 24 bytes: the classifier must not read a byte further.
  const std::vector<uint8_t> png = PngStart(0x00010100, 0x00020030);
  IconImageInfo info;
  ASSERT_EQ(1, ClassifyIconImage(ctx, png.data(), png.size(), info));
  EXPECT_EQ(IconImageKind::kPng, info.kind);
  EXPECT_EQ(0x0100, info.width);
  EXPECT_EQ(0x0030, info.height);
  EXPECT_EQ(0, info.bitCount) << "a PNG's depth comes from its directory entry";
  EXPECT_EQ(ClassifyFailure::kNone, info.failure);
  EXPECT_EQ(0, ctx.error);
}

TEST(IconImageClassify, DibSizeIsTheHeaderWidthAndHalfItsHeight) {
  ThreadContext ctx;
  const std::vector<uint8_t> dib = DibHeader(0x00010020, 512, 8, 16);
  IconImageInfo info;
  ASSERT_EQ(1, ClassifyIconImage(ctx, dib.data(), dib.size(), info));
  EXPECT_EQ(IconImageKind::kDib, info.kind);
  EXPECT_EQ(0x20, info.width);
  EXPECT_EQ(256, info.height);
  EXPECT_EQ(8, info.bitCount);
  EXPECT_EQ(0x00010020, info.headerWidth);
  EXPECT_EQ(512, info.headerHeight);
  EXPECT_EQ(1, info.planes);
  EXPECT_EQ(16u, info.colorsUsed);
  EXPECT_EQ(0, ctx.error);
}

TEST(IconImageClassify, AlmostASignatureIsADib) {
  ThreadContext ctx;
  std::vector<uint8_t> bytes = DibHeader(16, 32, 4);
  std::memcpy(bytes.data(), kPngSignatureBytes, 8);
  bytes[7] = 0x0B;
  IconImageInfo info;
  ASSERT_EQ(1, ClassifyIconImage(ctx, bytes.data(), bytes.size(), info));
  EXPECT_EQ(IconImageKind::kDib, info.kind);
}

TEST(IconImageClassify, RefusesTruncatedAndMalformedImages) {
  struct Case {
    const char* name;
    std::vector<uint8_t> bytes;
    bool nullData;
    IconImageKind kind;
    ClassifyFailure failure;
    int message;
    int site;
  };
  std::vector<uint8_t> shortPng = PngStart(16, 16);
  shortPng.pop_back();
  std::vector<uint8_t> shortDib = DibHeader(16, 32, 4);
  shortDib.pop_back();
  const std::vector<uint8_t> signatureOnly(kPngSignatureBytes, kPngSignatureBytes + 8);
  const std::vector<Case> cases = {
      {"no data", {}, true, IconImageKind::kDib, ClassifyFailure::kTruncated, kMsgNullPointer, 162},
      {"empty", {}, false, IconImageKind::kDib, ClassifyFailure::kTruncated, kMsgOverflow, 160},
      {"PNG of 23 bytes", shortPng, false, IconImageKind::kPng, ClassifyFailure::kTruncated,
       kMsgOverflow, 160},
      {"PNG signature alone", signatureOnly, false, IconImageKind::kPng,
       ClassifyFailure::kTruncated, kMsgOverflow, 160},
      {"PNG whose first chunk is IDAT", PngStart(16, 16, "IDAT"), false, IconImageKind::kPng,
       ClassifyFailure::kBadIhdr, kMsgBadIhdr, 161},
      {"PNG with lower-case ihdr", PngStart(16, 16, "ihdr"), false, IconImageKind::kPng,
       ClassifyFailure::kBadIhdr, kMsgBadIhdr, 161},
      {"DIB of 39 bytes", shortDib, false, IconImageKind::kDib, ClassifyFailure::kTruncated,
       kMsgOverflow, 160},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    ThreadContext ctx;
    // An exact-size heap copy, so a read past the end trips the sanitizer.
    std::vector<uint8_t> exact(c.bytes);
    const uint8_t* data =
        c.nullData ? nullptr : (exact.empty() ? kPngSignatureBytes : exact.data());
    IconImageInfo info;
    EXPECT_EQ(0, ClassifyIconImage(ctx, data, exact.size(), info));
    EXPECT_EQ(c.kind, info.kind);
    EXPECT_EQ(c.failure, info.failure);
    EXPECT_EQ(c.message, ErrorMessage(ctx.error));
    EXPECT_EQ(c.site, ErrorSite(ctx.error));
  }
}

TEST(IconImageClassify, DepthCaptionNumbers) {
  struct Case {
    int bitCount;
    bool isPng;
    int depth;
    int packed;
  };
  const Case cases[] = {
      {1, false, 2000, 0},    {4, false, 2001, 0},    {8, false, 2002, 0},
      {24, false, 2003, 0},   {32, false, 2004, 0},   {16, false, 2005, 0},
      {0, false, 2005, 0},    {2, false, 2005, 0},    {0, true, 2004, 2006},
      {16, true, 2004, 2006}, {1, true, 2000, 2006},  {4, true, 2001, 2006},
      {8, true, 2002, 2006},  {24, true, 2003, 2006}, {32, true, 2004, 2006},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.bitCount << (c.isPng ? " PNG" : " DIB"));
    const DepthCaptionTexts texts = DepthCaptionNumbers(c.bitCount, c.isPng);
    EXPECT_EQ(c.depth, texts.depth);
    EXPECT_EQ(c.packed, texts.packed);
  }
}

TEST(IconImageClassify, DepthCaptionIsLookedUpInTheContextLanguage) {
  const std::map<std::pair<int, int>, std::u16string> catalogue = {
      {{2003, kLangEnglish}, u"- RGB"},      {{2004, kLangEnglish}, u"- RGBA"},
      {{2005, kLangEnglish}, u"- ?"},        {{2006, kLangEnglish}, u" (packed)"},
      {{2004, kLangFrench}, u"- RVBA"},      {{2006, kLangFrench}, u" (compress\u00E9e)"},
  };
  const TextLookup lookup = [&](int number, int language) {
    const auto found = catalogue.find({number, language});
    return found == catalogue.end() ? std::u16string() : found->second;
  };
  ThreadContext english;
  english.language = kLangEnglish;
  EXPECT_EQ(u"- RGBA (packed)", DepthCaption(english, 0, true, lookup));
  EXPECT_EQ(u"- RGB", DepthCaption(english, 24, false, lookup));
  EXPECT_EQ(u"- ?", DepthCaption(english, 16, false, lookup));
  ThreadContext french;
  french.language = kLangFrench;
  EXPECT_EQ(u"- RVBA (compress\u00E9e)", DepthCaption(french, 32, true, lookup));
  EXPECT_EQ(u"", DepthCaption(english, 24, false, TextLookup()));
}

TEST(IconImageClassify, PngBitCountRules) {
  struct Case {
    int entry;
    int caption;
    int recorded;
  };
  const Case cases[] = {{0, 32, 0},   {1, 1, 1},    {2, 32, 32},  {4, 4, 4},    {8, 8, 8},
                        {16, 32, 32}, {24, 24, 24}, {32, 32, 32}, {33, 32, 32}, {-1, 32, 32}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.entry);
    EXPECT_EQ(c.caption, PngCaptionBitCount(c.entry));
    EXPECT_EQ(c.recorded, RecordedBitCount(c.entry));
  }
}

}  // namespace
}  // namespace zx
