// The PE reader on small modules made with the resource-update service.
#include <gtest/gtest.h>

#include <windows.h>

#include "core/messages.h"
#include "core/utf8.h"
#include "core/win_text.h"
#include "formats/pe_reader_win.h"
#include "ops/document_loading.h"
#include "ops/icon_document_ops.h"
#include "support/document_fixture.h"
#include "wine/pe_fixture.h"

namespace zx {
namespace {

using testing::BuildPeModule;
using testing::DibImage;
using testing::PeFixture;
using testing::PngImage;
using testing::TempFolder;

// Two numbered groups: 1 holds a 4-bit 16 x 16, a 32-bit 48 x 48 and a PNG
// 64 x 64; 2 holds an 8-bit 32 x 32.
PeFixture TwoGroups() {
  PeFixture f;
  f.icons = {{1, DibImage(16, 16, 4), 4}, {2, DibImage(48, 48, 32), 32}, {3, PngImage(64, 64), 24},
             {4, DibImage(32, 32, 8), 8}};
  f.groups = {{1, u"", {1, 2, 3}}, {2, u"", {4}}};
  return f;
}

std::vector<std::u16string> Labels(const std::vector<DocumentGroup>& groups) {
  std::vector<std::u16string> labels;
  for (const DocumentGroup& g : groups) labels.push_back(g.label);
  return labels;
}

// The module loaded as the opening does it, before the check.
bool LoadModule(IconDocument& doc, const std::u16string& path) {
  doc.base = reinterpret_cast<uint8_t*>(LoadLibraryExW(Wide(path), nullptr, LOAD_LIBRARY_AS_DATAFILE));
  doc.container = kContainerPe;
  return doc.base != nullptr;
}

TEST(PeReader, GroupsAndImagesReadThroughTheLoader) {
  TempFolder folder;
  const PeFixture fixture = TwoGroups();
  const std::u16string path = BuildPeModule(folder, u"two.dll", fixture);
  ASSERT_FALSE(path.empty());
  ThreadContext ctx;
  IconDocument doc;
  ASSERT_EQ(LoadIconDocument(ctx, doc, path), 1) << ctx.error;
  EXPECT_EQ(doc.container, kContainerPe);
  EXPECT_EQ(doc.groupCount, 2);
  EXPECT_EQ(doc.iconCount, 4);
  EXPECT_EQ(doc.namedGroups, 0);
  EXPECT_EQ(doc.stringNamedGroups, 0);
  EXPECT_EQ(doc.hasPng, 1);
  EXPECT_EQ(doc.fileLock, nullptr);  // the loader holds a PE module

  std::vector<DocumentGroup> groups;
  ASSERT_EQ(ReadDocumentGroups(ctx, doc, groups), 1);
  EXPECT_EQ(Labels(groups), (std::vector<std::u16string>{u"#1", u"#2"}));
  ASSERT_EQ(groups[0].images.size(), 3u);
  struct Expected {
    int width, height, bits;
    bool png;
    size_t icon;
  } expected[] = {{16, 16, 4, false, 0}, {48, 48, 32, false, 1}, {64, 64, 24, true, 2}};
  for (size_t i = 0; i < 3; ++i) {
    const DocumentImage& image = groups[0].images[i];
    EXPECT_EQ(image.width, expected[i].width);
    EXPECT_EQ(image.height, expected[i].height);
    EXPECT_EQ(image.bitCount, expected[i].bits);
    EXPECT_EQ(image.png, expected[i].png);
    const std::vector<uint8_t>& bytes = fixture.icons[expected[i].icon].bytes;
    ASSERT_EQ(image.bytes, bytes.size());
    EXPECT_EQ(std::vector<uint8_t>(image.data, image.data + image.bytes), bytes);
  }

  // The thumbnail stands on the 48 x 48 32-bit image.
  PeGroup group;
  ASSERT_EQ(ReadGroup(ctx, doc, PeResourceName{1, {}}, PeGroupReader::kThumbnail, group), 1);
  EXPECT_EQ(group.images[RepresentativeImageIndex(group.images)].iconId, 2);
  CloseDocument(ctx, &doc);
  EXPECT_EQ(doc.base, nullptr);
}

TEST(PeReader, ModuleCheckFailuresFreeTheModule) {
  TempFolder folder;
  struct Case {
    const char* name;
    PeFixture fixture;
    int message, site;
  } cases[] = {
      {"group with count 0", {{{1, DibImage(16, 16, 4), 4}}, {{1, u"", {1}, 0}}, {}}, 72, 11},
      {"bad group header", {{{1, DibImage(16, 16, 4), 4}}, {{1, u"", {1}, -1, 0x00030000}}, {}},
       kMsgHeaderIntegrity, 13},
      {"no icon group", {{{1, DibImage(16, 16, 4), 4}}, {}, {}}, kMsgNoIcon, 16},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const std::u16string path = BuildPeModule(folder, u"bad.dll", c.fixture);
    ASSERT_FALSE(path.empty());
    ThreadContext ctx;
    IconDocument doc;
    ASSERT_TRUE(LoadModule(doc, path));
    EXPECT_EQ(CheckPeModule(ctx, doc), 0);
    EXPECT_EQ(ctx.error, MakeError(c.message, c.site));
    EXPECT_EQ(doc.base, nullptr);
    // Freed: the file can be replaced again.
    EXPECT_TRUE(DeleteFileW(Wide(path)));
  }
}

TEST(PeReader, NameTablesLabelTheGroupsOnlyWhenTheyNameEveryGroup) {
  TempFolder folder;
  struct Case {
    const char* name;
    std::vector<testing::PeFixtureNameTable> tables;
    std::u16string firstGroupName;  // a string name for the first group
    int namedGroups;
    std::vector<std::u16string> labels;
    // The name list stays for the writers whenever it names every group.
    bool keepsNameList;
  } cases[] = {
      {"fewer names than groups", {{1, std::string("\x03ICL\x06" "Folder", 11)}}, u"", 0, {u"#1", u"#2"}, false},
      {"one name per group", {{1, std::string("\x03ICL\x06" "Folder\x04" "Disk", 16)}}, u"", 1,
       {u"Folder", u"Disk"}, true},
      {"a group named by a string", {{1, std::string("\x03ICL\x01" "A\x01" "B", 8)}}, u"ARROW", 0,
       {u"ARROW", u"#2"}, true},
      // The name table the named pass reads (the last one) has a name of length 0.
      {"a name of length 0",
       {{1, std::string("\x03ICL\x01" "A\x01" "B", 8)}, {2, std::string("\x03ICL\x01" "A\x00\x01" "B", 9)}},
       u"", 0, {u"#1", u"#2"}, true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    PeFixture fixture = TwoGroups();
    fixture.nameTables = c.tables;
    fixture.groups[0].name = c.firstGroupName;
    const std::u16string path = BuildPeModule(folder, u"library.icl", fixture);
    ASSERT_FALSE(path.empty());
    ThreadContext ctx;
    IconDocument doc;
    ASSERT_EQ(LoadIconDocument(ctx, doc, path), 1) << ctx.error;
    EXPECT_EQ(doc.namedGroups, c.namedGroups);
    EXPECT_EQ(doc.stringNamedGroups, c.firstGroupName.empty() ? 0 : 1);
    EXPECT_EQ(doc.groupNames.empty(), !c.keepsNameList);
    std::vector<DocumentGroup> groups;
    ASSERT_EQ(ReadDocumentGroups(ctx, doc, groups), 1);
    EXPECT_EQ(Labels(groups), c.labels);
    CloseDocument(ctx, &doc);
  }
}

TEST(PeReader, NamedPassFailsWith83AndThePlainPassTakesOver) {
  TempFolder folder;
  PeFixture fixture = TwoGroups();
  fixture.nameTables = {{1, std::string("\x03ICL\x01" "A\x01" "B", 8)},
                        {2, std::string("\x03ICL\x01" "A\x00\x01" "B", 9)}};
  const std::u16string path = BuildPeModule(folder, u"zero.icl", fixture);
  ASSERT_FALSE(path.empty());
  ThreadContext ctx;
  IconDocument doc;
  ASSERT_TRUE(LoadModule(doc, path));
  ASSERT_EQ(CheckPeModule(ctx, doc), 1);
  EXPECT_EQ(doc.namedGroups, 1);  // table 1 names both groups
  int calls = 0;
  const auto count = [&](IconDocument&, const std::u16string&, const PeResourceName&, bool) { return ++calls; };
  EXPECT_EQ(ForEachNamedGroup(ctx, doc, count), 0);
  EXPECT_EQ(ctx.error, MakeError(kMsgGroupNames, 10));
  EXPECT_EQ(calls, 0);  // nothing built before the list was found broken

  std::vector<bool> named;
  EXPECT_EQ(ForEachPeDocumentGroup(ctx, doc,
                                   [&](IconDocument&, const std::u16string&, const PeResourceName&, bool n) {
                                     named.push_back(n);
                                     return 1;
                                   }),
            1);
  EXPECT_EQ(named, (std::vector<bool>{false, false}));
  EXPECT_EQ(doc.namedGroups, 0);
  EXPECT_EQ(ctx.error, 0);
  CloseDocument(ctx, &doc);
}

TEST(PeReader, PlainPassGoesOnAfterABuilderFailingWithoutAnError) {
  TempFolder folder;
  const std::u16string path = BuildPeModule(folder, u"walk.dll", TwoGroups());
  ThreadContext ctx;
  IconDocument doc;
  ASSERT_TRUE(LoadModule(doc, path));
  ASSERT_EQ(CheckPeModule(ctx, doc), 1);
  std::vector<int> ids;
  EXPECT_EQ(ForEachGroup(ctx, doc, [&](IconDocument&, const std::u16string&, const PeResourceName& g, bool) {
              ids.push_back(g.id);
              return 0;
            }),
            1);
  EXPECT_EQ(ids, (std::vector<int>{1, 2}));
  ids.clear();
  EXPECT_EQ(ForEachGroup(ctx, doc, [&](IconDocument&, const std::u16string&, const PeResourceName& g, bool) {
              ids.push_back(g.id);
              return Fail(ctx, 84, 6);
            }),
            0);
  EXPECT_EQ(ctx.error, MakeError(84, 6));
  EXPECT_EQ(ids, (std::vector<int>{1}));
  CloseDocument(ctx, &doc);
}

TEST(PeReader, GroupReadingFailuresUseTheReadersSites) {
  TempFolder folder;
  PeFixture fixture = TwoGroups();
  fixture.groups[1].iconIds = {9};  // no icon 9 in the module
  const std::u16string path = BuildPeModule(folder, u"missing.dll", fixture);
  ThreadContext ctx;
  IconDocument doc;
  ASSERT_TRUE(LoadModule(doc, path));
  ASSERT_EQ(CheckPeModule(ctx, doc), 1);
  PeGroup group;
  EXPECT_EQ(ReadGroup(ctx, doc, PeResourceName{2, {}}, PeGroupReader::kThumbnail, group), 0);
  EXPECT_EQ(ctx.error, MakeError(kMsgResourceFind, 45));
  EXPECT_EQ(ReadGroup(ctx, doc, PeResourceName{2, {}}, PeGroupReader::kImagePane, group), 0);
  EXPECT_EQ(ctx.error, MakeError(kMsgResourceFind, 40));
  EXPECT_EQ(ReadGroup(ctx, doc, PeResourceName{7, {}}, PeGroupReader::kThumbnail, group), 0);
  EXPECT_EQ(ctx.error, MakeError(kMsgResourceFind, 44));
  EXPECT_EQ(ReadGroup(ctx, doc, PeResourceName{7, {}}, PeGroupReader::kImagePane, group), 0);
  EXPECT_EQ(ctx.error, MakeError(kMsgResourceFind, 39));
  CloseDocument(ctx, &doc);

  // The opening fails on the thumbnail of that group and leaves nothing loaded.
  EXPECT_EQ(LoadIconDocument(ctx, doc, path), 0);
  EXPECT_EQ(ctx.error, MakeError(kMsgResourceFind, 45));
  EXPECT_EQ(doc.container, kContainerNone);
  EXPECT_EQ(doc.base, nullptr);
}

TEST(PeReader, ThumbnailImageWithoutIhdrFailsTheOpening) {
  TempFolder folder;
  PeFixture fixture;
  fixture.icons = {{1, PngImage(48, 48, "IDAT"), 32}};
  fixture.groups = {{1, u"", {1}}};
  const std::u16string path = BuildPeModule(folder, u"ihdr.dll", fixture);
  ThreadContext ctx;
  IconDocument doc;
  EXPECT_EQ(LoadIconDocument(ctx, doc, path), 0);
  EXPECT_EQ(ctx.error, MakeError(kMsgBadIhdr, 37));
}

TEST(PeReader, ModulesWithoutIconsAreShownAsSuchInThePanel) {
  TempFolder folder;
  struct Case {
    const char16_t* name;
    int message, site;
  } cases[] = {{u"plain.dll", kMsgNoIcon, 50}, {u"plain.exe", kMsgNoIcon, 50}, {u"plain.icl", kMsgBadFileFormat, 65}};
  for (const Case& c : cases) {
    SCOPED_TRACE(ToUtf8(c.name));
    const std::u16string path = folder.path() + c.name;
    ASSERT_TRUE(CopyFileW(Wide(testing::SystemModuleWithoutIcons()), Wide(path), FALSE));
    ThreadContext ctx;
    ctx.reportInMessageBox = true;
    IconDocument doc;
    EXPECT_EQ(LoadIconDocument(ctx, doc, path), 0);
    EXPECT_EQ(ctx.error, MakeError(c.message, c.site));
    EXPECT_EQ(ctx.reportInMessageBox, c.message != kMsgNoIcon);
    EXPECT_EQ(doc.container, kContainerNone);
    EXPECT_EQ(doc.base, nullptr);
    EXPECT_TRUE(DeleteFileW(Wide(path)));  // the module was freed
  }
}

TEST(PeReader, DetectionKeepsModulesTheLoaderTakesAndFreesThoseWithoutIcons) {
  TempFolder folder;
  const std::u16string withIcons = BuildPeModule(folder, u"icons.dll", TwoGroups());
  const std::u16string withoutIcons = folder.path() + u"none.dll";
  ASSERT_TRUE(CopyFileW(Wide(testing::SystemModuleWithoutIcons()), Wide(withoutIcons), FALSE));
  ThreadContext ctx;
  IconDocument doc;
  EXPECT_EQ(DetectContainer(ctx, &doc, withIcons + u"."), kContainerPe);
  EXPECT_EQ(ctx.error, 0);
  EXPECT_EQ(doc.path, withIcons);
  EXPECT_EQ(doc.container, kContainerPe);
  EXPECT_NE(doc.base, nullptr);
  EXPECT_EQ(ctx.blocks.LiveCount(), 0u);  // nothing read into memory
  CloseDocument(ctx, &doc);
  ResetDocument(ctx, doc);

  EXPECT_EQ(DetectContainer(ctx, &doc, withoutIcons), kContainerPe);
  EXPECT_EQ(ctx.error, MakeError(kMsgNoIcon, 4));
  EXPECT_EQ(doc.base, nullptr);
  EXPECT_EQ(doc.container, kContainerNone);
  EXPECT_TRUE(DeleteFileW(Wide(withoutIcons)));
}

}  // namespace
}  // namespace zx
