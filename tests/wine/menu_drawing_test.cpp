// The owner-drawn menu entries, measured and drawn by the menu facility into
// bitmaps of the test's own: widths, heights, fonts, pictures and colours.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <string>

#include "core/win_handles.h"
#include "core/win_text.h"
#include "ui/menus/menu_facility_win.h"

namespace zx {
namespace {

constexpr COLORREF kText = RGB(0, 0, 0);
constexpr COLORREF kBack = RGB(255, 255, 255);
constexpr COLORREF kColumn = RGB(236, 228, 175);
constexpr COLORREF kFill = RGB(253, 228, 229);
constexpr COLORREF kFrame = RGB(248, 119, 124);
constexpr MenuColours kColours = {kText, kText, kColumn, kBack, kFill, kFrame, RGB(255, 0, 0)};
constexpr int kMenuNumber = 900;

// A 32-bit top-down bitmap that the facility draws into.
class Canvas {
 public:
  Canvas(int width, int height) : width_(width), height_(height) {
    BITMAPINFO info = {};
    info.bmiHeader = {sizeof(BITMAPINFOHEADER), width, -height, 1, 32, BI_RGB};
    void* bits = nullptr;
    bitmap_.Reset(CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0));
    bits_ = static_cast<uint32_t*>(bits);
    dc_.Reset(CreateCompatibleDC(nullptr));
    previous_ = SelectObject(dc_.get(), bitmap_.get());
  }
  ~Canvas() { SelectObject(dc_.get(), previous_); }
  HDC dc() const { return dc_.get(); }
  RECT rect() const { return {0, 0, width_, height_}; }
  COLORREF At(int x, int y) const {
    GdiFlush();
    const uint32_t p = bits_[y * width_ + x];
    return RGB((p >> 16) & 0xFF, (p >> 8) & 0xFF, p & 0xFF);
  }
  // Pixels in the text column that satisfy `test`.
  int Count(const std::function<bool(COLORREF)>& test, int fromX = kMenuTextLeft) const {
    int count = 0;
    for (int y = 0; y < height_; ++y) {
      for (int x = fromX; x < width_; ++x) count += test(At(x, y)) ? 1 : 0;
    }
    return count;
  }
  int RightmostNot(COLORREF ground) const {
    for (int x = width_ - 1; x >= 0; --x) {
      for (int y = 0; y < height_; ++y) {
        if (At(x, y) != ground) return x;
      }
    }
    return -1;
  }

 private:
  int width_, height_;
  UniqueBitmap bitmap_;
  UniqueMemoryDc dc_;
  uint32_t* bits_ = nullptr;
  HGDIOBJ previous_ = nullptr;
};

int Darkness(COLORREF c) { return 765 - GetRValue(c) - GetGValue(c) - GetBValue(c); }

// A 16 x 16 picture: magenta ground (its top-left pixel) and a 4 x 4 square in the middle.
HBITMAP SquarePicture(COLORREF square) {
  BITMAPINFO info = {};
  info.bmiHeader = {sizeof(BITMAPINFOHEADER), 16, -16, 1, 32, BI_RGB};
  void* bits = nullptr;
  HBITMAP bitmap = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  auto* pixels = static_cast<uint32_t*>(bits);
  for (int y = 0; y < 16; ++y) {
    for (int x = 0; x < 16; ++x) {
      const COLORREF c = (x >= 6 && x < 10 && y >= 6 && y < 10) ? square : RGB(255, 0, 255);
      pixels[y * 16 + x] = (GetRValue(c) << 16) | (GetGValue(c) << 8) | GetBValue(c);
    }
  }
  return bitmap;
}

class MenuDrawingTest : public ::testing::Test {
 protected:
  void SetUp() override {
    facility_.Prepare();
    ASSERT_TRUE(facility_.CreateMenuRecord(kMenuNumber));
  }
  void TearDown() override { facility_.Teardown(); }
  MenuEntryRecord& Add(int command, const std::u16string& text) {
    EXPECT_EQ(facility_.AddMenuEntry(command, {text, kColours}), 0);
    return *facility_.FindEntry(command);
  }
  SIZE Measure(const MenuEntryRecord& entry) { return facility_.MeasureEntry(screen_.get(), entry); }

  MenuFacility facility_;
  ScreenDc screen_;
};

TEST_F(MenuDrawingTest, TabMakesTheEntryTwentyWiderAndAlignsItsSecondPartRight) {
  const MenuEntryRecord& tabbed = Add(1, u"Open file\tCtrl+O");
  const MenuEntryRecord& plain = Add(2, u"Open fileCtrl+O");
  EXPECT_EQ(Measure(tabbed).cx, Measure(plain).cx + 20);
  EXPECT_EQ(facility_.AddMenuEntry(3, {u"", kColours}), -1) << "an empty text is refused";

  const SIZE size = Measure(tabbed);
  const int width = size.cx + 60;
  Canvas canvas(width, size.cy);
  facility_.DrawEntry(canvas.dc(), canvas.rect(), tabbed, {});
  const int right = canvas.RightmostNot(kBack);
  EXPECT_LT(right, width - 10);
  EXPECT_GE(right, width - 10 - 3) << "the second part ends 10 pixels from the right edge";
  // The picture column keeps its colour, the text starts at 34.
  EXPECT_EQ(canvas.At(2, 2), kColumn);
  EXPECT_EQ(canvas.Count([](COLORREF c) { return c != kBack; }, 24) -
                canvas.Count([](COLORREF c) { return c != kBack; }, kMenuTextLeft), 0);
}

TEST_F(MenuDrawingTest, SystemCloseEntryIsMeasuredAndDrawnBold) {
  const std::u16string close = u"Close       Alt+F4";
  const MenuEntryRecord& plain = Add(4, close);
  facility_.CloseMenuRecord(kMenuNumber);
  HWND window = CreateWindowExW(0, L"STATIC", L"system menu", WS_OVERLAPPEDWINDOW, 0, 0, 200, 100, nullptr, nullptr,
                                GetModuleHandleW(nullptr), nullptr);
  ASSERT_TRUE(window);
  ASSERT_TRUE(facility_.MakeSystemMenuOwnerDrawn(window, kColours));
  ASSERT_EQ(facility_.SetEntryText(SC_CLOSE, close), 0);
  const MenuEntryRecord* closeEntry = facility_.FindEntry(SC_CLOSE);
  ASSERT_TRUE(closeEntry);
  EXPECT_GT(Measure(*closeEntry).cx, Measure(plain).cx);

  const SIZE size = Measure(*closeEntry);
  Canvas bold(size.cx, size.cy), normal(size.cx, size.cy);
  facility_.DrawEntry(bold.dc(), bold.rect(), *closeEntry, {});
  facility_.DrawEntry(normal.dc(), normal.rect(), plain, {});
  const auto ink = [](COLORREF c) { return Darkness(c) > 300; };
  EXPECT_GT(bold.Count(ink), normal.Count(ink) * 11 / 10) << "bold text lays down more ink";
  EXPECT_GT(bold.RightmostNot(kBack), normal.RightmostNot(kBack));
  DestroyWindow(window);
}

// The picture's top-left colour shows the ground it lies on.
TEST_F(MenuDrawingTest, MagentaPictureShowsTheColumnOrTheHighlight) {
  const MenuEntryRecord& entry = Add(5, u"Select all");
  UniqueBitmap picture(SquarePicture(RGB(0, 0, 255)));
  ASSERT_EQ(facility_.SetEntryPicture(5, picture.get(), false), 0);
  const SIZE size = Measure(entry);
  const int top = (size.cy - 16) / 2;
  const struct {
    bool highlighted;
    COLORREF ground;
  } cases[] = {{false, kColumn}, {true, kFill}};
  for (const auto& c : cases) {
    Canvas canvas(size.cx, size.cy);
    facility_.DrawEntry(canvas.dc(), canvas.rect(), entry, {c.highlighted, false, false});
    for (POINT p : {POINT{4, top}, POINT{19, top + 15}, POINT{4 + 5, top + 5}}) {
      EXPECT_EQ(canvas.At(p.x, p.y), c.ground) << c.highlighted << " at " << p.x << "," << p.y;
    }
    EXPECT_EQ(canvas.At(4 + 7, top + 7), RGB(0, 0, 255));
    if (c.highlighted) {
      EXPECT_EQ(canvas.At(1, 0), kFrame);
      EXPECT_EQ(canvas.At(size.cx - 2, size.cy / 2), kFrame);
      EXPECT_EQ(canvas.At(size.cx - 4, size.cy / 2), kFill);
    }
  }
}

TEST_F(MenuDrawingTest, DisabledHighlightedEntryIsFramedWithoutFillOrPicture) {
  const MenuEntryRecord& entry = Add(6, u"Remove selection");
  UniqueBitmap picture(SquarePicture(RGB(0, 0, 255)));
  ASSERT_EQ(facility_.SetEntryPicture(6, picture.get(), false), 0);
  const SIZE size = Measure(entry);
  Canvas canvas(size.cx, size.cy);
  facility_.DrawEntry(canvas.dc(), canvas.rect(), entry, {true, true, false});
  EXPECT_EQ(canvas.At(1, size.cy / 2), kFrame);
  EXPECT_EQ(canvas.At(size.cx - 2, 0), kFrame);
  EXPECT_EQ(canvas.At(size.cx - 4, size.cy / 2), kBack) << "not filled";
  EXPECT_EQ(canvas.At(4 + 7, (size.cy - 16) / 2 + 7), kColumn) << "no picture";
  // Text in the mix of 70/255 of the text colour and 185/255 of the background.
  const COLORREF grey = RGB(185, 185, 185);
  EXPECT_GT(canvas.Count([&](COLORREF c) { return c == grey; }), 0);
  EXPECT_EQ(canvas.Count([&](COLORREF c) { return c != kFrame && Darkness(c) > Darkness(grey); }, kMenuTextLeft), 0);
}

TEST_F(MenuDrawingTest, DisabledBlackPixelFadesTowardsTheFileListColumn) {
  const MenuEntryRecord& entry = Add(7, u"Delete selected file");
  UniqueBitmap picture(SquarePicture(RGB(0, 0, 0)));
  ASSERT_EQ(facility_.SetEntryPicture(7, picture.get(), false), 0);
  const SIZE size = Measure(entry);
  Canvas canvas(size.cx, size.cy);
  facility_.DrawEntry(canvas.dc(), canvas.rect(), entry, {false, true, false});
  EXPECT_EQ(canvas.At(4 + 7, (size.cy - 16) / 2 + 7), RGB(171, 165, 126));
  EXPECT_EQ(FadeTowards(RGB(0, 0, 0), kColumn), RGB(171, 165, 126));
}

TEST_F(MenuDrawingTest, CheckedEntryShowsTheDefaultCheckPicture) {
  EXPECT_EQ(DefaultCheckPictureFile().size(), 822u);
  const MenuEntryRecord& entry = Add(8, u"English");
  const SIZE size = Measure(entry);
  Canvas checked(size.cx, size.cy), unchecked(size.cx, size.cy);
  facility_.DrawEntry(checked.dc(), checked.rect(), entry, {false, false, true});
  facility_.DrawEntry(unchecked.dc(), unchecked.rect(), entry, {});
  const auto notColumn = [](COLORREF c) { return c != kColumn; };
  EXPECT_GT(checked.Count(notColumn, 0) - checked.Count(notColumn, kMenuColumnWidth), 10);
  EXPECT_EQ(unchecked.Count(notColumn, 0) - unchecked.Count(notColumn, kMenuColumnWidth), 0);
}

// Text height h gives max(h made even, at least 20; 24): 13 gives 24, 27 gives 28.
TEST_F(MenuDrawingTest, EntryHeightsFollowTheFontHeight) {
  const MenuEntryRecord& entry = Add(9, u"Tiles");
  bool seen13 = false, seenOddAbove24 = false;
  for (const wchar_t* face : {L"Arial", L"Tahoma", L"Courier New", L"Times New Roman"}) {
    for (int height = -40; height <= 40; ++height) {
      UniqueGdiObject font(CreateFontW(height, 0, 0, 0, FW_NORMAL, 0, 0, 0, DEFAULT_CHARSET, 0, 0, 0, 0, face));
      SIZE text = {};
      {
        SelectedObject selected(screen_.get(), font.get());
        GetTextExtentPoint32W(screen_.get(), L"Tiles&", 6, &text);
      }
      ASSERT_EQ(facility_.SetMenuStyle(kMenuNumber, kMenuStyleFont, reinterpret_cast<INT_PTR>(font.get())), 0);
      const int even = std::max<int>(20, text.cy) + (std::max<int>(20, text.cy) % 2);
      EXPECT_EQ(Measure(entry).cy, std::max(even, 24)) << text.cy;
      if (text.cy == 13) {
        seen13 = true;
        EXPECT_EQ(Measure(entry).cy, 24);
      }
      if (text.cy == 27) EXPECT_EQ(Measure(entry).cy, 28);
      // An odd height above 24 is made even.
      if (text.cy > 24 && text.cy % 2) {
        seenOddAbove24 = true;
        EXPECT_EQ(Measure(entry).cy, text.cy + 1);
      }
      facility_.SetMenuStyle(kMenuNumber, kMenuStyleFont, 0);
    }
  }
  EXPECT_TRUE(seen13);
  EXPECT_TRUE(seenOddAbove24);
}

TEST_F(MenuDrawingTest, SeparatorIsAThinLineBelowItsTop) {
  ASSERT_EQ(facility_.AddMenuSeparator(10, {u"", kColours}), 0);
  ASSERT_EQ(facility_.SetSeparatorColour(10, RGB(0, 0, 255)), 0);
  const MenuEntryRecord& separator = *facility_.FindEntry(10);
  EXPECT_EQ(Measure(separator).cx, 10);
  EXPECT_EQ(Measure(separator).cy, 7);
  Canvas canvas(100, 7);
  facility_.DrawEntry(canvas.dc(), canvas.rect(), separator, {});
  EXPECT_EQ(canvas.At(30, 3), RGB(0, 0, 255));
  EXPECT_EQ(canvas.At(99, 3), RGB(0, 0, 255));
  EXPECT_EQ(canvas.At(30, 2), kBack);
  EXPECT_EQ(canvas.At(10, 3), kColumn);
}

TEST_F(MenuDrawingTest, FillingRulesOfTheMenus) {
  EXPECT_FALSE(facility_.CreateMenuRecord(901)) << "another menu is being filled";
  EXPECT_EQ(facility_.ShowPopupMenu(kMenuNumber, GetDesktopWindow(), 0, 0), -1);
  EXPECT_EQ(facility_.CloseMenuRecord(kMenuNumber), 0);
  EXPECT_FALSE(facility_.CreateMenuRecord(kMenuNumber)) << "the number is in use";
  EXPECT_EQ(facility_.DestroyMenuRecord(kMenuNumber), 0);
  EXPECT_EQ(facility_.DestroyMenuRecord(kMenuNumber), -1);
  EXPECT_TRUE(facility_.CreateMenuRecord(kMenuNumber));
}

}  // namespace
}  // namespace zx
