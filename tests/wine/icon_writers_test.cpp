// The writers as the program calls them: whole .ico files copied, image-pane
// pictures written as an NE library through the temporary file in the
// preference folder, and the preference folder's failures.
#include "ops/icon_writers_win.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <vector>

#include "core/messages.h"
#include "core/win_text.h"
#include "formats/byte_reader.h"
#include "formats/ne_reader.h"
#include "imaging/memory_stream.h"
#include "imaging/thread_services_win.h"
#include "ops/document_loading.h"
#include "ops/icon_document_ops.h"
#include "support/writer_fixture.h"
#include "wine_support.h"

namespace zx {
namespace {

using Bytes = std::vector<uint8_t>;
using namespace zx::testing;

class IconWritersTest : public ::testing::Test {
 protected:
  bool Exists(const std::u16string& path) {
    return GetFileAttributesW(Wide(path)) != INVALID_FILE_ATTRIBUTES;
  }
  ThreadContext ctx;
  ThreadServices services{ctx};
  TempFolder folder;
};

TEST_F(IconWritersTest, WholeIcoKeptIsACopyWithFreshTimes) {
  const Bytes ico = DescribedIcoFile({PatternedDib(16, 16, 4, 1), PngImage(256, 256)});
  const std::u16string source = folder.Write(u"source.ico", ico);
  // An old date on the source, so that fresh times show.
  {
    HANDLE file = CreateFileW(Wide(source), FILE_WRITE_ATTRIBUTES, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    FILETIME old{0x2A69C000, 0x01C6D4F0};  // 2006
    SetFileTime(file, &old, &old, &old);
    CloseHandle(file);
  }
  IconDocument doc;
  ASSERT_EQ(LoadIconDocument(ctx, doc, source), 1);
  const std::u16string target = folder.path() + u"\\copy.ico";
  ASSERT_EQ(WriteSelectionAs(ctx, doc, SaveTarget::kIco, kVistaKeep, {1, 2}, true, target, {}), 1);
  CloseDocument(ctx, &doc);
  EXPECT_EQ(ReadFileBytes(target), ico);
  WIN32_FILE_ATTRIBUTE_DATA data;
  ASSERT_TRUE(GetFileAttributesExW(Wide(target), GetFileExInfoStandard, &data));
  FILETIME now;
  GetSystemTimeAsFileTime(&now);
  const auto ticks = [](FILETIME t) { return (uint64_t{t.dwHighDateTime} << 32) | t.dwLowDateTime; };
  EXPECT_LT(ticks(now) - ticks(data.ftLastWriteTime), 600000000ull);  // within a minute
  EXPECT_EQ(data.dwFileAttributes, static_cast<DWORD>(FILE_ATTRIBUTE_ARCHIVE));
}

TEST_F(IconWritersTest, PicturesBecomeAnNeLibraryThroughTheTemporaryFile) {
  ctx.preferenceFolder = folder.path() + u"\\prefs\\deeper\\";
  const Bytes a = PatternedDib(16, 16, 4, 1), b = PatternedDib(32, 32, 8, 2);
  const Bytes ico = DescribedIcoFile({a, b});
  MemoryStream stream;
  ASSERT_TRUE(stream.Write(ctx, ico.data(), ico.size(), 1));
  const std::u16string target = folder.path() + u"\\pictures.icl";
  ASSERT_EQ(WriteNeIconLibraryFromImageSet(ctx, stream, target), 1);
  // The folder was made level by level and the temporary file is gone.
  EXPECT_TRUE(Exists(ctx.preferenceFolder));
  EXPECT_FALSE(Exists(TemporaryLibraryPath(ctx)));

  IconDocument doc;
  ASSERT_EQ(LoadIconDocument(ctx, doc, target), 1);
  std::vector<DocumentGroup> groups;
  ASSERT_EQ(ReadDocumentGroups(ctx, doc, groups), 1);
  ASSERT_EQ(groups.size(), 2u);
  EXPECT_EQ(Bytes(groups[1].images[0].data, groups[1].images[0].data + b.size()), b);
  CloseDocument(ctx, &doc);

  ctx.preferenceFolder.clear();
  const std::u16string second = folder.path() + u"\\second.icl";
  EXPECT_EQ(WriteNeIconLibraryFromImageSet(ctx, stream, second), 0);
  EXPECT_EQ(ErrorMessage(ctx.error), kMsgPreferenceFolder);
  EXPECT_FALSE(Exists(second));
}

TEST_F(IconWritersTest, StreamThatIsNotAnIcoIsRefused) {
  ctx.preferenceFolder = folder.path() + u"\\";
  Bytes notIco = DescribedIcoFile({PatternedDib(16, 16, 4, 1)});
  PutU32(notIco, 0, 0x00030000);
  Bytes empty = DescribedIcoFile({PatternedDib(16, 16, 4, 1)});
  PutU16(empty, 4, 0);
  const struct {
    Bytes bytes;
    int message;
  } cases[] = {{notIco, kMsgHeaderIntegrity}, {empty, kMsgBadIconCount}};
  for (const auto& c : cases) {
    MemoryStream stream;
    ASSERT_TRUE(stream.Write(ctx, c.bytes.data(), c.bytes.size(), 1));
    EXPECT_EQ(WriteNeIconLibraryFromImageSet(ctx, stream, folder.path() + u"\\x.icl"), 0);
    EXPECT_EQ(ErrorMessage(ctx.error), c.message);
  }
}

}  // namespace
}  // namespace zx
