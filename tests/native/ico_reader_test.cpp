#include "formats/ico_reader.h"

#include <gtest/gtest.h>

#include "core/messages.h"
#include "support/document_fixture.h"

namespace zx {
namespace {

using testing::DibImage;
using testing::IcoFile;
using testing::LoadBytes;
using testing::PngImage;
using testing::PutU16;
using testing::PutU32;

struct Opened {
  ThreadContext ctx;
  IconDocument doc;
  int checked = 0;
};

void Check(Opened& o, const std::vector<uint8_t>& bytes) {
  ASSERT_TRUE(LoadBytes(o.ctx, o.doc, bytes));
  o.checked = CheckIco(o.ctx, o.doc);
}

TEST(CheckIco, AcceptsIconCursorAndType14) {
  for (uint32_t signature : {0x00010000u, 0x00020000u, 0x000E0000u}) {
    Opened o;
    Check(o, IcoFile({DibImage(16, 16, 8), DibImage(32, 32, 32)}, signature));
    EXPECT_EQ(o.checked, 1) << std::hex << signature;
    EXPECT_EQ(o.doc.iconCount, 2);
    EXPECT_EQ(o.doc.groupCount, 0);
    EXPECT_EQ(o.doc.container, kContainerIco);
    EXPECT_EQ(o.doc.lastByte, o.doc.base + o.doc.size - 1);
  }
}

struct CheckFailure {
  const char* name;
  std::vector<uint8_t> bytes;
  int message;
  int site;
};

std::vector<CheckFailure> CheckFailures() {
  std::vector<CheckFailure> cases;
  auto good = IcoFile({DibImage(16, 16, 4)});

  auto badType = good;
  PutU16(badType, 2, 3);
  cases.push_back({"type 3", badType, kMsgHeaderIntegrity, 7});

  auto reserved = good;
  PutU16(reserved, 0, 1);
  cases.push_back({"reserved word set", reserved, kMsgHeaderIntegrity, 7});

  auto noEntries = good;
  PutU16(noEntries, 4, 0);
  cases.push_back({"count 0", noEntries, kMsgBadIconCount, 12});

  // 100 entries cannot fit in the file.
  auto tooMany = good;
  PutU16(tooMany, 4, 100);
  cases.push_back({"directory past the end", tooMany, kMsgOverflow, 34});

  auto pastEnd = good;
  PutU32(pastEnd, 6 + 8, static_cast<uint32_t>(good.size() - 22 + 1));
  cases.push_back({"image one byte past the end", pastEnd, kMsgOverflow, 35});

  // Read as unsigned: a large offset must not wrap around to a small one.
  auto hugeOffset = good;
  PutU32(hugeOffset, 6 + 12, 0x80000000u);
  cases.push_back({"offset 0x80000000", hugeOffset, kMsgOverflow, 35});

  auto wrapping = good;
  PutU32(wrapping, 6 + 8, 0xFFFFFFF0u);
  cases.push_back({"offset + size wraps 32 bits", wrapping, kMsgOverflow, 35});
  return cases;
}

TEST(CheckIco, RejectsMalformedHeadersWithTheirMessageAndSite) {
  for (const CheckFailure& c : CheckFailures()) {
    Opened o;
    Check(o, c.bytes);
    EXPECT_EQ(o.checked, 0) << c.name;
    EXPECT_EQ(ErrorMessage(o.ctx.error), c.message) << c.name;
    EXPECT_EQ(ErrorSite(o.ctx.error), c.site) << c.name;
    // A failed check gives the buffer back.
    EXPECT_EQ(o.doc.base, nullptr) << c.name;
    EXPECT_EQ(o.ctx.blocks.LiveCount(), 0u) << c.name;
  }
}

TEST(CheckIco, ImageEndingOnTheLastBytePasses) {
  Opened o;
  auto bytes = IcoFile({DibImage(16, 16, 4)});
  // The image runs exactly to the last byte of the file.
  ASSERT_EQ(6 + 16 + DibImage(16, 16, 4).size(), bytes.size());
  Check(o, bytes);
  EXPECT_EQ(o.checked, 1);
}

TEST(ForEachIcoEntry, ShortOneEntryFilePassesTheCheckButNotTheWalk) {
  for (size_t size = 23; size <= 38; ++size) {
    Opened o;
    std::vector<uint8_t> bytes(size, 0);
    PutU32(bytes, 0, 0x00010000);
    PutU16(bytes, 4, 1);
    PutU32(bytes, 6 + 8, 1);
    PutU32(bytes, 6 + 12, 22);
    Check(o, bytes);
    ASSERT_EQ(o.checked, 1) << size;
    int calls = 0;
    const int walked = ForEachIcoEntry(o.ctx, o.doc, [&](IconDocument&, int64_t) { return ++calls, 1; });
    if (size < 38) {
      EXPECT_EQ(walked, 0) << size;
      EXPECT_EQ(o.ctx.error, MakeError(kMsgOverflow, 43)) << size;
      EXPECT_EQ(calls, 0);
    } else {
      EXPECT_EQ(walked, 1) << size;
      EXPECT_EQ(calls, 1);
    }
  }
}

TEST(ForEachIcoEntry, VisitsEveryEntryInOrderAndStopsWhenAsked) {
  Opened o;
  Check(o, IcoFile({DibImage(16, 16, 1), DibImage(24, 24, 4), DibImage(32, 32, 8)}));
  ASSERT_EQ(o.checked, 1);
  std::vector<int64_t> seen;
  EXPECT_EQ(ForEachIcoEntry(o.ctx, o.doc, [&](IconDocument&, int64_t n) { seen.push_back(n); return 1; }), 1);
  EXPECT_EQ(seen, (std::vector<int64_t>{1, 2, 3}));

  // Stopped without an error: success. Stopped with one: failure.
  EXPECT_EQ(ForEachIcoEntry(o.ctx, o.doc, [](IconDocument&, int64_t) { return 0; }), 1);
  EXPECT_EQ(ForEachIcoEntry(o.ctx, o.doc, [&](IconDocument&, int64_t) { return Fail(o.ctx, kMsgIconCreate, 9); }), 0);
  EXPECT_EQ(o.ctx.error, MakeError(kMsgIconCreate, 9));
}

TEST(IcoAccessors, CheckTheirOwnBounds) {
  Opened o;
  Check(o, IcoFile({DibImage(16, 16, 8)}));
  ASSERT_EQ(o.checked, 1);
  EXPECT_EQ(IcoEntry(o.ctx, o.doc, 0), nullptr);
  EXPECT_EQ(o.ctx.error, MakeError(kMsgNullPointer, 77));
  // Entry 1000 starts far past the end of the buffer.
  EXPECT_EQ(IcoEntry(o.ctx, o.doc, 1000), nullptr);
  EXPECT_EQ(o.ctx.error, MakeError(kMsgOverflow, 79));

  const uint8_t* entry = IcoEntry(o.ctx, o.doc, 1);
  ASSERT_NE(entry, nullptr);
  EXPECT_EQ(IcoImageData(o.ctx, o.doc, entry), o.doc.base + 22);
  EXPECT_EQ(IcoImageSize(o.ctx, o.doc, entry), DibImage(16, 16, 8).size());
  // An entry address whose 16 bytes run off the end.
  EXPECT_EQ(IcoImageData(o.ctx, o.doc, o.doc.lastByte - 3), nullptr);
  EXPECT_EQ(o.ctx.error, MakeError(kMsgOverflow, 91));
  EXPECT_EQ(IcoImageSize(o.ctx, o.doc, o.doc.lastByte - 3), 0u);
  EXPECT_EQ(o.ctx.error, MakeError(kMsgOverflow, 95));
}

TEST(IcoAccessors, ZeroOffsetOrSizeIsABadFormat) {
  Opened o;
  auto bytes = IcoFile({DibImage(16, 16, 8)});
  Check(o, bytes);
  ASSERT_EQ(o.checked, 1);
  uint8_t* entry = o.doc.base + 6;
  entry[12] = entry[13] = entry[14] = entry[15] = 0;
  EXPECT_EQ(IcoImageData(o.ctx, o.doc, entry), nullptr);
  EXPECT_EQ(o.ctx.error, MakeError(kMsgBadFileFormat, 43));
  entry[12] = 22;
  entry[8] = entry[9] = entry[10] = entry[11] = 0;
  EXPECT_EQ(IcoImageData(o.ctx, o.doc, entry), nullptr);
  EXPECT_EQ(o.ctx.error, MakeError(kMsgBadFileFormat, 44));
  EXPECT_EQ(IcoImageSize(o.ctx, o.doc, entry), 0u);
  EXPECT_EQ(o.ctx.error, MakeError(kMsgBadFileFormat, 45));
}

TEST(IcoEntryImage, ReadsDibAndPngSizesAndDepths) {
  Opened o;
  auto bytes = IcoFile({DibImage(48, 48, 24), PngImage(256, 256)});
  PutU16(bytes, 6 + 16 + 6, 0);  // the PNG entry's directory bit count
  Check(o, bytes);
  ASSERT_EQ(o.checked, 1);
  IcoImageInfo info;
  ASSERT_EQ(CheckIcoEntryImage(o.ctx, o.doc, 1, info), 1);
  EXPECT_FALSE(info.png);
  EXPECT_EQ(info.width, 48);
  EXPECT_EQ(info.height, 48);
  EXPECT_EQ(info.bitCount, 24);
  ASSERT_EQ(ReadIcoEntryImage(o.ctx, o.doc, 2, info), 1);
  EXPECT_TRUE(info.png);
  EXPECT_EQ(info.width, 256);
  EXPECT_EQ(info.height, 256);
  EXPECT_EQ(info.bitCount, 0);
  EXPECT_EQ(ReadIcoEntryImage(o.ctx, o.doc, 3, info), 0);
  EXPECT_EQ(o.ctx.error, MakeError(kMsgBadParameter, 22));
}

TEST(IcoEntryImage, OpeningChecksFailWithTheirSites) {
  struct Case {
    const char* name;
    std::vector<uint8_t> image;
    int message;
    int site;
  } cases[] = {
      {"first PNG chunk is not IHDR", PngImage(32, 32, "IDAT"), kMsgBadFileFormat, 60},
      {"PNG of width 0", PngImage(0, 32), kMsgBadFileFormat, 61},
      {"PNG of height 0", PngImage(32, 0), kMsgBadFileFormat, 61},
      {"DIB header cut short", std::vector<uint8_t>(30, 1), kMsgOverflow, 158},
  };
  for (const Case& c : cases) {
    Opened o;
    Check(o, IcoFile({DibImage(16, 16, 4), c.image}));
    ASSERT_EQ(o.checked, 1) << c.name;
    IcoImageInfo info;
    EXPECT_EQ(CheckIcoEntryImage(o.ctx, o.doc, 1, info), 1) << c.name;
    EXPECT_EQ(CheckIcoEntryImage(o.ctx, o.doc, 2, info), 0) << c.name;
    EXPECT_EQ(o.ctx.error, MakeError(c.message, c.site)) << c.name;
  }
}

TEST(IcoEntryImage, PaneRefusesADibOfZeroWidth) {
  Opened o;
  Check(o, IcoFile({DibImage(0, 16, 8)}));
  ASSERT_EQ(o.checked, 1);
  IcoImageInfo info;
  EXPECT_EQ(ReadIcoEntryImage(o.ctx, o.doc, 1, info), 0);
  EXPECT_EQ(o.ctx.error, MakeError(kMsgIconCreate, 38));
}

TEST(IcoEntryImage, OnlyUsualDibDepthsMakeThumbnails) {
  for (int bits : {0, 1, 4, 8, 24, 32}) EXPECT_TRUE(IsDrawableDibBitCount(bits)) << bits;
  for (int bits : {2, 15, 16, 48}) EXPECT_FALSE(IsDrawableDibBitCount(bits)) << bits;
}

}  // namespace
}  // namespace zx
