// The small shared pieces: block registry, catalogue blocks, names, UTF-8, languages.
#include <gtest/gtest.h>

#include "core/block_registry.h"
#include "core/catalogue.h"
#include "core/icon_document.h"
#include "core/language.h"
#include "core/messages.h"
#include "core/thread_context.h"
#include "core/utf8.h"

namespace zx {
namespace {

TEST(BlockRegistry, AllocatesZeroedBlocksAndReleasesOnlyRegisteredOnes) {
  ThreadContext ctx;
  uint8_t* block = ctx.blocks.Allocate(ctx, 64);
  ASSERT_NE(block, nullptr);
  EXPECT_EQ(block[0], 0);
  EXPECT_EQ(block[63], 0);
  EXPECT_TRUE(ctx.blocks.IsRegistered(block));
  int local = 0;
  ctx.blocks.Release(&local);  // never registered: ignored
  ctx.blocks.Release(nullptr);
  EXPECT_EQ(ctx.blocks.LiveCount(), 1u);
  ctx.blocks.Release(block);
  ctx.blocks.Release(block);  // twice: ignored
  EXPECT_EQ(ctx.blocks.LiveCount(), 0u);
}

TEST(BlockRegistry, RefusesEmptyAndNegativeSizes) {
  ThreadContext ctx;
  EXPECT_EQ(ctx.blocks.Allocate(ctx, 0), nullptr);
  EXPECT_EQ(ctx.error, MakeError(kMsgNoMemory, 46));
  EXPECT_EQ(ctx.blocks.Allocate(ctx, -5), nullptr);
  EXPECT_EQ(ctx.error, MakeError(kMsgNoMemory, 46));
}

TEST(BlockRegistry, OwnerReleasesUnlessTaken) {
  ThreadContext ctx;
  {
    RegisteredBlock owned(ctx.blocks, ctx.blocks.Allocate(ctx, 8));
    EXPECT_EQ(ctx.blocks.LiveCount(), 1u);
  }
  EXPECT_EQ(ctx.blocks.LiveCount(), 0u);
  uint8_t* kept = nullptr;
  {
    RegisteredBlock owned(ctx.blocks, ctx.blocks.Allocate(ctx, 8));
    kept = owned.Take();
  }
  EXPECT_TRUE(ctx.blocks.IsRegistered(kept));
}

// A string-table block: 16 entries of length + UTF-16 units.
std::vector<uint8_t> Block(const std::vector<std::u16string>& texts) {
  std::vector<uint8_t> bytes;
  for (int i = 0; i < 16; ++i) {
    const std::u16string text = i < static_cast<int>(texts.size()) ? texts[i] : u"";
    bytes.push_back(static_cast<uint8_t>(text.size()));
    bytes.push_back(static_cast<uint8_t>(text.size() >> 8));
    for (char16_t c : text) {
      bytes.push_back(static_cast<uint8_t>(c));
      bytes.push_back(static_cast<uint8_t>(c >> 8));
    }
  }
  return bytes;
}

TEST(CatalogueBlock, FindsTextsByPosition) {
  const auto block = Block({u"", u"*.ico", u"", u"Icône"});
  EXPECT_EQ(FindTextInBlock(block.data(), block.size(), 1), u"*.ico");
  EXPECT_EQ(FindTextInBlock(block.data(), block.size(), 3), u"Icône");
  EXPECT_EQ(FindTextInBlock(block.data(), block.size(), 0), u"");
  EXPECT_EQ(FindTextInBlock(block.data(), block.size(), 15), u"");
  EXPECT_EQ(FindTextInBlock(block.data(), block.size(), 16), u"");
}

TEST(CatalogueBlock, StopsAtTheEndOfATruncatedBlock) {
  auto block = Block({u"abc", u"defgh"});
  // Cut inside the second text: its length claims more than is there.
  for (size_t cut = 0; cut < 2 + 6 + 2 + 10; ++cut) {
    EXPECT_EQ(FindTextInBlock(block.data(), cut, 1), u"") << cut;
  }
  EXPECT_EQ(FindTextInBlock(block.data(), 8, 0), u"abc");
  EXPECT_EQ(FindTextInBlock(nullptr, 0, 0), u"");
}

TEST(IconDocumentNames, ExtensionKindsAndTrailingDots) {
  struct Case {
    const char16_t* path;
    ExtensionKind kind;
  } cases[] = {
      {u"C:\\a\\b.ico", kExtensionIco}, {u"C:\\a\\B.ICL", kExtensionIcl}, {u"x.Exe", kExtensionExe},
      {u"x.dll", kExtensionDll},        {u"x.drv", kExtensionDrv},        {u"x.cpl", kExtensionCpl},
      {u"x.ocx", kExtensionOcx},        {u"x.scr", kExtensionScr},        {u"x.txt", kExtensionOther},
      {u"C:\\dir.ico\\file", kExtensionOther}, {u"ico", kExtensionOther},
  };
  for (const Case& c : cases) EXPECT_EQ(ExtensionKindOf(c.path), c.kind);
  EXPECT_EQ(WithoutTrailingDots(u"C:\\a\\b.ico.."), u"C:\\a\\b.ico");
  EXPECT_EQ(FileNamePart(u"C:\\a\\b.ico"), u"b.ico");
}

TEST(Utf8, RoundTripsAndReplacesInvalidSequences) {
  const std::u16string text = u"Préférences \U0001F600 ok";
  EXPECT_EQ(FromUtf8(ToUtf8(text)), text);
  EXPECT_EQ(ToUtf8(u"é"), "\xC3\xA9");
  EXPECT_EQ(FromUtf8("a\xC3"), u"a\uFFFD");
  EXPECT_EQ(FromUtf8("\xE0\x80\x80"), u"\uFFFD\uFFFD\uFFFD");  // overlong
  EXPECT_EQ(FromUtf8("\xED\xA0\x80x"), u"\uFFFD\uFFFD\uFFFDx");  // encoded surrogate
  EXPECT_EQ(ToUtf8(std::u16string(1, char16_t{0xD800})), "\xEF\xBF\xBD");
}

TEST(Language, ChoiceAndUserLanguage) {
  EXPECT_EQ(LanguageFor(1, 0x0409), 1036);
  EXPECT_EQ(LanguageFor(2, 0x040C), 2057);
  EXPECT_EQ(LanguageFor(0, 0x040C), 1036);  // French (France)
  EXPECT_EQ(LanguageFor(0, 0x0C0C), 1036);  // French (Canada)
  EXPECT_EQ(LanguageFor(0, 0x0809), 2057);
  EXPECT_EQ(LanguageFor(3, 0x080C), 1036);  // 3 counts as automatic
}

}  // namespace
}  // namespace zx
