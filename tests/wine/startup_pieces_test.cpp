// Pieces of the start-up checked inside the test program: the common-controls
// version rule, the embedded items and the module template.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/common_controls_version_win.h"
#include "app/module_template_win.h"
#include "app/windows_version_win.h"
#include "core/embedded_items_win.h"
#include "core/win_handles.h"
#include "formats/module_template.h"

namespace zx {
namespace {

// Wine's version-6 library says 5.81 through DllGetVersion but 6.x in its file
// version; either 6.0 source is enough, and an old library is still refused.
TEST(CommonControlsVersion, AcceptsVersionSixFromEitherSource) {
  const struct {
    uint64_t reported;
    int fileMajor;
    bool accepted;
  } cases[] = {
      {PackedVersion(6, 0), 0, true},
      {PackedVersion(6, 16), 6, true},
      {PackedVersion(5, 81), 6, true},
      {PackedVersion(5, 81), 5, false},
      {PackedVersion(5, 82), 0, false},
      {0, 0, false},
      {0, 6, true},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(IsCommonControlsVersionAccepted(c.reported, c.fileMajor), c.accepted)
        << std::hex << c.reported << " file " << c.fileMajor;
  }
}

TEST(WindowsVersion, XpAndLaterPass) {
  const struct {
    DWORD platform, major, minor;
    bool supported;
  } cases[] = {
      {VER_PLATFORM_WIN32_WINDOWS, 4, 10, false},  // 98
      {VER_PLATFORM_WIN32_WINDOWS, 4, 90, false},  // Me
      {VER_PLATFORM_WIN32_NT, 3, 51, false},
      {VER_PLATFORM_WIN32_NT, 4, 0, false},
      {VER_PLATFORM_WIN32_NT, 5, 0, false},  // 2000
      {VER_PLATFORM_WIN32_NT, 5, 1, true},   // XP
      {VER_PLATFORM_WIN32_NT, 5, 2, true},
      {VER_PLATFORM_WIN32_NT, 6, 0, true},
      {VER_PLATFORM_WIN32_NT, 10, 0, true},
      {7, 1, 0, true},  // unknown platform
  };
  for (const auto& c : cases) {
    EXPECT_EQ(IsWindowsVersionSupported(c.platform, c.major, c.minor), c.supported) << c.major << "." << c.minor;
  }
  EXPECT_TRUE(IsRunningWindowsSupported());
}

// The side-by-side folder names the assembly's version after its key token.
TEST(CommonControlsVersion, SideBySideFolderGivesTheVersion) {
  const struct {
    std::u16string path;
    int major;
  } cases[] = {
      {u"C:\\windows\\winsxs\\amd64_microsoft.windows.common-controls_6595b64144ccf1df_6.0.2600.2982_none_deadbeef\\comctl32.dll", 6},
      {u"C:\\Windows\\WinSxS\\X86_Microsoft.Windows.Common-Controls_6595b64144ccf1df_6.0.19041.1110_none_a8625c1886757984\\COMCTL32.DLL", 6},
      {u"C:\\windows\\winsxs\\x86_microsoft.windows.common-controls_6595b64144ccf1df_5.82.19041.1110_none_c\\comctl32.dll", 5},
      {u"C:\\windows\\system32\\comctl32.dll", 0},
      {u"C:\\windows\\winsxs\\other\\microsoft.windows.common-controls_x_6.0\\comctl32.dll", 0},
      {u"C:\\windows\\winsxs\\amd64_microsoft.windows.common-controls_6595b64144ccf1df_", 0},
      {u"", 0},
  };
  for (const auto& c : cases) EXPECT_EQ(SideBySideMajorVersion(c.path), c.major) << std::string(c.path.begin(), c.path.end());
}

// This test program carries the same manifest as Zorvex, so it loads the
// version-6 library, known as such even where DllGetVersion says 5.81.
TEST(CommonControlsVersion, LoadedLibraryPasses) {
  UniqueModule comctl(LoadLibraryW(L"comctl32.dll"));
  ASSERT_TRUE(comctl);
  EXPECT_EQ(LoadedModuleMajorVersion(comctl.get()), 6);
}

// The template inflates to the 1536-byte empty 32-bit resource-only DLL with
// the French about line over the DOS stub's message.
TEST(ModuleTemplate, InflatesAndCarriesTheAboutLine) {
  ThreadContext ctx;
  std::vector<uint8_t> image;
  ASSERT_EQ(LoadModuleTemplate(ctx, image), 1);
  ASSERT_EQ(image.size(), kModuleTemplateSize);
  EXPECT_EQ(image[0], 'M');
  EXPECT_EQ(image[1], 'Z');
  EXPECT_EQ(image[0x3C], 0xE0);
  EXPECT_EQ(std::string(image.begin() + 0xE0, image.begin() + 0xE4), std::string("PE\0\0", 4));
  EXPECT_EQ(image[0xE4] | (image[0xE5] << 8), 0x014C);
  EXPECT_EQ(image[0xF8] | (image[0xF9] << 8), 0x010B);
  EXPECT_EQ(std::string(image.begin() + 0x1D8, image.begin() + 0x1DD), ".rsrc");
  const std::string stub(image.begin() + 0x4E, image.begin() + 0x4E + 35);
  EXPECT_EQ(stub, std::string("Zorvex version 2.00 beta 2 - 2026\n\0", 35));
  EXPECT_EQ(image[0x4E + 35], 0);
}

// Every packed icon unpacks to a 16 x 16 icon; the tool bar pictures are PNG files.
TEST(EmbeddedItems, PackedIconsAndPictures) {
  for (int id = 20; id <= 48; ++id) {
    UniqueIcon icon(LoadPackedIcon(id));
    ASSERT_TRUE(icon) << id;
    ICONINFO info = {};
    ASSERT_TRUE(GetIconInfo(icon.get(), &info)) << id;
    BITMAP bitmap = {};
    GetObjectW(info.hbmColor, sizeof(bitmap), &bitmap);
    EXPECT_EQ(bitmap.bmWidth, 16) << id;
    EXPECT_EQ(bitmap.bmHeight, 16) << id;
    DeleteObject(info.hbmColor);
    DeleteObject(info.hbmMask);
  }
  for (int id = 0; id <= 9; ++id) {
    const auto item = EmbeddedItem(id);
    ASSERT_GT(item.size(), 24u) << id;
    EXPECT_EQ(std::string(item.begin() + 1, item.begin() + 4), "PNG") << id;
    // IHDR: 32 x 32.
    EXPECT_EQ(item[19], 32) << id;
    EXPECT_EQ(item[23], 32) << id;
  }
  const auto storageId = EmbeddedItem(70);
  EXPECT_EQ(storageId.size(), 16u);
  EXPECT_TRUE(EmbeddedItem(71).size() == 16u);
  EXPECT_TRUE(EmbeddedItem(12345).empty());
}

// A damaged packed item is refused, not read past its end.
TEST(EmbeddedItems, DamagedPackedItemIsRefused) {
  ThreadContext ctx;
  std::vector<uint8_t> out;
  const std::vector<std::vector<uint8_t>> damaged = {
      {},
      {1, 0, 0, 0},
      {0xFF, 0xFF, 0, 0, 10, 0, 0, 0, 0x78, 0x9C},   // packed length past the end
      {2, 0, 0, 0, 10, 0, 0, 0, 0x78, 0x9C},         // not a whole stream
  };
  for (const auto& item : damaged) {
    EXPECT_EQ(UnpackPackedImage(ctx, item, out), 0) << item.size();
    EXPECT_EQ(ctx.error & 0xFFFF, 1);
  }
}

}  // namespace
}  // namespace zx
