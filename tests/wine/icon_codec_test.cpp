// The icon image codec on the system's own icons, bitmaps and GDI+.
#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "core/messages.h"
#include "formats/byte_reader.h"
#include "imaging/dib_layout.h"
#include "imaging/icon_codec_win.h"
#include "imaging/png_pixels.h"
#include "imaging/thread_services_win.h"
#include "support/document_fixture.h"

namespace zx {
namespace {

struct Rgba {
  uint8_t r, g, b, a;
  bool operator==(const Rgba&) const = default;
};

// Pixels top-down, row by row.
struct Picture {
  int width = 0;
  int height = 0;
  std::vector<Rgba> pixels;
  Rgba& at(int x, int y) { return pixels[size_t(y) * width + x]; }
  Rgba at(int x, int y) const { return pixels[size_t(y) * width + x]; }
};

Picture Filled(int width, int height, Rgba colour) {
  return Picture{width, height, std::vector<Rgba>(size_t(width) * height, colour)};
}

std::vector<uint8_t> PngOf(const Picture& picture) {
  ThreadContext ctx;
  RegisteredBlock png;
  uint64_t bytes = 0;
  EXPECT_EQ(EncodePngRgba(ctx, reinterpret_cast<const uint8_t*>(picture.pixels.data()),
                          picture.width, picture.height, png, bytes, 1),
            1);
  return std::vector<uint8_t>(png.get(), png.get() + bytes);
}

Picture PictureOf(ThreadContext& ctx, HICON icon) {
  IconRgba rgba;
  EXPECT_EQ(IconToRgba(ctx, icon, rgba), 1);
  Picture picture{rgba.width, rgba.height, {}};
  picture.pixels.resize(size_t(rgba.width) * rgba.height);
  if (rgba.pixels) std::memcpy(picture.pixels.data(), rgba.pixels.get(), picture.pixels.size() * 4);
  return picture;
}

// The mask of an icon, top-down: true where the pixel is transparent.
std::vector<bool> MaskOf(HICON icon, int width, int height) {
  ICONINFO info{};
  EXPECT_TRUE(GetIconInfo(icon, &info));
  UniqueBitmap mask(info.hbmMask);
  UniqueBitmap color(info.hbmColor);
  std::vector<uint32_t> rows(size_t(width) * height);
  BITMAPINFO header{};
  header.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
  header.bmiHeader.biWidth = width;
  header.bmiHeader.biHeight = -height;
  header.bmiHeader.biPlanes = 1;
  header.bmiHeader.biBitCount = 32;
  ScreenDc screen;
  EXPECT_EQ(GetDIBits(screen.get(), mask.get(), 0, height, rows.data(), &header, DIB_RGB_COLORS), height);
  std::vector<bool> transparent;
  for (uint32_t pixel : rows) transparent.push_back((pixel & 0xFFFFFF) != 0);
  return transparent;
}

class IconCodecTest : public ::testing::Test {
 protected:
  // Nothing the codec allocates may outlive the call.
  void TearDown() override {
    EXPECT_EQ(ctx.blocks.LiveCount(), 0u);
    EXPECT_TRUE(services.scratchStreams().live.empty());
  }
  ThreadContext ctx;
  ThreadServices services{ctx};
};

const Rgba kClear{0, 0, 0, 0};
const Rgba kBlack{0, 0, 0, 255};
const Rgba kRed{255, 0, 0, 255};
const Rgba kHalfBlue{0, 0, 255, 128};
const Rgba kGreen{0, 200, 0, 255};

Picture Sample() {
  Picture picture = Filled(5, 4, kRed);
  picture.at(0, 3) = kClear;  // bottom-left: the colour key
  picture.at(1, 0) = kBlack;
  picture.at(2, 1) = kHalfBlue;
  picture.at(4, 2) = kGreen;
  return picture;
}

TEST_F(IconCodecTest, DecodePngGoesThroughGdiplusAndKeepsAlpha) {
  const Picture picture = Sample();
  const std::vector<uint8_t> png = PngOf(picture);
  UniqueBitmap bitmap;
  ASSERT_EQ(DecodePng(ctx, png.data(), png.size(), bitmap), 1) << ErrorMessage(ctx.error) << "/" << ErrorSite(ctx.error);
  DIBSECTION section{};
  ASSERT_EQ(GetObjectW(bitmap.get(), sizeof(section), &section), int(sizeof(section)));
  EXPECT_EQ(section.dsBm.bmBitsPixel, 32);
  ASSERT_EQ(section.dsBm.bmWidth, 5);
  ASSERT_EQ(section.dsBm.bmHeight, 4);
  const auto* bits = static_cast<const uint8_t*>(section.dsBm.bmBits);
  for (int y = 0; y < 4; ++y) {
    for (int x = 0; x < 5; ++x) {
      const uint8_t* p = bits + 4 * ((3 - y) * 5 + x);  // bottom-up, blue first
      const Rgba expected = picture.pixels[size_t(y) * 5 + x];
      EXPECT_EQ((Rgba{p[2], p[1], p[0], p[3]}), expected) << x << "," << y;
    }
  }
}

int WINAPI RefusingStartup(ULONG_PTR*, const GdiplusStartupInput*, void*) { return 1; }
int WINAPI RefusingLoad(IStream*, GdiplusImage**) { return 2; }

TEST_F(IconCodecTest, LibpngTakesOverWhenGdiplusRefuses) {
  struct Case {
    bool refuseStart;
    int site;
  };
  const std::vector<uint8_t> png = PngOf(Sample());
  for (const Case c : {Case{true, 1}, Case{false, 2}}) {
    ASSERT_EQ(ResolveGdiplus(services.gdiplus()), 1);
    GdiplusLibrary& gdiplus = services.gdiplus();
    const auto startup = gdiplus.startup;
    const auto load = gdiplus.loadImageFromStream;
    if (c.refuseStart) gdiplus.startup = RefusingStartup;
    else gdiplus.loadImageFromStream = RefusingLoad;

    UniqueBitmap bitmap;
    EXPECT_EQ(DecodePng(ctx, png.data(), png.size(), bitmap), 0);
    EXPECT_EQ(ctx.error, MakeError(kMsgGdiplusInit, c.site));
    ctx.error = 0;
    UniqueIcon icon;
    ASSERT_EQ(PngToIcon(ctx, png.data(), png.size(), icon), 1);
    EXPECT_EQ(ctx.error, 0) << "the refusal of GDI+ is not the caller's error";
    const Picture drawn = PictureOf(ctx, icon.get());
    EXPECT_EQ(drawn.pixels, Sample().pixels);
    gdiplus.startup = startup;
    gdiplus.loadImageFromStream = load;
  }
}

TEST_F(IconCodecTest, UndecodablePngIsUnableToUnpack) {
  // A signature and an IHDR chunk, but no image data: neither decoder can read it.
  const std::vector<uint8_t> png = testing::PngImage(16, 16);
  UniqueIcon icon;
  EXPECT_EQ(PngToIcon(ctx, png.data(), png.size(), icon), 0);
  EXPECT_EQ(ctx.error, MakeError(kMsgVistaUnpack, 12));
  EXPECT_FALSE(icon);
  EXPECT_EQ(IconFromImage(ctx, png.data(), png.size(), IconImageKind::kPng, 16, 16, icon), 0);
  EXPECT_EQ(ctx.error, MakeError(kMsgVistaUnpack, 11));
  RegisteredBlock image;
  uint64_t length = 7;
  EXPECT_EQ(UnpackPngImage(ctx, png.data(), png.size(), image, length), 0);
  EXPECT_EQ(ErrorMessage(ctx.error), kMsgVistaUnpack);
  EXPECT_FALSE(image);
  EXPECT_EQ(length, 0u);
}

TEST_F(IconCodecTest, ColourKeyMakesEveryPixelOfTheBottomLeftRgbTransparent) {
  struct Case {
    const char* name;
    Rgba key;
  };
  for (const Case c : {Case{"transparent black", kClear}, Case{"opaque green", kGreen}}) {
    SCOPED_TRACE(c.name);
    Picture picture = Sample();
    picture.at(0, 3) = c.key;
    const std::vector<uint8_t> png = PngOf(picture);
    UniqueIcon icon;
    ASSERT_EQ(PngToIcon(ctx, png.data(), png.size(), icon), 1);
    const std::vector<bool> mask = MaskOf(icon.get(), 5, 4);
    for (size_t i = 0; i < mask.size(); ++i) {
      const Rgba p = picture.pixels[i];
      const bool keyed = p.r == c.key.r && p.g == c.key.g && p.b == c.key.b;
      EXPECT_EQ(mask[i], keyed) << "pixel " << i;
    }

    // The same rule in the DIB image that "uncompress Vista icons" writes.
    RegisteredBlock image;
    uint64_t length = 0;
    ASSERT_EQ(UnpackPngImage(ctx, png.data(), png.size(), image, length), 1);
    ASSERT_EQ(length, 40u + 5 * 4 * 4 + 4 * 4);
    EXPECT_EQ(ReadU16(image.get() + 14), 32);
    const uint8_t* maskRows = image.get() + 40 + 80;
    for (int y = 0; y < 4; ++y) {
      for (int x = 0; x < 5; ++x) {
        const bool bit = (maskRows[(3 - y) * 4 + x / 8] >> (7 - x % 8)) & 1;
        const Rgba p = picture.at(x, y);
        EXPECT_EQ(bit, p.r == c.key.r && p.g == c.key.g && p.b == c.key.b) << x << "," << y;
      }
    }
  }
}

// A DIB section of the given depth whose colour table entry i is (i, 255 - i, i / 2).
UniqueBitmap Section(int width, int height, int bitCount) {
  struct {
    BITMAPINFOHEADER header;
    RGBQUAD colors[256];
  } info{};
  info.header.biSize = sizeof(BITMAPINFOHEADER);
  info.header.biWidth = width;
  info.header.biHeight = height;
  info.header.biPlanes = 1;
  info.header.biBitCount = static_cast<WORD>(bitCount);
  for (int i = 0; i < 256; ++i) info.colors[i] = RGBQUAD{BYTE(i), BYTE(255 - i), BYTE(i / 2), 0};
  void* bits = nullptr;
  return UniqueBitmap(CreateDIBSection(nullptr, reinterpret_cast<BITMAPINFO*>(&info), DIB_RGB_COLORS,
                                       &bits, nullptr, 0));
}

// An icon made by the system from such a section (the system may keep its
// colour bitmap at another depth).
UniqueIcon IconFromSection(int width, int height, int bitCount) {
  UniqueBitmap color = Section(width, height, bitCount);
  UniqueBitmap mask(CreateBitmap(width, height, 1, 1, nullptr));
  ICONINFO icon{TRUE, 0, 0, mask.get(), color.get()};
  return UniqueIcon(CreateIconIndirect(&icon));
}

std::vector<uint8_t> StreamBytes(ThreadContext& ctx, ScratchStream& stream) {
  uint64_t size = 0;
  EXPECT_EQ(stream.Size(ctx, size, 1), 1);
  std::vector<uint8_t> bytes(size);
  EXPECT_EQ(SeekTo(ctx, stream, 0, 1), 1);
  EXPECT_EQ(ReadExactly(ctx, stream, bytes.data(), size, 1, kMsgOverflow, 1), 1);
  return bytes;
}

TEST_F(IconCodecTest, IconToIcoStreamWritesTheOneImageLayout) {
  // A 256-pixel 32-bit icon: size bytes 0, no colour table.
  const std::vector<uint8_t> png = PngOf(Filled(256, 256, kHalfBlue));
  UniqueIcon big;
  ASSERT_EQ(PngToIcon(ctx, png.data(), png.size(), big), 1);
  ScratchStream stream;
  ASSERT_EQ(IconToIcoStream(ctx, big.get(), stream), 1);
  std::vector<uint8_t> ico = StreamBytes(ctx, stream);
  const uint32_t bigImage = 40 + 256 * 256 * 4 + 32 * 256;
  ASSERT_EQ(ico.size(), 22u + bigImage);
  const std::vector<uint8_t> head(ico.begin(), ico.begin() + 6);
  EXPECT_EQ(head, (std::vector<uint8_t>{0, 0, 1, 0, 1, 0}));
  EXPECT_EQ(ico[6], 0);  // width 256
  EXPECT_EQ(ico[7], 0);  // height 256
  EXPECT_EQ(ico[8], 0);  // colour count
  EXPECT_EQ(ReadU16(&ico[10]), 1);
  EXPECT_EQ(ReadU16(&ico[12]), 32);
  EXPECT_EQ(ReadU32(&ico[14]), bigImage);
  EXPECT_EQ(ReadU32(&ico[18]), 22u);
  EXPECT_EQ(ReadU32(&ico[22]), 40u);
  EXPECT_EQ(ReadS32(&ico[26]), 256);
  EXPECT_EQ(ReadS32(&ico[30]), 512);
  // The first colour pixel follows the header directly: blue 255, alpha 128.
  EXPECT_EQ(std::vector<uint8_t>(ico.begin() + 62, ico.begin() + 66), (std::vector<uint8_t>{255, 0, 0, 128}));
  ReleaseScratchStream(ctx, &stream);

  // The colour table follows the colour bitmap's depth: 2^bits entries up
  // to 8 bits (the colour count byte 0 from 8 bits on), none above.
  struct Depth {
    int bits;
    uint8_t colourCount;
    uint32_t tableBytes;
  };
  for (const Depth d : {Depth{1, 2, 8}, Depth{4, 16, 64}, Depth{8, 0, 1024}, Depth{24, 0, 0}, Depth{32, 0, 0}}) {
    SCOPED_TRACE(d.bits);
    UniqueBitmap color = Section(16, 16, d.bits);
    UniqueBitmap mask(CreateBitmap(16, 16, 1, 1, nullptr));
    ASSERT_EQ(IconBitmapsToIcoStream(ctx, mask.get(), color.get(), stream), 1);
    ico = StreamBytes(ctx, stream);
    const uint32_t rows = ((16 * d.bits + 31) / 32) * 4 * 16;
    EXPECT_EQ(ico[8], d.colourCount);
    EXPECT_EQ(ReadU16(&ico[12]), d.bits);
    EXPECT_EQ(ReadU32(&ico[14]), 40 + d.tableBytes + rows + 4 * 16);
    EXPECT_EQ(ico.size(), 22 + 40 + d.tableBytes + rows + 4 * 16);
    EXPECT_EQ(ReadU16(&ico[22 + 14]), d.bits);
    if (d.tableBytes >= 32) {
      // The section's own colours: entry 7 is blue 7, green 248, red 3.
      EXPECT_EQ(std::vector<uint8_t>(ico.begin() + 62 + 4 * 7, ico.begin() + 62 + 4 * 8),
                (std::vector<uint8_t>{7, 248, 3, 0}));
    }
    ReleaseScratchStream(ctx, &stream);
  }

  // An icon the system made: whatever depth it kept, the file describes it.
  UniqueIcon icon = IconFromSection(16, 16, 8);
  ASSERT_TRUE(icon);
  ASSERT_EQ(IconToIcoStream(ctx, icon.get(), stream), 1);
  ico = StreamBytes(ctx, stream);
  IconImageInfo info;
  ASSERT_EQ(ClassifyIconImage(ctx, ico.data() + 22, ico.size() - 22, info), 1);
  EXPECT_EQ(info.bitCount, ReadU16(&ico[12]));
  EXPECT_EQ(DibLayoutOf(info).totalBytes, ico.size() - 22);
  ReleaseScratchStream(ctx, &stream);

  EXPECT_EQ(IconToIcoStream(ctx, nullptr, stream), 0);
  EXPECT_EQ(ctx.error, MakeError(kMsgNullPointer, 17));
}

TEST_F(IconCodecTest, MonochromeIconGetsBlackAndWhiteTable) {
  // 8 × 8 pixels, one bit each, rows padded to 16 bits as CreateIcon wants them.
  std::vector<uint8_t> andBits;
  std::vector<uint8_t> xorBits;
  for (int row = 0; row < 8; ++row) {
    andBits.insert(andBits.end(), {0x0F, 0x00});
    xorBits.insert(xorBits.end(), {0x33, 0x00});
  }
  UniqueIcon icon(CreateIcon(nullptr, 8, 8, 1, 1, andBits.data(), xorBits.data()));
  ASSERT_TRUE(icon);
  ScratchStream stream;
  ASSERT_EQ(IconToIcoStream(ctx, icon.get(), stream), 1);
  const std::vector<uint8_t> ico = StreamBytes(ctx, stream);
  EXPECT_EQ(ico[6], 8);
  EXPECT_EQ(ico[7], 8);
  EXPECT_EQ(ico[8], 2);
  EXPECT_EQ(ReadU16(&ico[12]), 1);
  ASSERT_EQ(ico.size(), 22u + 40 + 8 + 32 + 32);
  EXPECT_EQ(std::vector<uint8_t>(ico.begin() + 62, ico.begin() + 70),
            (std::vector<uint8_t>{0, 0, 0, 0, 255, 255, 255, 0}));
  EXPECT_EQ(ico[70], 0x33);  // XOR rows, 4-byte padded
  EXPECT_EQ(ico[102], 0x0F);  // AND rows
}

TEST_F(IconCodecTest, IconFromImageDrawsAtTheImagesOwnSize) {
  for (int side : {16, 32, 48, 256}) {
    SCOPED_TRACE(side);
    Picture picture = Filled(side, side, kRed);
    picture.at(1, 1) = kHalfBlue;
    const std::vector<uint8_t> png = PngOf(picture);
    UniqueIcon icon;
    ASSERT_EQ(IconFromImage(ctx, png.data(), png.size(), IconImageKind::kPng, side, side, icon), 1);
    const Picture drawn = PictureOf(ctx, icon.get());
    EXPECT_EQ(drawn.width, side);
    EXPECT_EQ(drawn.height, side);
    EXPECT_EQ(drawn.pixels, picture.pixels);

    // Its DIB equivalent draws the same way.
    RegisteredBlock dib;
    uint64_t length = 0;
    ASSERT_EQ(UnpackPngImage(ctx, png.data(), png.size(), dib, length), 1);
    UniqueIcon fromDib;
    ASSERT_EQ(IconFromImage(ctx, dib.get(), length, IconImageKind::kDib, side, side, fromDib), 1);
    EXPECT_EQ(PictureOf(ctx, fromDib.get()).pixels, picture.pixels);
  }
}

TEST_F(IconCodecTest, ThumbnailsAreOwnSizeUpTo47Else48) {
  struct Case {
    int side;
    bool png;
    ContainerKind source;
    int expected;
  };
  const Case cases[] = {
      {16, false, kContainerIco, 16}, {47, false, kContainerNe, 47}, {48, false, kContainerIco, 48},
      {64, false, kContainerPe, 48},  {16, true, kContainerIco, 16}, {32, true, kContainerNe, 32},
      {256, true, kContainerIco, 48}, {256, true, kContainerNe, 48}, {256, true, kContainerPe, 48},
      {24, true, kContainerPe, 24},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(::testing::Message() << c.side << (c.png ? " PNG" : " DIB") << " from " << c.source);
    const Picture picture = Filled(c.side, c.side, kGreen);
    std::vector<uint8_t> bytes = PngOf(picture);
    RegisteredBlock dib;
    uint64_t length = bytes.size();
    if (!c.png) {
      ASSERT_EQ(UnpackPngImage(ctx, bytes.data(), bytes.size(), dib, length), 1);
      bytes.assign(dib.get(), dib.get() + length);
      dib.Reset();
    }
    UniqueIcon icon;
    ASSERT_EQ(ThumbnailIcon(ctx, bytes.data(), bytes.size(), c.source, icon), 1);
    const Picture drawn = PictureOf(ctx, icon.get());
    EXPECT_EQ(drawn.width, c.expected);
    EXPECT_EQ(drawn.height, c.expected);
    EXPECT_EQ(drawn.at(c.expected / 2, c.expected / 2), kGreen);
  }
}

// Every RT_ICON image of a module the system ships, as bytes.
std::vector<std::vector<uint8_t>> ModuleIcons(const wchar_t* name) {
  std::vector<std::vector<uint8_t>> images;
  UniqueModule module(LoadLibraryExW(name, nullptr, LOAD_LIBRARY_AS_DATAFILE));
  if (!module) return images;
  struct Walk {
    HMODULE module;
    std::vector<std::vector<uint8_t>>* images;
  } walk{module.get(), &images};
  EnumResourceNamesW(
      module.get(), MAKEINTRESOURCEW(3),
      [](HMODULE m, LPCWSTR type, LPWSTR id, LONG_PTR param) -> BOOL {
        auto* w = reinterpret_cast<Walk*>(param);
        HRSRC found = FindResourceW(m, id, type);
        HGLOBAL loaded = found ? LoadResource(m, found) : nullptr;
        const auto* bytes = static_cast<const uint8_t*>(loaded ? LockResource(loaded) : nullptr);
        if (bytes) w->images->emplace_back(bytes, bytes + SizeofResource(m, found));
        return TRUE;
      },
      reinterpret_cast<LONG_PTR>(&walk));
  return images;
}

TEST_F(IconCodecTest, ThumbnailsOfTheSystemsOwnModuleIcons) {
  const auto images = ModuleIcons(L"shell32.dll");
  ASSERT_GT(images.size(), 10u);
  size_t drawn = 0;
  for (const auto& image : images) {
    IconImageInfo info;
    ASSERT_EQ(ClassifyIconImage(ctx, image.data(), image.size(), info), 1);
    UniqueIcon icon;
    ASSERT_EQ(ThumbnailIcon(ctx, image.data(), image.size(), kContainerPe, icon), 1)
        << ErrorMessage(ctx.error) << "/" << ErrorSite(ctx.error);
    const Picture picture = PictureOf(ctx, icon.get());
    const int expected = info.width <= 47 && info.height <= 47 ? info.width : 48;
    EXPECT_EQ(picture.width, expected);
    ++drawn;
  }
  EXPECT_EQ(drawn, images.size());
}

}  // namespace
}  // namespace zx
