// The entries' 16 x 16 pictures: copied from icons or bitmaps, made
// transparent by their top-left pixel's colour, faded when disabled, and the
// default check mark.
#include <cstring>

#include "ui/menus/menu_facility_win.h"

namespace zx {
namespace {

constexpr int kSize = kMenuPictureSize;
// Pixels drawn through the picture's transparent colour show magenta.
constexpr COLORREF kKeyColour = RGB(255, 0, 255);

// 16 x 16, 32 bits, top-down.
BITMAPINFO PictureInfo() {
  BITMAPINFO info = {};
  info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
  info.bmiHeader.biWidth = kSize;
  info.bmiHeader.biHeight = -kSize;
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = BI_RGB;
  return info;
}

HBITMAP CreatePictureBitmap(uint32_t** bits) {
  const BITMAPINFO info = PictureInfo();
  void* pixels = nullptr;
  HBITMAP bitmap = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &pixels, nullptr, 0);
  *bits = static_cast<uint32_t*>(pixels);
  return bitmap;
}

// DIB pixels hold blue in the low byte; COLORREF holds red there.
uint32_t PixelOf(COLORREF colour) { return (GetRValue(colour) << 16) | (GetGValue(colour) << 8) | GetBValue(colour); }
COLORREF ColourOf(uint32_t pixel) { return RGB((pixel >> 16) & 0xFF, (pixel >> 8) & 0xFF, pixel & 0xFF); }

}  // namespace

COLORREF FadeTowards(COLORREF colour, COLORREF towards) {
  auto mix = [](int a, int b) { return 70 * a / 255 + 185 * b / 255; };
  return RGB(mix(GetRValue(colour), GetRValue(towards)), mix(GetGValue(colour), GetGValue(towards)),
             mix(GetBValue(colour), GetBValue(towards)));
}

HBITMAP CopyMenuPicture(HANDLE picture, bool isIcon) {
  if (!picture) return nullptr;
  uint32_t* bits = nullptr;
  UniqueBitmap copy(CreatePictureBitmap(&bits));
  UniqueMemoryDc dc(CreateCompatibleDC(nullptr));
  if (!copy || !dc) return nullptr;
  {
    SelectedObject selected(dc.get(), copy.get());
    if (isIcon) {
      // An icon's transparent parts take the key colour, which the top-left
      // pixel then names as transparent.
      for (int i = 0; i < kSize * kSize; ++i) bits[i] = PixelOf(kKeyColour);
      DrawIconEx(dc.get(), 0, 0, static_cast<HICON>(picture), kSize, kSize, 0, nullptr, DI_NORMAL);
    } else {
      UniqueMemoryDc source(CreateCompatibleDC(nullptr));
      SelectedObject from(source.get(), picture);
      BITMAP info = {};
      GetObjectW(picture, sizeof(info), &info);
      SetStretchBltMode(dc.get(), COLORONCOLOR);
      StretchBlt(dc.get(), 0, 0, kSize, kSize, source.get(), 0, 0, info.bmWidth, info.bmHeight, SRCCOPY);
    }
    GdiFlush();
  }
  for (int i = 0; i < kSize * kSize; ++i) bits[i] &= 0xFFFFFF;
  return copy.Release();
}

HBITMAP PrepareMenuPicture(HBITMAP picture, COLORREF background, bool disabled, COLORREF column) {
  uint32_t* bits = nullptr;
  UniqueBitmap prepared(CreatePictureBitmap(&bits));
  if (!prepared) return nullptr;
  BITMAPINFO info = PictureInfo();
  ScreenDc screen;
  if (GetDIBits(screen.get(), picture, 0, kSize, bits, &info, DIB_RGB_COLORS) != kSize) return nullptr;
  const uint32_t transparent = bits[0] & 0xFFFFFF;
  for (int i = 0; i < kSize * kSize; ++i) {
    uint32_t pixel = bits[i] & 0xFFFFFF;
    if (pixel == transparent) pixel = PixelOf(background);
    if (disabled) pixel = PixelOf(FadeTowards(ColourOf(pixel), column));
    bits[i] = pixel;
  }
  return prepared.Release();
}

// A check mark in dark green on a magenta (transparent) ground.
const std::vector<uint8_t>& DefaultCheckPictureFile() {
  static const std::vector<uint8_t> file = [] {
    constexpr int kRowBytes = kSize * 3;
    constexpr uint32_t kPixelOffset = 14 + 40;
    constexpr uint32_t kFileSize = kPixelOffset + kRowBytes * kSize;  // 822
    std::vector<uint8_t> bytes(kFileSize, 0);
    auto put16 = [&](size_t at, uint16_t v) { std::memcpy(&bytes[at], &v, 2); };
    auto put32 = [&](size_t at, uint32_t v) { std::memcpy(&bytes[at], &v, 4); };
    bytes[0] = 'B';
    bytes[1] = 'M';
    put32(2, kFileSize);
    put32(10, kPixelOffset);
    put32(14, 40);
    put32(18, kSize);
    put32(22, kSize);
    put16(26, 1);
    put16(28, 24);
    put32(34, kRowBytes * kSize);
    // The mark's strokes, top-down: (x, y) of each stroke pixel's top.
    auto paint = [&](int x, int y) {
      if (x < 0 || x >= kSize || y < 0 || y >= kSize) return;
      const size_t at = kPixelOffset + static_cast<size_t>(kSize - 1 - y) * kRowBytes + x * 3;
      bytes[at] = 0x10;      // blue
      bytes[at + 1] = 0x60;  // green
      bytes[at + 2] = 0x10;  // red
    };
    for (int y = 0; y < kSize; ++y) {
      for (int x = 0; x < kSize; ++x) {
        const size_t at = kPixelOffset + static_cast<size_t>(y) * kRowBytes + x * 3;
        bytes[at] = 0xFF;
        bytes[at + 1] = 0x00;
        bytes[at + 2] = 0xFF;
      }
    }
    for (int i = 0; i < 3; ++i) {
      for (int step = 0; step <= 3; ++step) paint(3 + step, 7 + step + i);
      for (int step = 0; step <= 6; ++step) paint(6 + step, 10 - step + i);
    }
    return bytes;
  }();
  return file;
}

HBITMAP LoadDefaultCheckPicture() {
  const std::vector<uint8_t>& file = DefaultCheckPictureFile();
  const auto* info = reinterpret_cast<const BITMAPINFO*>(file.data() + 14);
  uint32_t offset = 0;
  std::memcpy(&offset, file.data() + 10, 4);
  ScreenDc screen;
  return CreateDIBitmap(screen.get(), &info->bmiHeader, CBM_INIT, file.data() + offset, info, DIB_RGB_COLORS);
}

}  // namespace zx
