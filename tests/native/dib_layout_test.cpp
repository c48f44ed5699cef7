#include "imaging/dib_layout.h"

#include <gtest/gtest.h>

#include <vector>

#include "core/messages.h"
#include "formats/byte_reader.h"
#include "imaging/memory_stream.h"

namespace zx {
namespace {

// A memory stream that refuses its n-th write (counted from 0) or every seek,
// the way a full disk or a broken storage would.
class RefusingStream final : public ByteStream {
 public:
  int failingWrite = -1;
  bool failSeeks = false;
  MemoryStream inner;

  int Write(ThreadContext& ctx, const uint8_t* data, uint64_t count, int site) override {
    if (writes_++ == failingWrite) return Fail(ctx, kMsgStreamWrite, site);
    return inner.Write(ctx, data, count, site);
  }
  int Read(ThreadContext& ctx, uint8_t* buffer, uint64_t count, uint64_t& read,
           int site) override {
    return inner.Read(ctx, buffer, count, read, site);
  }
  int Seek(ThreadContext& ctx, int64_t offset, SeekOrigin origin, uint64_t* newPosition,
           int site) override {
    if (failSeeks) return Fail(ctx, kMsgStreamSeek, site);
    return inner.Seek(ctx, offset, origin, newPosition, site);
  }
  int SetSize(ThreadContext& ctx, uint64_t size, int site) override {
    return inner.SetSize(ctx, size, site);
  }
  int CopyTo(ThreadContext& ctx, ByteStream& destination, uint64_t count, uint64_t& copied,
             int site) override {
    return inner.CopyTo(ctx, destination, count, copied, site);
  }
  int Size(ThreadContext& ctx, uint64_t& size, int site) override {
    return inner.Size(ctx, size, site);
  }

 private:
  int writes_ = 0;
};

std::vector<uint8_t> Pattern(uint64_t size, uint8_t seed) {
  std::vector<uint8_t> bytes(size);
  for (uint64_t i = 0; i < size; ++i) bytes[i] = static_cast<uint8_t>(seed + i * 13);
  return bytes;
}

std::vector<uint8_t> Slice(const MemoryStream& stream, uint64_t offset, uint64_t size) {
  return std::vector<uint8_t>(stream.data() + offset, stream.data() + offset + size);
}

IconBitmapFacts ColorIcon(int32_t width, int32_t height, uint16_t bits, uint16_t planes = 1) {
  IconBitmapFacts facts;
  facts.hasColorBitmap = true;
  facts.colorWidth = width;
  facts.colorHeight = height;
  facts.colorBitsPerPixel = bits;
  facts.colorPlanes = planes;
  facts.maskWidth = width;
  facts.maskHeight = height;
  return facts;
}

IconBitmapFacts MonochromeIcon(int32_t width, int32_t maskHeight) {
  IconBitmapFacts facts;
  facts.maskWidth = width;
  facts.maskHeight = maskHeight;
  return facts;
}

// ---- Sizes -------------------------------------------------------------------

TEST(DibLayout, RowAndTableSizes) {
  struct Row {
    uint64_t width;
    uint32_t bits;
    uint64_t colorRow;
    uint64_t maskRow;
  };
  const Row rows[] = {
      {1, 1, 4, 4},      {32, 1, 4, 4},     {33, 1, 8, 8},     {16, 4, 8, 4},
      {3, 24, 12, 4},    {16, 8, 16, 4},    {48, 24, 144, 8},  {256, 32, 1024, 32},
      {0, 32, 0, 0},     {31, 16, 64, 4},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(testing::Message() << r.width << " x " << r.bits);
    EXPECT_EQ(r.colorRow, ColorRowBytes(r.width, r.bits));
    EXPECT_EQ(r.maskRow, MaskRowBytes(r.width));
  }

  struct Table {
    uint32_t bits;
    uint32_t used;
    uint64_t entries;
  };
  const Table tables[] = {{1, 0, 2},  {4, 0, 16},  {8, 0, 256}, {24, 0, 0}, {32, 0, 0},
                          {0, 0, 0},  {16, 0, 0},  {8, 20, 20}, {4, 3, 3},  {24, 7, 7}};
  for (const Table& t : tables) {
    SCOPED_TRACE(testing::Message() << t.bits << " bits, " << t.used << " used");
    EXPECT_EQ(t.entries, ColorTableEntries(t.bits, t.used));
  }
}

TEST(DibLayout, EntryBytes) {
  const struct {
    uint32_t bits;
    uint8_t count;
  } counts[] = {{0, 1}, {1, 2}, {4, 16}, {7, 128}, {8, 0}, {24, 0}, {32, 0}};
  for (const auto& c : counts) EXPECT_EQ(c.count, IcoColorCount(c.bits)) << c.bits;

  const struct {
    int64_t pixels;
    uint8_t byte;
  } dimensions[] = {{0, 0}, {16, 16}, {255, 255}, {256, 0}, {300, 0}, {-1, 0}};
  for (const auto& d : dimensions) EXPECT_EQ(d.byte, IcoDimensionByte(d.pixels)) << d.pixels;
}

TEST(DibLayout, LayoutOfAClassifiedImage) {
  ThreadContext ctx;
  // 32 x 32, 8 bits, colours-used 0: a full 256-entry table.
  std::vector<uint8_t> header(40, 0);
  WriteU32(header.data(), 40);
  WriteU32(header.data() + 4, 32);
  WriteU32(header.data() + 8, 64);
  WriteU16(header.data() + 12, 1);
  WriteU16(header.data() + 14, 8);
  IconImageInfo info;
  ASSERT_EQ(1, ClassifyIconImage(ctx, header.data(), header.size(), info));
  DibLayout layout = DibLayoutOf(info);
  EXPECT_EQ(40u, layout.colorTableOffset);
  EXPECT_EQ(1024u, layout.colorTableBytes);
  EXPECT_EQ(1064u, layout.colorBitsOffset);
  EXPECT_EQ(1024u, layout.colorBitsBytes);
  EXPECT_EQ(2088u, layout.maskOffset);
  EXPECT_EQ(128u, layout.maskBytes);
  EXPECT_EQ(2216u, layout.totalBytes);

  // Colours-used decides the table; a 4-bit image with 5 colours.
  layout = DibLayoutOf(16, 16, 4, 5);
  EXPECT_EQ(20u, layout.colorTableBytes);
  EXPECT_EQ(60u, layout.colorBitsOffset);
  EXPECT_EQ(60u + 128u + 64u, layout.totalBytes);
}

TEST(DibLayout, AbsurdHeadersSaturateInsteadOfWrapping) {
  // 2^31 x 2^30 at 65535 bits per pixel: far beyond 64 bits.
  const DibLayout layout = DibLayoutOf(uint64_t{1} << 31, uint64_t{1} << 30, 65535, 0xFFFFFFFF);
  EXPECT_EQ(UINT64_MAX, layout.colorBitsBytes);
  EXPECT_EQ(UINT64_MAX, layout.totalBytes);
  EXPECT_EQ(UINT64_MAX, ColorRowBytes(UINT64_MAX, 32));
  EXPECT_EQ(UINT64_MAX, MaskRowBytes(UINT64_MAX));

  // A negative header height (top-down) is measured by its magnitude.
  IconImageInfo info;
  info.headerWidth = -16;
  info.headerHeight = -32;
  info.bitCount = 32;
  EXPECT_EQ(DibLayoutOf(16, 16, 32, 0).totalBytes, DibLayoutOf(info).totalBytes);
}

// ---- Shape of the one-image ICO ---------------------------------------------

TEST(DibLayout, ShapeOfTheOneImageIco) {
  struct Case {
    const char* name;
    IconBitmapFacts facts;
    uint32_t width;
    uint32_t height;
    uint16_t bits;
    uint8_t colorCount;
    uint64_t paletteEntries;
    uint64_t colorBytes;
    uint64_t maskBytes;
  };
  const Case cases[] = {
      {"256 x 256 RGBA", ColorIcon(256, 256, 32), 256, 256, 32, 0, 0, 256 * 1024, 256 * 32},
      {"32 x 32 256 colours", ColorIcon(32, 32, 8), 32, 32, 8, 0, 256, 32 * 32, 32 * 4},
      {"16 x 16 16 colours", ColorIcon(16, 16, 4), 16, 16, 4, 16, 16, 16 * 8, 16 * 4},
      {"48 x 48 RGB", ColorIcon(48, 48, 24), 48, 48, 24, 0, 0, 48 * 144, 48 * 8},
      {"0 bits per pixel counts as 1", ColorIcon(16, 16, 0), 16, 16, 1, 2, 2, 16 * 4, 16 * 4},
      {"monochrome 32 x 32", MonochromeIcon(32, 64), 32, 32, 1, 2, 2, 32 * 4, 32 * 4},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    ThreadContext ctx;
    OneImageIcoShape shape;
    ASSERT_EQ(1, ShapeOneImageIco(ctx, c.facts, shape));
    EXPECT_EQ(!c.facts.hasColorBitmap, shape.monochrome);
    EXPECT_EQ(c.width, shape.width);
    EXPECT_EQ(c.height, shape.height);
    EXPECT_EQ(1, shape.planes);
    EXPECT_EQ(c.bits, shape.bitCount);
    EXPECT_EQ(c.colorCount, shape.colorCount);
    EXPECT_EQ(c.paletteEntries, shape.paletteEntries);
    EXPECT_EQ(c.colorBytes, shape.colorBytes);
    EXPECT_EQ(c.maskBytes, shape.maskBytes);
    EXPECT_EQ(40 + 4 * c.paletteEntries + c.colorBytes + c.maskBytes, shape.imageSize);
    EXPECT_EQ(22 + shape.imageSize, shape.fileSize);
  }
}

TEST(DibLayout, ShapeRefusesWhatCannotBeWritten) {
  struct Case {
    const char* name;
    IconBitmapFacts facts;
    int message;
    int site;
  };
  const Case cases[] = {
      {"two planes", ColorIcon(32, 32, 8, 2), kMsgBadFileFormat, 16},
      {"zero planes", ColorIcon(32, 32, 8, 0), kMsgBadFileFormat, 16},
      {"zero width", ColorIcon(0, 32, 32), kMsgBadParameterValue, 165},
      {"negative height", ColorIcon(32, -32, 32), kMsgBadParameterValue, 165},
      {"mask of one row", MonochromeIcon(32, 1), kMsgBadParameterValue, 165},
      {"larger than a 32-bit size", ColorIcon(40000, 40000, 32), kMsgOverflow, 166},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    ThreadContext ctx;
    OneImageIcoShape shape;
    EXPECT_EQ(0, ShapeOneImageIco(ctx, c.facts, shape));
    EXPECT_EQ(MakeError(c.message, c.site), ctx.error);
  }
}

// ---- Writing and reading back -------------------------------------------------

struct WrittenIco {
  OneImageIcoShape shape;
  std::vector<uint8_t> palette;
  std::vector<uint8_t> colorRows;
  std::vector<uint8_t> maskRows;
};

WrittenIco PixelsFor(ThreadContext& ctx, const IconBitmapFacts& facts) {
  WrittenIco ico;
  EXPECT_EQ(1, ShapeOneImageIco(ctx, facts, ico.shape));
  ico.palette = Pattern(ico.shape.paletteEntries * 4, 1);
  ico.colorRows = Pattern(ico.shape.colorBytes, 2);
  ico.maskRows = Pattern(ico.shape.maskBytes, 3);
  return ico;
}

OneImageIcoPixels PixelsOf(const WrittenIco& ico) {
  OneImageIcoPixels pixels;
  pixels.palette = ico.palette.empty() ? nullptr : ico.palette.data();
  pixels.paletteBytes = ico.palette.size();
  pixels.colorRows = ico.colorRows.data();
  pixels.colorRowsBytes = ico.colorRows.size();
  pixels.maskRows = ico.maskRows.data();
  pixels.maskRowsBytes = ico.maskRows.size();
  return pixels;
}

TEST(DibLayout, WritesTheWholeIcoOfA256PixelRgbaIcon) {
  ThreadContext ctx;
  const WrittenIco ico = PixelsFor(ctx, ColorIcon(256, 256, 32));
  MemoryStream stream;
  ASSERT_EQ(1, WriteOneImageIco(ctx, stream, ico.shape, PixelsOf(ico)));
  ASSERT_EQ(22u + 40u + 256u * 1024u + 256u * 32u, stream.size());

  const std::vector<uint8_t> head = Slice(stream, 0, 62);
  const std::vector<uint8_t> expected = {
      0, 0, 1, 0, 1, 0,                        // reserved, type 1, one image
      0, 0, 0, 0,                              // 256 x 256 as 0, 0; colour count 0; reserved
      1, 0, 32, 0,                             // planes 1, 32 bits
      0x28, 0x20, 0x04, 0x00,                  // image size 270376
      22, 0, 0, 0,                             // image offset
      40, 0, 0, 0, 0, 1, 0, 0, 0, 2, 0, 0,     // header size, width 256, height 512
      1, 0, 32, 0,                             // planes, bit count
      0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0,      // compression, image size, x resolution
      0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0,      // y resolution, colours used, important
  };
  EXPECT_EQ(expected, head);
  // No colour table: the colour rows start right after the header.
  EXPECT_EQ(ico.colorRows, Slice(stream, 62, ico.colorRows.size()));
  EXPECT_EQ(ico.maskRows, Slice(stream, 62 + ico.colorRows.size(), ico.maskRows.size()));
}

TEST(DibLayout, WritesColourTablesByDepth) {
  struct Case {
    const char* name;
    IconBitmapFacts facts;
    uint8_t widthByte;
    uint8_t colorCount;
    uint16_t bits;
    uint64_t tableBytes;
  };
  const Case cases[] = {
      {"8 bits", ColorIcon(48, 48, 8), 48, 0, 8, 1024},
      {"4 bits", ColorIcon(16, 16, 4), 16, 16, 4, 64},
      {"1 bit", ColorIcon(32, 32, 1), 32, 2, 1, 8},
      {"24 bits", ColorIcon(24, 24, 24), 24, 0, 24, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    ThreadContext ctx;
    const WrittenIco ico = PixelsFor(ctx, c.facts);
    MemoryStream stream;
    ASSERT_EQ(1, WriteOneImageIco(ctx, stream, ico.shape, PixelsOf(ico)));
    const uint8_t* bytes = stream.data();
    EXPECT_EQ(c.widthByte, bytes[6]);
    EXPECT_EQ(c.widthByte, bytes[7]);
    EXPECT_EQ(c.colorCount, bytes[8]);
    EXPECT_EQ(c.bits, ReadU16(bytes + 12));
    EXPECT_EQ(ico.shape.imageSize, ReadU32(bytes + 14));
    EXPECT_EQ(c.bits, ReadU16(bytes + 22 + 14));
    EXPECT_EQ(0u, ReadU32(bytes + 22 + 20)) << "the header's image size stays 0";
    EXPECT_EQ(ico.palette, Slice(stream, 62, c.tableBytes));
    EXPECT_EQ(ico.colorRows, Slice(stream, 62 + c.tableBytes, ico.colorRows.size()));
    EXPECT_EQ(22 + ico.shape.imageSize, stream.size());
  }
}

TEST(DibLayout, MonochromeIconGetsTheFixedBlackAndWhiteTable) {
  ThreadContext ctx;
  WrittenIco ico = PixelsFor(ctx, MonochromeIcon(32, 64));
  ico.palette.clear();  // the system offers no table for a mask-only icon
  MemoryStream stream;
  ASSERT_EQ(1, WriteOneImageIco(ctx, stream, ico.shape, PixelsOf(ico)));
  EXPECT_EQ((std::vector<uint8_t>{0, 0, 0, 0, 0xFF, 0xFF, 0xFF, 0}), Slice(stream, 62, 8));
  EXPECT_EQ(32u, ReadU32(stream.data() + 22 + 4));
  EXPECT_EQ(64u, ReadU32(stream.data() + 22 + 8));
  EXPECT_EQ(ico.colorRows, Slice(stream, 70, 128));
  EXPECT_EQ(ico.maskRows, Slice(stream, 198, 128));
}

TEST(DibLayout, EachWriteFailsWithItsOwnSite) {
  for (int failing = 0; failing < 6; ++failing) {
    SCOPED_TRACE(failing);
    ThreadContext ctx;
    const WrittenIco ico = PixelsFor(ctx, ColorIcon(16, 16, 8));
    RefusingStream stream;
    stream.failingWrite = failing;
    EXPECT_EQ(0, WriteOneImageIco(ctx, stream, ico.shape, PixelsOf(ico)));
    EXPECT_EQ(MakeError(kMsgStreamWrite, 170 + failing), ctx.error);
  }
}

TEST(DibLayout, RefusesMissingOrShortPixels) {
  ThreadContext ctx;
  const WrittenIco ico = PixelsFor(ctx, ColorIcon(16, 16, 8));
  const OneImageIcoPixels whole = PixelsOf(ico);
  OneImageIcoPixels noPalette = whole;
  noPalette.palette = nullptr;
  OneImageIcoPixels shortColor = whole;
  shortColor.colorRowsBytes -= 1;
  OneImageIcoPixels shortMask = whole;
  shortMask.maskRowsBytes -= 1;
  OneImageIcoPixels noMask = whole;
  noMask.maskRows = nullptr;
  for (const OneImageIcoPixels& pixels : {noPalette, shortColor, shortMask, noMask}) {
    ctx.error = 0;
    MemoryStream stream;
    EXPECT_EQ(0, WriteOneImageIco(ctx, stream, ico.shape, pixels));
    EXPECT_EQ(MakeError(kMsgNullPointer, 167), ctx.error);
    EXPECT_EQ(0u, stream.size()) << "nothing is written before the check";
  }
}

TEST(DibLayout, ImageFromIcoStreamReadsBackTheImage) {
  ThreadContext ctx;
  const WrittenIco ico = PixelsFor(ctx, ColorIcon(32, 32, 4));
  MemoryStream stream;
  ASSERT_EQ(1, WriteOneImageIco(ctx, stream, ico.shape, PixelsOf(ico)));
  RegisteredBlock image;
  uint64_t length = 0;
  ASSERT_EQ(1, ImageFromIcoStream(ctx, stream, image, length));
  ASSERT_EQ(ico.shape.imageSize, length);
  EXPECT_TRUE(ctx.blocks.IsRegistered(image.get()));
  EXPECT_EQ(Slice(stream, 22, length), std::vector<uint8_t>(image.get(), image.get() + length));

  // The image read back classifies as the DIB that was written.
  IconImageInfo info;
  ASSERT_EQ(1, ClassifyIconImage(ctx, image.get(), length, info));
  EXPECT_EQ(32, info.width);
  EXPECT_EQ(32, info.height);
  EXPECT_EQ(4, info.bitCount);
  EXPECT_EQ(length, DibLayoutOf(info).totalBytes);
}

TEST(DibLayout, ImageFromIcoStreamRefusesDamagedStreams) {
  struct Case {
    const char* name;
    uint64_t streamSize;
    uint32_t size;
    uint32_t offset;
    int message;
    int site;
  };
  const Case cases[] = {
      {"no size field", 20, 0, 0, kMsgOverflow, 177},
      {"size 0", 64, 0, 22, kMsgNoMemory, 178},
      {"negative size", 64, 0x80000000u, 22, kMsgNoMemory, 178},
      {"image one byte past the end", 64, 43, 22, kMsgOverflow, 179},
      {"offset past the end", 64, 1, 65, kMsgOverflow, 179},
      {"offset near 2^32", 64, 0x7FFFFFFF, 0xFFFFFFFF, kMsgOverflow, 179},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    ThreadContext ctx;
    MemoryStream stream;
    ASSERT_EQ(1, stream.SetSize(ctx, c.streamSize, 1));
    if (c.streamSize >= 22) {
      uint8_t fields[8];
      WriteU32(fields, c.size);
      WriteU32(fields + 4, c.offset);
      ASSERT_EQ(1, SeekTo(ctx, stream, 14, 1));
      ASSERT_EQ(1, stream.Write(ctx, fields, 8, 1));
    }
    const size_t blocksBefore = ctx.blocks.LiveCount();
    RegisteredBlock image;
    uint64_t length = 99;
    EXPECT_EQ(0, ImageFromIcoStream(ctx, stream, image, length));
    EXPECT_EQ(MakeError(c.message, c.site), ctx.error);
    EXPECT_FALSE(image);
    EXPECT_EQ(0u, length);
    EXPECT_EQ(blocksBefore, ctx.blocks.LiveCount()) << "nothing is left allocated";
  }

  // An image that ends exactly at the end of the stream is whole.
  ThreadContext ctx;
  MemoryStream stream;
  ASSERT_EQ(1, stream.SetSize(ctx, 64, 1));
  uint8_t fields[8];
  WriteU32(fields, 42);
  WriteU32(fields + 4, 22);
  ASSERT_EQ(1, SeekTo(ctx, stream, 14, 1));
  ASSERT_EQ(1, stream.Write(ctx, fields, 8, 1));
  RegisteredBlock image;
  uint64_t length = 0;
  EXPECT_EQ(1, ImageFromIcoStream(ctx, stream, image, length));
  EXPECT_EQ(42u, length);

  RefusingStream refusing;
  refusing.failSeeks = true;
  EXPECT_EQ(0, ImageFromIcoStream(ctx, refusing, image, length));
  EXPECT_EQ(MakeError(kMsgStreamSeek, 176), ctx.error);
}

// ---- Colour key ---------------------------------------------------------------

uint32_t PixelAt(const std::vector<uint8_t>& pixels, size_t i) { return ReadU32(&pixels[4 * i]); }

TEST(DibLayout, ColourKeyOnTransparentBlackTakesOpaqueBlackToo) {
  ThreadContext ctx;
  // Bottom row first: the first pixel is the key (transparent black).
  const uint32_t source[] = {
      0x00000000,  // key: black, alpha 0
      0xFF000000,  // opaque black: same RGB, keyed
      0xFFFF0000,  // opaque red
      0x80000001,  // almost black
      0x7F000000,  // half-transparent black: keyed
      0x00FFFFFF,  // transparent white
  };
  std::vector<uint8_t> pixels(sizeof(source));
  for (size_t i = 0; i < 6; ++i) WriteU32(&pixels[4 * i], source[i]);
  ASSERT_EQ(1, ApplyColorKey(ctx, pixels.data(), pixels.size(), 3, 2));
  const uint32_t keyed[] = {0x00FFFFFF, 0x00FFFFFF, 0, 0, 0x00FFFFFF, 0};
  for (size_t i = 0; i < 6; ++i) EXPECT_EQ(keyed[i], PixelAt(pixels, i)) << i;
  EXPECT_EQ(0, ctx.error);
}

TEST(DibLayout, ColourKeyComparesRgbOnly) {
  ThreadContext ctx;
  // Key: opaque teal; a transparent teal pixel matches, a slightly bluer one does not.
  std::vector<uint8_t> pixels(12);
  WriteU32(&pixels[0], 0xFF008080);
  WriteU32(&pixels[4], 0x00008080);
  WriteU32(&pixels[8], 0xFF008081);
  ASSERT_EQ(1, ApplyColorKey(ctx, pixels.data(), pixels.size(), 3, 1));
  EXPECT_EQ(0x00FFFFFFu, PixelAt(pixels, 0));
  EXPECT_EQ(0x00FFFFFFu, PixelAt(pixels, 1));
  EXPECT_EQ(0u, PixelAt(pixels, 2));
}

TEST(DibLayout, KeyedPixelsPackIntoMaskRows) {
  ThreadContext ctx;
  // 9 x 2: every row of the mask is 4 bytes; transparent pixels set their bit.
  const int width = 9;
  const int height = 2;
  std::vector<uint8_t> pixels(width * height * 4, 0);
  const int transparent[] = {0, 7, 8, 9 + 1, 9 + 8};
  for (int i : transparent) WriteU32(&pixels[4 * i], 0x00FFFFFF);
  std::vector<uint8_t> mask(8, 0xAA);  // stale bytes must be cleared
  ASSERT_EQ(1, PackMaskRows(ctx, pixels.data(), pixels.size(), width, height, mask.data(),
                            mask.size()));
  EXPECT_EQ((std::vector<uint8_t>{0x81, 0x80, 0, 0, 0x40, 0x80, 0, 0}), mask);
}

TEST(DibLayout, ColourKeyAndPackingRefuseBadSizes) {
  struct Case {
    const char* name;
    int32_t width;
    int32_t height;
    uint64_t pixelBytes;
  };
  const Case cases[] = {
      {"zero width", 0, 2, 64},
      {"negative height", 2, -2, 64},
      {"one pixel short", 4, 4, 63},
      {"overflowing size", 0x7FFFFFFF, 0x7FFFFFFF, 64},
  };
  std::vector<uint8_t> pixels(64, 0);
  std::vector<uint8_t> mask(64, 0);
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    ThreadContext ctx;
    EXPECT_EQ(0, ApplyColorKey(ctx, pixels.data(), c.pixelBytes, c.width, c.height));
    EXPECT_EQ(MakeError(kMsgBadParameterValue, 5), ctx.error);
    ctx.error = 0;
    EXPECT_EQ(0, PackMaskRows(ctx, pixels.data(), c.pixelBytes, c.width, c.height, mask.data(),
                              mask.size()));
    EXPECT_EQ(MakeError(kMsgBadParameterValue, 164), ctx.error);
  }
  ThreadContext ctx;
  EXPECT_EQ(0, ApplyColorKey(ctx, nullptr, 64, 4, 4));
  EXPECT_EQ(MakeError(kMsgBadParameterValue, 5), ctx.error);
  // A mask buffer one row short.
  EXPECT_EQ(0, PackMaskRows(ctx, pixels.data(), 64, 4, 4, mask.data(), 12));
  EXPECT_EQ(MakeError(kMsgBadParameterValue, 164), ctx.error);
}

}  // namespace
}  // namespace zx
