// Taking icons and groups out of files in place: .ico files, PE modules and
// NE icon libraries, the refusals, and files that stay whole when a write
// fails.
#include "ops/icon_removal_win.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <cwctype>
#include <string>
#include <vector>

#include "core/messages.h"
#include "core/win_text.h"
#include "formats/byte_reader.h"
#include "formats/ne_library_writer.h"
#include "formats/pe_characteristics_win.h"
#include "formats/pe_resource_set_win.h"
#include "imaging/memory_stream.h"
#include "imaging/thread_services_win.h"
#include "ops/document_loading.h"
#include "ops/file_output_win.h"
#include "ops/icon_document_ops.h"
#include "support/writer_fixture.h"
#include "wine/pe_fixture.h"
#include "wine/wine_support.h"

namespace zx {
namespace {

using Bytes = std::vector<uint8_t>;
using namespace zx::testing;

std::string Key(const ModuleResource& r) {
  auto text = [](const PeResourceName& n) {
    return n.IsString() ? std::string(n.text.begin(), n.text.end()) : "#" + std::to_string(n.id);
  };
  return text(r.type) + "/" + text(r.name) + "/" + std::to_string(r.language);
}

// Icons 1..6 (patterned DIBs); group 1 lists 1 and 2, group "SECOND" lists
// 3 and 4, group 9 lists 2, 5, 6 and 3. The system lists named groups
// first: SECOND, 1, 9.
PeFixture ThreeGroups() {
  PeFixture fixture;
  for (int id = 1; id <= 6; ++id) {
    fixture.icons.push_back({id, PatternedDib(16 + 8 * (id % 3), 16 + 8 * (id % 3), 4, static_cast<uint8_t>(id)), 4});
  }
  fixture.groups.push_back({1, u"", {1, 2}});
  fixture.groups.push_back({0, u"SECOND", {3, 4}});
  fixture.groups.push_back({9, u"", {2, 5, 6, 3}});
  return fixture;
}

// An NE library: group 1 holds `first` icons, group 2 (when `second` > 0)
// that many more; `orphans` icons that no group lists come last.
Bytes NeLibrary(int first, int second, int orphans) {
  static std::vector<Bytes> images;
  images.clear();
  for (int i = 0; i < first + second + orphans; ++i) {
    images.push_back(PatternedDib(16, 16, 4, static_cast<uint8_t>(0x20 + i)));
  }
  NeLibraryPlan plan;
  for (const Bytes& image : images) {
    NeLibraryIcon icon;
    icon.bytes = image.data();
    icon.size = icon.checkedSize = image.size();
    icon.entry = {16, 16, 16, 0, 1, 0, 4, 0, static_cast<uint8_t>(image.size()),
                  static_cast<uint8_t>(image.size() >> 8), 0, 0};
    plan.icons.push_back(icon);
  }
  auto group = [&](int from, int count) {
    NeLibraryGroup g;
    g.header = {0, 0, 1, 0, static_cast<uint8_t>(count), 0};
    for (int i = 0; i < count; ++i) g.icons.push_back(static_cast<size_t>(from + i));
    plan.groups.push_back(g);
  };
  group(0, first);
  if (second > 0) group(first, second);
  plan.names = {3, 'I', 'C', 'L', 1, 'a', 1, 'b', 0, 0};
  if (second == 0) plan.names = {3, 'I', 'C', 'L', 1, 'a', 0, 0};
  ThreadContext ctx;
  MemoryStream out;
  EXPECT_EQ(WriteNeLibrary(ctx, plan, out), 1);
  return StreamBytes(out);
}

class RemovalTest : public ::testing::Test {
 protected:
  void TearDown() override {
    SetFileOutputFault(nullptr);
    CloseDocument(ctx, &doc);
  }
  bool Open(const std::u16string& path) { return LoadIconDocument(ctx, doc, path) == 1; }
  RemovalResult Remove(RemovalCommand command, IconSelection selection, int64_t shown = 1) {
    RemovalRequest request;
    request.command = command;
    request.selection = std::move(selection);
    request.shownGroup = shown;
    ctx.error = 0;
    return RemoveSelection(ctx, doc, request);
  }
  ModuleResourceSet Resources(const std::u16string& path) {
    ModuleResourceSet set;
    ThreadContext reader;
    EXPECT_EQ(ReadModuleResources(reader, path, set), 1);
    return set;
  }

  TempFolder folder;
  ThreadContext ctx;
  ThreadServices services{ctx};
  IconDocument doc;
};

TEST_F(RemovalTest, IcoKeepsTheOtherImageAndItsAttributes) {
  const Bytes first = PatternedDib(16, 16, 4, 1);
  const Bytes second = PatternedDib(32, 32, 8, 2);
  for (RemovalCommand command : {RemovalCommand::kGroupList, RemovalCommand::kImagePane}) {
    const std::u16string path = folder.Write(u"two.ico", DescribedIcoFile({first, second}));
    ASSERT_TRUE(SetFileAttributesW(Wide(path), FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN));
    const DWORD attributes = GetFileAttributesW(Wide(path));
    ASSERT_TRUE(Open(path));
    ASSERT_EQ(Remove(command, {1}), kRemovalDone) << ctx.error;
    EXPECT_EQ(doc.iconCount, 1);
    EXPECT_EQ(GetFileAttributesW(Wide(path)), attributes);
    EXPECT_NE(attributes & FILE_ATTRIBUTE_READONLY, 0u);
    const Bytes file = ReadFileBytes(path);
    ASSERT_EQ(file.size(), 6u + 16 + second.size());
    EXPECT_EQ(ReadU16(file.data() + 4), 1);
    EXPECT_EQ(ReadU32(file.data() + 18), 22u);
    EXPECT_EQ(Bytes(file.begin() + 22, file.end()), second);
    // The entry: width, height, colours, planes and depth of the kept image.
    EXPECT_EQ(Bytes(file.begin() + 6, file.begin() + 14), (Bytes{32, 32, 0, 0, 1, 0, 8, 0}));
    CloseDocument(ctx, &doc);
    SetFileAttributesW(Wide(path), FILE_ATTRIBUTE_NORMAL);
  }
  EXPECT_EQ(FolderNames(folder.path()), std::vector<std::u16string>{u"two.ico"});
}

TEST_F(RemovalTest, RefusalsLeaveTheFileUntouched) {
  PeFixture oneGroup;
  oneGroup.icons = {{1, PatternedDib(16, 16, 4, 1), 4}, {2, PatternedDib(32, 32, 4, 2), 4}};
  oneGroup.groups = {{1, u"", {1, 2}}};
  struct Case {
    const char* what;
    std::u16string path;
    RemovalCommand command;
    IconSelection selection;
    int64_t shown;
    bool fileSelected;
    int message;
  };
  const Case cases[] = {
      {"only image", folder.Write(u"one.ico", DescribedIcoFile({PatternedDib(16, 16, 4, 1)})),
       RemovalCommand::kGroupList, {1}, 1, true, 19},
      {"only image, pane", folder.path() + u"one.ico", RemovalCommand::kImagePane, {1}, 1, true, 19},
      {"every image", folder.Write(u"two.ico", DescribedIcoFile({PatternedDib(16, 16, 4, 1), PatternedDib(16, 16, 8, 2)})),
       RemovalCommand::kGroupList, {2, 1}, 1, true, 20},
      {"nothing selected", folder.path() + u"two.ico", RemovalCommand::kGroupList, {}, 1, true, 7},
      {"row past the list", folder.path() + u"two.ico", RemovalCommand::kGroupList, {3}, 1, true, 7},
      {"no file row", folder.path() + u"two.ico", RemovalCommand::kImagePane, {1}, 1, false, 95},
      {"every PE icl group", BuildPeModule(folder, u"three.icl", ThreeGroups()),
       RemovalCommand::kGroupList, {1, 2, 3}, 1, true, 97},
      {"only PE icl group", BuildPeModule(folder, u"one.icl", oneGroup), RemovalCommand::kGroupList, {1}, 1, true, 21},
      {"every PE icl icon", folder.path() + u"one.icl", RemovalCommand::kImagePane, {1, 2}, 1, true, 96},
      {"every NE icl group", folder.Write(u"ne2.icl", NeLibrary(2, 1, 0)), RemovalCommand::kGroupList, {1, 2}, 1, true, 97},
      {"only NE icl group", folder.Write(u"ne1.icl", NeLibrary(2, 0, 0)), RemovalCommand::kGroupList, {1}, 1, true, 21},
      {"every NE icl icon", folder.path() + u"ne1.icl", RemovalCommand::kImagePane, {1, 2}, 1, true, 96},
      {"picture past the group", folder.path() + u"ne1.icl", RemovalCommand::kImagePane, {3}, 1, true, 7},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    ASSERT_TRUE(Open(c.path)) << ctx.error;
    const Bytes before = ReadFileBytes(c.path);
    RemovalRequest request{c.command, c.selection, c.shown, c.fileSelected};
    ctx.error = 0;
    EXPECT_EQ(RemoveSelection(ctx, doc, request), kRemovalFailed);
    EXPECT_EQ(ErrorMessage(ctx.error), c.message);
    EXPECT_EQ(ReadFileBytes(c.path), before);
    CloseDocument(ctx, &doc);
  }
}

TEST_F(RemovalTest, TheRunningProgramIsRefused) {
  wchar_t self[MAX_PATH];
  GetModuleFileNameW(nullptr, self, MAX_PATH);
  IconDocument running;
  ASSERT_TRUE(LoadBytes(ctx, running, DescribedIcoFile({PatternedDib(16, 16, 4, 1), PatternedDib(16, 16, 4, 2)})));
  running.container = kContainerIco;
  running.iconCount = 2;
  running.path = FromWide(self);
  for (wchar_t* c = self; *c; ++c) *c = static_cast<wchar_t>(towupper(*c));
  running.path = FromWide(self);
  RemovalRequest request{RemovalCommand::kGroupList, {1}, 1, true};
  EXPECT_EQ(CheckRemoval(ctx, running, request), 0);
  EXPECT_EQ(ctx.error, MakeError(39, 711));
  ctx.blocks.Release(running.base);
}

TEST_F(RemovalTest, DllLosesBothGroupsAndKeepsEverythingElse) {
  const std::u16string path = BuildPeModule(folder, u"two.dll", [] {
    PeFixture f = ThreeGroups();
    f.groups.pop_back();
    f.icons.resize(4);  // icons 5 and 6 were group 9's alone
    f.nameTables.push_back({1, std::string("\3ICL\1a\1b", 8) + '\0'});
    return f;
  }());
  ASSERT_FALSE(path.empty());
  // Resources of other kinds, names and languages beside the icons.
  HANDLE update = BeginUpdateResourceW(Wide(path), FALSE);
  ASSERT_NE(update, nullptr);
  const Bytes data = PatternedDib(8, 8, 1, 0x77);
  ASSERT_TRUE(UpdateResourceW(update, RT_RCDATA, MAKEINTRESOURCEW(5), 1033, const_cast<uint8_t*>(data.data()), 40));
  ASSERT_TRUE(UpdateResourceW(update, L"CUSTOM", L"ITEM", 1036, const_cast<uint8_t*>(data.data()), static_cast<DWORD>(data.size())));
  ASSERT_TRUE(UpdateResourceW(update, RT_RCDATA, L"NAMED", 0, const_cast<uint8_t*>(data.data()) + 3, 17));
  ASSERT_TRUE(EndUpdateResourceW(update, FALSE));
  const ModuleResourceSet before = Resources(path);
  ASSERT_TRUE(Open(path));
  ASSERT_EQ(Remove(RemovalCommand::kGroupList, {1, 2}), kRemovalDone) << ctx.error;

  // The module's own resources (its version at least) stay byte for byte;
  // the groups, their icons and the name table are gone.
  ModuleResourceSet expected;
  for (const ModuleResource& r : before) {
    const bool icons = !r.type.IsString() && (r.type.id == 3 || r.type.id == 14 || r.type.id == 301);
    if (!icons) expected.push_back(r);
  }
  ASSERT_EQ(expected.size(), 3u);
  const ModuleResourceSet after = Resources(path);
  ASSERT_EQ(after.size(), expected.size());
  for (size_t i = 0; i < after.size(); ++i) {
    EXPECT_EQ(Key(after[i]), Key(expected[i]));
    EXPECT_EQ(after[i].bytes, expected[i].bytes) << Key(after[i]);
  }
  EXPECT_EQ(FolderNames(folder.path()), std::vector<std::u16string>{u"two.dll"});
}

TEST_F(RemovalTest, TwoOfFourIconsLeaveTheOthersUnderTheSameNameAndLanguage) {
  const std::u16string path = BuildPeModule(folder, u"four.dll", ThreeGroups());
  // A fourth group in British English, named by a string.
  HANDLE update = BeginUpdateResourceW(Wide(path), FALSE);
  ASSERT_NE(update, nullptr);
  Bytes directory;
  PutU32(directory, 0, 0x00010000);
  PutU16(directory, 4, 4);
  for (int i = 0; i < 4; ++i) {
    directory.resize(6 + 14 * (i + 1), static_cast<uint8_t>(0x40 + i));
    PutU16(directory, 6 + 14 * i + 12, static_cast<uint32_t>(i + 3));
  }
  ASSERT_TRUE(UpdateResourceW(update, RT_GROUP_ICON, L"BRITISH", 2057, directory.data(), static_cast<DWORD>(directory.size())));
  ASSERT_TRUE(EndUpdateResourceW(update, FALSE));

  ASSERT_TRUE(Open(path));
  ASSERT_EQ(doc.groupCount, 4);
  // Named groups come first: BRITISH, SECOND, 1, 9. BRITISH lists icons 3,
  // 4, 5, 6; entries 2 and 4 go (icons 4 and 6): icon 4 is still group
  // SECOND's, icon 6 is still group 9's.
  ASSERT_EQ(Remove(RemovalCommand::kImagePane, {2, 4}, 1), kRemovalDone) << ctx.error;
  const ModuleResourceSet after = Resources(path);
  const ModuleResource* group = nullptr;
  int icons = 0;
  for (const ModuleResource& r : after) {
    if (r.type.id == 14 && r.name.text == u"BRITISH") group = &r;
    if (r.type.id == 3) ++icons;
  }
  ASSERT_NE(group, nullptr);
  EXPECT_EQ(group->language, 2057);
  Bytes expected(directory.begin(), directory.begin() + 6);
  PutU16(expected, 4, 2);
  expected.insert(expected.end(), directory.begin() + 6, directory.begin() + 20);
  expected.insert(expected.end(), directory.begin() + 34, directory.begin() + 48);
  EXPECT_EQ(group->bytes, expected);
  EXPECT_EQ(icons, 6);

  // Entries of group 9 (icons 2, 5, 6, 3): 5 and 6 go; 5 is still BRITISH's,
  // 6 is now listed by nobody.
  ASSERT_EQ(Remove(RemovalCommand::kImagePane, {2, 3}, 4), kRemovalDone) << ctx.error;
  std::vector<int> ids;
  for (const ModuleResource& r : Resources(path)) {
    if (r.type.id == 3) ids.push_back(r.name.id);
  }
  EXPECT_EQ(ids, (std::vector<int>{1, 2, 3, 4, 5}));
}

TEST_F(RemovalTest, ExecutableKeepsItsCharacteristics) {
  const std::u16string path = BuildPeModule(folder, u"tool.exe", ThreeGroups());
  ASSERT_EQ(WritePeCharacteristics(ctx, path, 0x0102), 1);
  ASSERT_TRUE(Open(path)) << ctx.error;
  for (RemovalCommand command : {RemovalCommand::kGroupList, RemovalCommand::kImagePane}) {
    ASSERT_EQ(Remove(command, {1}), kRemovalDone) << ctx.error;
    uint16_t value = 0;
    ASSERT_EQ(ReadPeCharacteristics(ctx, path, &value), 1);
    EXPECT_EQ(value, 0x0102);
  }
  EXPECT_EQ(doc.groupCount, 2);
}

TEST_F(RemovalTest, NeLibrariesAreRebuiltWithoutNames) {
  struct Case {
    const char* what;
    Bytes library;
    RemovalCommand command;
    IconSelection selection;
    int64_t shown;
    int64_t groups, icons;
  };
  const Case cases[] = {
      {"one of two groups", NeLibrary(2, 3, 0), RemovalCommand::kGroupList, {1}, 1, 1, 3},
      {"two of three icons", NeLibrary(3, 1, 0), RemovalCommand::kImagePane, {1, 3}, 1, 2, 2},
      {"a whole group by its icons", NeLibrary(3, 1, 0), RemovalCommand::kImagePane, {1, 2, 3}, 1, 1, 1},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    const std::u16string path = folder.Write(u"lib.icl", c.library);
    ASSERT_TRUE(Open(path)) << ctx.error;
    ASSERT_EQ(doc.namedGroups, 1);
    ASSERT_EQ(Remove(c.command, c.selection, c.shown), kRemovalDone) << ctx.error;
    EXPECT_EQ(doc.container, kContainerNe);
    EXPECT_EQ(doc.groupCount, c.groups);
    EXPECT_EQ(doc.iconCount, c.icons);
    EXPECT_EQ(doc.namedGroups, 0);
    const Bytes file = ReadFileBytes(path);
    const uint64_t names = ReadU16(file.data() + 0x66) + 0x40u;
    ASSERT_LT(names + 6, file.size());
    EXPECT_EQ(Bytes(file.begin() + names, file.begin() + names + 6), (Bytes{3, 'I', 'C', 'L', 0, 0}));
    CloseDocument(ctx, &doc);
  }
  // The image pane keeps the first and third icons of group 1 in order.
  const Bytes library = NeLibrary(3, 1, 0);
  const std::u16string path = folder.Write(u"order.icl", library);
  ASSERT_TRUE(Open(path));
  ASSERT_EQ(Remove(RemovalCommand::kImagePane, {2}, 1), kRemovalDone);
  std::vector<DocumentGroup> groups;
  ASSERT_EQ(ReadDocumentGroups(ctx, doc, groups), 1);
  ASSERT_EQ(groups.size(), 2u);
  ASSERT_EQ(groups[0].images.size(), 2u);
  EXPECT_EQ(groups[0].images[0].data[40], PatternedDib(16, 16, 4, 0x20)[40]);
  EXPECT_EQ(groups[0].images[1].data[40], PatternedDib(16, 16, 4, 0x22)[40]);
}

TEST_F(RemovalTest, OnlyNeGroupWithFurtherIconsBecomesTheEmptyLibrary) {
  const std::u16string path = folder.Write(u"orphans.icl", NeLibrary(2, 0, 1));
  ASSERT_TRUE(Open(path)) << ctx.error;
  ASSERT_EQ(doc.iconCount, 3);
  Remove(RemovalCommand::kImagePane, {1, 2}, 1);
  EXPECT_EQ(ReadFileBytes(path), EmptyNeLibrary());
}

TEST_F(RemovalTest, SixteenBitModulesCannotBeChanged) {
  const std::u16string path = folder.Write(u"old.exe", NeLibrary(2, 1, 0));
  ASSERT_TRUE(Open(path)) << ctx.error;
  ASSERT_EQ(doc.container, kContainerNe);
  const Bytes before = ReadFileBytes(path);
  EXPECT_EQ(Remove(RemovalCommand::kGroupList, {1}), kRemovalNotPossible);
  EXPECT_EQ(ReadFileBytes(path), before);
}

// Every in-place path, with each way its write can fail: the file stays
// byte for byte and no temporary file is left.
TEST_F(RemovalTest, FailedWritesLeaveTheFileWhole) {
  static FileOutputStage failing;
  struct Case {
    const char* what;
    std::u16string name;
    Bytes bytes;
    RemovalCommand command;
    IconSelection selection;
    FileOutputStage stage;
  };
  const Bytes ico = DescribedIcoFile({PatternedDib(16, 16, 4, 1), PatternedDib(32, 32, 8, 2)});
  const Bytes ne = NeLibrary(2, 2, 0);
  std::vector<Case> cases = {
      {"ico cut short", u"a.ico", ico, RemovalCommand::kGroupList, {1}, FileOutputStage::kWrite},
      {"ico not replaced", u"a.ico", ico, RemovalCommand::kImagePane, {1}, FileOutputStage::kReplace},
      {"NE cut short", u"b.icl", ne, RemovalCommand::kGroupList, {1}, FileOutputStage::kWrite},
      {"NE not replaced", u"b.icl", ne, RemovalCommand::kImagePane, {1}, FileOutputStage::kReplace},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    const std::u16string path = folder.Write(c.name, c.bytes);
    ASSERT_TRUE(SetFileAttributesW(Wide(path), FILE_ATTRIBUTE_READONLY));
    const DWORD attributes = GetFileAttributesW(Wide(path));
    ASSERT_TRUE(Open(path)) << ctx.error;
    failing = c.stage;
    SetFileOutputFault([](FileOutputStage stage) { return stage == failing; });
    EXPECT_EQ(Remove(c.command, c.selection), kRemovalFailed);
    SetFileOutputFault(nullptr);
    EXPECT_NE(ctx.error, 0);
    EXPECT_EQ(ReadFileBytes(path), c.bytes);
    EXPECT_EQ(GetFileAttributesW(Wide(path)), attributes);
    EXPECT_EQ(FolderNames(folder.path()), std::vector<std::u16string>{c.name});
    // The document was opened again from the file as it is.
    EXPECT_NE(doc.base, nullptr);
    CloseDocument(ctx, &doc);
    SetFileAttributesW(Wide(path), FILE_ATTRIBUTE_NORMAL);
    DeleteFileW(Wide(path));
  }
  for (FileOutputStage stage : {FileOutputStage::kResourceUpdate, FileOutputStage::kReplace}) {
    const std::u16string path = BuildPeModule(folder, u"c.exe", ThreeGroups());
    ASSERT_EQ(WritePeCharacteristics(ctx, path, 0x0102), 1);
    const Bytes before = ReadFileBytes(path);
    for (RemovalCommand command : {RemovalCommand::kGroupList, RemovalCommand::kImagePane}) {
      ASSERT_TRUE(Open(path)) << ctx.error;
      failing = stage;
      SetFileOutputFault([](FileOutputStage s) { return s == failing; });
      EXPECT_EQ(Remove(command, {1}), kRemovalFailed);
      SetFileOutputFault(nullptr);
      EXPECT_EQ(ReadFileBytes(path), before);
      EXPECT_EQ(FolderNames(folder.path()), std::vector<std::u16string>{u"c.exe"});
      EXPECT_EQ(doc.groupCount, 3);
      CloseDocument(ctx, &doc);
    }
    DeleteFileW(Wide(path));
  }
}

}  // namespace
}  // namespace zx
