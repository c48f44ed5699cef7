#include "formats/ico_writer.h"

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "core/messages.h"
#include "formats/byte_reader.h"
#include "formats/ico_reader.h"
#include "imaging/memory_stream.h"
#include "support/writer_fixture.h"

namespace zx {
namespace {

using Bytes = std::vector<uint8_t>;
using namespace zx::testing;

class IcoWriterTest : public ::testing::Test {
 protected:
  IconDocument Document(const Bytes& file) {
    IconDocument doc;
    EXPECT_TRUE(LoadBytes(ctx, doc, file));
    return doc;
  }
  void ExpectError(int message, int site = -1) {
    EXPECT_EQ(ErrorMessage(ctx.error), message);
    if (site >= 0) {
      EXPECT_EQ(ErrorSite(ctx.error), site);
    }
  }
  // Reads an .ico back with the reader: every image's bytes in order.
  std::vector<Bytes> ReadBack(const Bytes& file) {
    IconDocument doc = Document(file);
    std::vector<Bytes> images;
    if (!CheckIco(ctx, doc)) return images;
    for (int64_t n = 1; n <= doc.iconCount; ++n) {
      const uint8_t* entry = IcoEntry(ctx, doc, n);
      const uint8_t* data = IcoImageData(ctx, doc, entry);
      images.emplace_back(data, data + IcoImageSize(ctx, doc, entry));
    }
    return images;
  }
  ThreadContext ctx;
};

TEST_F(IcoWriterTest, SelectedImagesAreCopiedUnchangedInSelectionOrder) {
  const Bytes a = PatternedDib(16, 16, 4, 1), b = PatternedDib(32, 32, 8, 2),
              c = PatternedDib(48, 48, 32, 3);
  Bytes file = IcoFile({a, b, c});
  file[6 + 32] = 48;  // entry 3 says 48 × 48 with 2 colours: copied as it stands
  file[6 + 32 + 1] = 48;
  file[6 + 32 + 2] = 2;
  const IconDocument doc = Document(file);
  MemoryStream out;
  ASSERT_EQ(BuildIcoFromIcoDocument(ctx, doc, {3, 1}, out), 1);
  const Bytes written = StreamBytes(out);

  ASSERT_EQ(ReadU16(written.data() + 4), 2);
  EXPECT_EQ(0, std::memcmp(written.data() + 6, file.data() + 6 + 32, 12));
  EXPECT_EQ(0, std::memcmp(written.data() + 22, file.data() + 6, 12));
  EXPECT_EQ(ReadU32(written.data() + 18), 6u + 32u);
  EXPECT_EQ(ReadU32(written.data() + 34), 6u + 32u + c.size());
  EXPECT_EQ(written.size(), 6 + 32 + c.size() + a.size());
  EXPECT_EQ(ReadBack(written), (std::vector<Bytes>{c, a}));
}

TEST_F(IcoWriterTest, OnePngKeptIsHeaderEntryAndPngAtOffset22) {
  const Bytes png = PngImage(256, 256);
  Bytes file = IcoFile({png});
  const IconDocument doc = Document(file);
  MemoryStream out;
  ASSERT_EQ(BuildIcoFromIcoDocument(ctx, doc, {1}, out), 1);
  const Bytes written = StreamBytes(out);
  ASSERT_EQ(written.size(), 6 + 16 + png.size());
  EXPECT_EQ(0, std::memcmp(written.data() + 6, file.data() + 6, 12));
  EXPECT_EQ(ReadU32(written.data() + 18), 22u);
  EXPECT_EQ(Bytes(written.begin() + 22, written.end()), png);
}

TEST_F(IcoWriterTest, BadSelectionsAndEntriesFailWithTheirMessage) {
  const Bytes file = IcoFile({PatternedDib(16, 16, 4, 1), PatternedDib(16, 16, 8, 2)});
  Bytes zeroSize = file;
  PutU32(zeroSize, 6 + 8, 0);
  Bytes outside = file;
  PutU32(outside, 6 + 16 + 12, static_cast<uint32_t>(file.size() - 10));
  struct Case {
    const char* name;
    Bytes file;
    IconSelection selection;
    int message;
  } cases[] = {
      {"empty selection", file, {}, kMsgBadFileFormat},
      {"number past the directory", file, {9}, kMsgBadIconCount},
      {"number 0", file, {0}, kMsgBadIconCount},
      {"entry of size 0", zeroSize, {1}, kMsgBadFileFormat},
      {"image past the end of the file", outside, {1, 2}, kMsgOverflow},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const IconDocument doc = Document(c.file);
    MemoryStream out;
    EXPECT_EQ(BuildIcoFromIcoDocument(ctx, doc, c.selection, out), 0);
    ExpectError(c.message);
  }
  IconDocument none;
  MemoryStream out;
  EXPECT_EQ(BuildIcoFromIcoDocument(ctx, none, {1}, out), 0);
  ExpectError(kMsgNullPointer);
}

TEST_F(IcoWriterTest, ValidationChecksHeaderCountAndEveryEntry) {
  const Bytes good = IcoFile({PatternedDib(16, 16, 4, 1), PatternedDib(16, 16, 8, 2)});
  Bytes cursor = good;
  PutU32(cursor, 0, 0x00020000);
  Bytes badSignature = good;
  PutU32(badSignature, 0, 0x00030000);
  Bytes noImages = good;
  PutU16(noImages, 4, 0);
  Bytes zeroOffset = good;
  PutU32(zeroOffset, 6 + 16 + 12, 0);
  Bytes pastEnd = good;
  PutU32(pastEnd, 6 + 16 + 8, 100000);
  Bytes shortDirectory(good.begin(), good.begin() + 20);
  struct Case {
    const char* name;
    Bytes bytes;
    int result;
    int message;
  } cases[] = {
      {"sound file", good, 1, 0},
      {"cursor type", cursor, 1, 0},
      {"bad signature", badSignature, 0, kMsgHeaderIntegrity},
      {"count 0", noImages, 0, kMsgBadIconCount},
      {"offset 0", zeroOffset, 0, kMsgBadFileFormat},
      {"image past the end", pastEnd, 0, kMsgBadFileFormat},
      {"directory cut short", shortDirectory, 0, kMsgBadFileFormat},
      {"three bytes", Bytes{0, 0, 1}, 0, kMsgStreamRead},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    MemoryStream stream;
    ASSERT_TRUE(stream.Write(ctx, c.bytes.data(), c.bytes.size(), 1));
    ctx.error = 0;
    EXPECT_EQ(ValidateIcoStream(ctx, stream), c.result);
    EXPECT_EQ(ErrorMessage(ctx.error), c.message);
  }
}

TEST_F(IcoWriterTest, ImageSetRecordsPointIntoOneBlock) {
  const Bytes a = PatternedDib(16, 16, 4, 1), b = PatternedDib(256, 256, 32, 2),
              p = PngImage(64, 64);
  Bytes file = IcoFile({a, b, p});
  PutU16(file, 6 + 32 + 6, 24);  // the PNG's directory depth
  const IconDocument doc = Document(file);
  MemoryStream scratch;
  IconImageSet set;
  ASSERT_EQ(BuildImageSetFromIcoDocument(ctx, doc, {1, 2, 3}, scratch, set), 1);
  ASSERT_EQ(set.count(), 3u);
  EXPECT_EQ(set.byteSize(), 32 + 64 * 3 + a.size() + b.size() + p.size());

  const IconImageRecord r0 = set.record(0);
  EXPECT_EQ(r0.width, 16u);
  EXPECT_EQ(r0.height, 16u);
  EXPECT_EQ(r0.bitCount, 4u);
  EXPECT_EQ(Bytes(r0.image, r0.image + r0.size), a);
  EXPECT_EQ(r0.header, r0.image);
  EXPECT_EQ(r0.colorBits, r0.image + 40 + 16 * 4);
  EXPECT_EQ(r0.maskBits, r0.colorBits + 8 * 16);
  EXPECT_EQ(set.data() + 32 + 64 * 3, r0.image);

  const IconImageRecord r1 = set.record(1);
  EXPECT_EQ(r1.width, 256u);
  EXPECT_EQ(r1.height, 256u);
  EXPECT_EQ(r1.maskBits, r1.image + 40 + 256 * 256 * 4);
  EXPECT_EQ(r1.image, r0.image + a.size());

  const IconImageRecord r2 = set.record(2);
  EXPECT_EQ(r2.bitCount, 24u);
  EXPECT_EQ(Bytes(r2.image, r2.image + r2.size), p);
}

TEST_F(IcoWriterTest, SetWrittenAsIcoKeepsDibsAndPngs) {
  const Bytes a = PatternedDib(256, 256, 4, 1), p = PngImage(256, 256);
  Bytes file = IcoFile({a, p});
  PutU16(file, 6 + 16 + 6, 0);  // PNG directory depth 0 is kept as 0
  const IconDocument doc = Document(file);
  MemoryStream scratch, out;
  IconImageSet set;
  ASSERT_EQ(BuildImageSetFromIcoDocument(ctx, doc, {1, 2}, scratch, set), 1);
  ASSERT_EQ(BuildIcoStream(ctx, set, kVistaKeep, nullptr, nullptr, out), 1);
  const Bytes written = StreamBytes(out);
  // DIB: width and height bytes from the record (256 → 0), colour count 16.
  EXPECT_EQ(Bytes(written.begin() + 6, written.begin() + 14),
            (Bytes{0, 0, 16, 0, 1, 0, 4, 0}));
  // PNG: width 0, height 0, no colours, planes 1, depth from the set.
  EXPECT_EQ(Bytes(written.begin() + 22, written.begin() + 30), (Bytes{0, 0, 0, 0, 1, 0, 0, 0}));
  EXPECT_EQ(ReadBack(written), (std::vector<Bytes>{a, p}));
}

TEST_F(IcoWriterTest, UncompressTurnsPngsIntoDibsWithoutImageSize) {
  const Bytes dib = PatternedDib(16, 16, 32, 9), png = PngImage(48, 48);
  const IconDocument doc = Document(IcoFile({dib, png}));
  MemoryStream scratch, out;
  IconImageSet set;
  ASSERT_EQ(BuildImageSetFromIcoDocument(ctx, doc, {2, 1}, scratch, set), 1);
  ASSERT_EQ(BuildIcoStream(ctx, set, kVistaUncompress, FakeUnpacker(), MemoryStreams(), out), 1);
  const Bytes written = StreamBytes(out);
  const Bytes expectedDib = PatternedDib(48, 48, 32, 0x55);
  // Width 0, height 0, planes 1, depth from the set, the size of the DIB.
  EXPECT_EQ(Bytes(written.begin() + 6, written.begin() + 14), (Bytes{0, 0, 0, 0, 1, 0, 32, 0}));
  EXPECT_EQ(ReadU32(written.data() + 14), expectedDib.size());
  const std::vector<Bytes> images = ReadBack(written);
  ASSERT_EQ(images.size(), 2u);
  EXPECT_EQ(ReadU32(images[0].data() + 20), 0u);  // biSizeImage cleared
  EXPECT_EQ(images[0].size(), expectedDib.size());
  EXPECT_EQ(0, std::memcmp(images[0].data() + 40, expectedDib.data() + 40,
                           expectedDib.size() - 40));
  EXPECT_EQ(images[1], dib);  // DIB images are never touched
}

TEST_F(IcoWriterTest, SetWriterFailures) {
  const Bytes png = PngImage(32, 32);
  Bytes badIhdr = PngImage(32, 32, "IHDX");
  MemoryStream scratch, out;
  IconImageSet set;
  {
    const IconDocument doc = Document(IcoFile({png}));
    ASSERT_EQ(BuildImageSetFromIcoDocument(ctx, doc, {1}, scratch, set), 1);
  }
  EXPECT_EQ(BuildIcoStream(ctx, set, kVistaUncompress, FailingUnpacker(), MemoryStreams(), out), 0);
  ExpectError(kMsgVistaUnpack);
  EXPECT_EQ(BuildIcoStream(ctx, set, 2, FakeUnpacker(), MemoryStreams(), out), 0);
  ExpectError(kMsgBadParameter);
  EXPECT_EQ(BuildIcoStream(ctx, IconImageSet{}, kVistaKeep, nullptr, nullptr, out), 0);
  ExpectError(kMsgNullPointer);

  MemoryStream scratch2, out2;
  IconImageSet bad;
  const IconDocument doc = Document(IcoFile({badIhdr}));
  ASSERT_EQ(BuildImageSetFromIcoDocument(ctx, doc, {1}, scratch2, bad), 1);
  EXPECT_EQ(BuildIcoStream(ctx, bad, kVistaKeep, nullptr, nullptr, out2), 0);
  ExpectError(kMsgBadIhdr);
}

TEST_F(IcoWriterTest, ImageSetOfAnEmptyImageIsNoIcon) {
  Bytes file = IcoFile({PatternedDib(16, 16, 4, 1)});
  PutU32(file, 6 + 8, 0);
  MemoryStream stream;
  ASSERT_TRUE(stream.Write(ctx, file.data(), file.size(), 1));
  IconImageSet set;
  EXPECT_EQ(BuildImageSetFromIcoStream(ctx, stream, set), 0);
  EXPECT_TRUE(set.empty());
}

}  // namespace
}  // namespace zx
