// What stays of a module or an NE library when icons or groups are taken out.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/messages.h"
#include "formats/byte_reader.h"
#include "formats/ne_library_writer.h"
#include "formats/ne_reader.h"
#include "formats/pe_removal_plan.h"
#include "imaging/memory_stream.h"
#include "support/writer_fixture.h"

namespace zx {
namespace {

using Bytes = std::vector<uint8_t>;
using namespace zx::testing;

PeResourceName Id(int id) { return PeResourceName{id, {}}; }
PeResourceName Text(const char16_t* text) { return PeResourceName{0, text}; }

Bytes Directory(const std::vector<int>& iconIds) {
  Bytes dir;
  PutU32(dir, 0, 0x00010000);
  PutU16(dir, 4, static_cast<uint32_t>(iconIds.size()));
  for (size_t i = 0; i < iconIds.size(); ++i) {
    const size_t at = 6 + 14 * i;
    dir.resize(at + 14, static_cast<uint8_t>(0x10 + i));  // entries told apart by their bytes
    PutU16(dir, at + 12, static_cast<uint32_t>(iconIds[i]));
  }
  return dir;
}

ModuleResource Item(PeResourceName type, PeResourceName name, Bytes bytes, uint16_t language = 0) {
  return ModuleResource{std::move(type), std::move(name), language, std::move(bytes)};
}

std::string Key(const ModuleResource& r) {
  auto text = [](const PeResourceName& n) {
    return n.IsString() ? std::string(n.text.begin(), n.text.end()) : "#" + std::to_string(n.id);
  };
  return text(r.type) + "/" + text(r.name) + "/" + std::to_string(r.language);
}

std::vector<std::string> Keys(const ModuleResourceSet& set) {
  std::vector<std::string> keys;
  for (const ModuleResource& r : set) keys.push_back(Key(r));
  return keys;
}

// Icons 1..5; group 1 lists 1 and 2, group "NAMED" lists 2 and 3, group 7
// lists 4 and 5; a version, a name table and a resource of a string type.
ModuleResourceSet Module() {
  ModuleResourceSet module;
  for (int id = 1; id <= 5; ++id) module.push_back(Item(Id(3), Id(id), PatternedDib(16, 16, 4, id)));
  module.push_back(Item(Id(14), Id(1), Directory({1, 2}), 1033));
  module.push_back(Item(Id(14), Text(u"NAMED"), Directory({2, 3})));
  module.push_back(Item(Id(14), Id(7), Directory({4, 5, 1, 3})));
  module.push_back(Item(Id(16), Id(1), Bytes{1, 2, 3, 4}, 1033));
  module.push_back(Item(Id(301), Id(1), Bytes{3, 'I', 'C', 'L', 1, 'a', 1, 'b', 1, 'c', 0}));
  module.push_back(Item(Text(u"DATA"), Text(u"BLOB"), Bytes{9, 9}, 1036));
  return module;
}

class RemovalPlanTest : public ::testing::Test {
 protected:
  ThreadContext ctx;
};

TEST_F(RemovalPlanTest, GroupsGoWithTheIconsNoKeptGroupLists) {
  struct Case {
    IconSelection groups;
    std::vector<std::string> kept;
  };
  const Case cases[] = {
      // Icon 1 and 3 stay for group 7; icon 2 goes with groups 1 and NAMED.
      {{1, 2}, {"#3/#1/0", "#3/#3/0", "#3/#4/0", "#3/#5/0", "#14/#7/0", "#16/#1/1033", "DATA/BLOB/1036"}},
      // Icon 2 is still listed by group NAMED.
      {{1}, {"#3/#1/0", "#3/#2/0", "#3/#3/0", "#3/#4/0", "#3/#5/0", "#14/NAMED/0", "#14/#7/0",
             "#16/#1/1033", "DATA/BLOB/1036"}},
      {{1, 2, 3}, {"#16/#1/1033", "DATA/BLOB/1036"}},
  };
  const ModuleResourceSet module = Module();
  for (const Case& c : cases) {
    ModuleResourceSet kept;
    ASSERT_EQ(PlanPeGroupRemoval(ctx, module, c.groups, kept), 1);
    EXPECT_EQ(Keys(kept), c.kept);
    // What stays is byte for byte what was there.
    for (const ModuleResource& r : kept) {
      for (const ModuleResource& original : module) {
        if (Key(original) == Key(r)) {
          EXPECT_EQ(r.bytes, original.bytes) << Key(r);
        }
      }
    }
  }
}

TEST_F(RemovalPlanTest, IconsOfOneGroupLeaveTheOthersInOrder) {
  const ModuleResourceSet module = Module();
  ModuleResourceSet kept;
  // Entries 2 and 3 of group 7 (icons 5 and 1); icon 1 is still group 1's.
  ASSERT_EQ(PlanPeIconRemoval(ctx, module, 3, {2, 3}, kept), 1);
  EXPECT_EQ(Keys(kept), (std::vector<std::string>{"#3/#1/0", "#3/#2/0", "#3/#3/0", "#3/#4/0",
                                                  "#14/#1/1033", "#14/NAMED/0", "#14/#7/0",
                                                  "#16/#1/1033", "DATA/BLOB/1036"}));
  const Bytes& before = module[7].bytes;
  const Bytes& after = kept[6].bytes;
  ASSERT_EQ(after.size(), 6u + 2 * 14);
  EXPECT_EQ(Bytes(after.begin(), after.begin() + 4), Bytes(before.begin(), before.begin() + 4));
  EXPECT_EQ(ReadU16(after.data() + 4), 2);
  EXPECT_EQ(Bytes(after.begin() + 6, after.begin() + 20), Bytes(before.begin() + 6, before.begin() + 20));
  EXPECT_EQ(Bytes(after.begin() + 20, after.end()), Bytes(before.begin() + 48, before.begin() + 62));
}

TEST_F(RemovalPlanTest, EveryIconOfAGroupRemovesTheGroup) {
  const ModuleResourceSet module = Module();
  ModuleResourceSet byIcons, byGroup;
  ASSERT_EQ(PlanPeIconRemoval(ctx, module, 2, {1, 2}, byIcons), 1);
  ASSERT_EQ(PlanPeGroupRemoval(ctx, module, {2}, byGroup), 1);
  EXPECT_EQ(Keys(byIcons), Keys(byGroup));
}

TEST_F(RemovalPlanTest, RefusesWhatTheModuleDoesNotHold) {
  ModuleResourceSet module = Module();
  Bytes empty = Directory({});
  Bytes cut = Directory({1, 2});
  cut.resize(cut.size() - 1);
  module.push_back(Item(Id(14), Id(8), empty));
  module.push_back(Item(Id(14), Id(9), cut));
  struct Case {
    bool icons;
    int64_t group;
    IconSelection selection;
    int64_t error;
  };
  const Case cases[] = {
      {false, 0, {6}, MakeError(kMsgGroupNames, 573)},
      {false, 0, {}, MakeError(kMsgGroupNames, 573)},
      {false, 0, {4}, MakeError(kMsgGroupWithoutIcons, 571)},
      {false, 0, {5}, MakeError(kMsgOverflow, 572)},
      {true, 6, {1}, MakeError(kMsgGroupNames, 574)},
      {true, 1, {3}, MakeError(kMsgBadIconCount, 575)},
      {true, 5, {1}, MakeError(kMsgOverflow, 572)},
  };
  for (const Case& c : cases) {
    ModuleResourceSet kept;
    ctx.error = 0;
    const int ok = c.icons ? PlanPeIconRemoval(ctx, module, c.group, c.selection, kept)
                           : PlanPeGroupRemoval(ctx, module, c.selection, kept);
    EXPECT_EQ(ok, 0);
    EXPECT_EQ(ctx.error, c.error);
  }
}

TEST_F(RemovalPlanTest, EmptyLibraryIsTheStoredBlock) {
  const Bytes empty = EmptyNeLibrary();
  ASSERT_EQ(empty.size(), kNeEmptyLibraryBytes);
  Bytes expected(kNeLibraryHeader.begin(), kNeLibraryHeader.end());
  expected[0x66] = 0xBE;
  expected[0x67] = 0x00;
  const Bytes tail = {0, 0, 0x0E, 0x80, 0, 0, 0, 0, 0, 0, 0x03, 0x80, 0, 0, 0, 0, 0, 0,
                      0, 0, 0,    0,    3, 'I', 'C', 'L', 0, 0};
  expected.insert(expected.end(), tail.begin(), tail.end());
  EXPECT_EQ(empty, expected);
  EXPECT_EQ(Bytes(empty.begin() + 0x96, empty.end()), (Bytes{3, 'I', 'C', 'L', 0, 0}));
}

TEST_F(RemovalPlanTest, DroppedLibraryIconsLeaveTheRestRenumbered) {
  const Bytes images[4] = {PatternedDib(16, 16, 4, 1), PatternedDib(32, 32, 8, 2),
                           PatternedDib(24, 24, 4, 3), PatternedDib(48, 48, 8, 4)};
  NeLibraryPlan plan;
  for (const Bytes& image : images) {
    NeLibraryIcon icon;
    icon.bytes = image.data();
    icon.size = icon.checkedSize = image.size();
    icon.entry[0] = image[4];
    plan.icons.push_back(icon);
  }
  plan.groups.resize(2);
  plan.groups[0].header = {0, 0, 1, 0, 3, 0};
  plan.groups[0].icons = {0, 1, 2};
  plan.groups[1].header = {0, 0, 1, 0, 1, 0};
  plan.groups[1].icons = {3};
  plan.names = {3, 'I', 'C', 'L', 1, 'x', 1, 'y', 0, 0};

  EXPECT_EQ(DropNeLibraryIcons(ctx, plan, 0, {4}), 0);
  EXPECT_EQ(ctx.error, MakeError(kMsgBadIconCount, 539));
  ASSERT_EQ(DropNeLibraryIcons(ctx, plan, 0, {1, 3}), 1);
  DropNeLibraryNames(plan);
  EXPECT_EQ(plan.groups[0].icons, (std::vector<size_t>{0}));
  EXPECT_EQ(plan.groups[1].icons, (std::vector<size_t>{1}));
  EXPECT_EQ(ReadU16(plan.groups[0].header.data() + 4), 1);

  MemoryStream out;
  ASSERT_EQ(WriteNeLibrary(ctx, plan, out), 1);
  IconDocument doc;
  ASSERT_TRUE(LoadBytes(ctx, doc, StreamBytes(out)));
  ASSERT_EQ(CheckNe(ctx, doc), 1);
  EXPECT_EQ(doc.groupCount, 2);
  EXPECT_EQ(doc.iconCount, 2);
  EXPECT_EQ(doc.namedGroups, 0);
  const uint8_t* kept = FindNeResource(ctx, doc, 1, kNeTypeIcon);
  ASSERT_NE(kept, nullptr);
  const uint8_t* data = NeResourceData(ctx, doc, kept);
  ASSERT_NE(data, nullptr);
  EXPECT_EQ(Bytes(data, data + images[1].size()), images[1]);
  ctx.blocks.Release(doc.base);
}

}  // namespace
}  // namespace zx
