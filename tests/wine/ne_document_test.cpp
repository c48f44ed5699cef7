// Opening 16-bit NE files without icons: Wine's raster fonts are NE modules
// with font resources only.
#include <gtest/gtest.h>

#include <windows.h>

#include "core/messages.h"
#include "core/utf8.h"
#include "core/win_text.h"
#include "ops/document_loading.h"
#include "ops/icon_document_ops.h"
#include "wine/wine_support.h"

namespace zx {
namespace {

constexpr char16_t kRasterFont[] = u"Z:\\usr\\share\\wine\\fonts\\coure.fon";

TEST(NeDocument, ModulesWithoutIconGroupsAreNoIconOrBadLibraries) {
  ASSERT_NE(GetFileAttributesW(Wide(kRasterFont)), INVALID_FILE_ATTRIBUTES) << "fonts-wine is not installed";
  testing::TempFolder folder;
  struct Case {
    const char16_t* name;
    int message, site;
  } cases[] = {
      {u"coure.fon", kMsgNoIcon, 50},       // never read: not a module extension
      {u"coure.dll", kMsgNoIcon, 50},       // read by the NE reader: no group type
      {u"coure.icl", kMsgBadFileFormat, 71},  // a library without groups is broken
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(ToUtf8(c.name));
    const std::u16string path = folder.path() + c.name;
    ASSERT_TRUE(CopyFileW(Wide(kRasterFont), Wide(path), FALSE));
    ThreadContext ctx;
    ctx.reportInMessageBox = true;
    IconDocument doc;
    EXPECT_EQ(LoadIconDocument(ctx, doc, path), 0);
    EXPECT_EQ(ctx.error, MakeError(c.message, c.site));
    EXPECT_EQ(doc.container, kContainerNone);
    EXPECT_EQ(doc.fileLock, nullptr);
    EXPECT_EQ(ctx.blocks.LiveCount(), 0u);
  }
}

}  // namespace
}  // namespace zx
