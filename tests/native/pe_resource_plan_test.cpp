#include "formats/pe_resource_plan.h"

#include <gtest/gtest.h>

#include <vector>

#include "core/messages.h"
#include "formats/byte_reader.h"
#include "formats/ne_library_writer.h"
#include "formats/ne_module_source.h"
#include "formats/ne_reader.h"
#include "imaging/memory_stream.h"
#include "support/writer_fixture.h"

namespace zx {
namespace {

using Bytes = std::vector<uint8_t>;
using namespace zx::testing;

class PeResourcePlanTest : public ::testing::Test {
 protected:
  // An NE library of `count` one-image groups, optionally with names.
  bool NeLibrary(int count, bool named, IconDocument& doc) {
    std::vector<Bytes> images;
    for (int k = 0; k < count; ++k) images.push_back(PatternedDib(16, 16, 4, uint8_t(k)));
    IconDocument ico;
    if (!LoadBytes(ctx, ico, DescribedIcoFile(images))) return false;
    IconSelection all;
    for (int k = 1; k <= count; ++k) all.push_back(k);
    NeLibraryPlan plan;
    if (!PlanNeLibraryFromIco(ctx, ico, all, kVistaKeep, nullptr, nullptr, plan)) return false;
    if (named) {
      plan.names = {3, 'I', 'C', 'L'};
      for (int k = 1; k <= count; ++k) {
        plan.names.insert(plan.names.end(), {2, 'n', uint8_t('0' + k)});
      }
      plan.names.insert(plan.names.end(), {0, 0});
    }
    MemoryStream out;
    if (!WriteNeLibrary(ctx, plan, out)) return false;
    library = StreamBytes(out);
    return LoadBytes(ctx, doc, library) && CheckNe(ctx, doc) == 1;
  }
  static std::vector<int> Names(const PeResourcePlan& plan, int type) {
    std::vector<int> names;
    for (const PeResource& r : plan.resources) {
      if (r.type == type) names.push_back(r.name.id);
    }
    return names;
  }
  static const PeResource* Group(const PeResourcePlan& plan, int id) {
    for (const PeResource& r : plan.resources) {
      if (r.type == kPeTypeGroup && r.name.id == id) return &r;
    }
    return nullptr;
  }
  ThreadContext ctx;
  Bytes library;
};

TEST_F(PeResourcePlanTest, LayoutAndKindChecks) {
  const struct {
    int layout, kind, result;
  } table[] = {{1, 3, 1}, {2, 3, 1}, {1, 2, 1}, {2, 2, 1}, {5, 2, 1}, {6, 2, 1},
               {5, 3, 0}, {6, 3, 0}, {3, 2, 0}, {1, 4, 0}, {0, 2, 0}};
  for (const auto& row : table) {
    ctx.error = 0;
    EXPECT_EQ(CheckPeLayout(ctx, row.layout, row.kind), row.result)
        << row.layout << " " << row.kind;
    EXPECT_EQ(ErrorMessage(ctx.error), row.result ? 0 : kMsgBadParameter);
  }
}

TEST_F(PeResourcePlanTest, IcoStreamGivesOneGroupOrAGroupPerIcon) {
  const Bytes a = PatternedDib(16, 16, 4, 1), b = PatternedDib(32, 32, 8, 2),
              c = PatternedDib(48, 48, 32, 3);
  const Bytes ico = DescribedIcoFile({a, b, c});
  MemoryStream stream;
  ASSERT_TRUE(stream.Write(ctx, ico.data(), ico.size(), 1));

  PeResourcePlan perIcon;
  ASSERT_EQ(PlanPeFromIcoStream(ctx, stream, kPeGroupPerIcon, perIcon), 1);
  EXPECT_EQ(Names(perIcon, kPeTypeGroup), (std::vector<int>{1, 2, 3}));
  EXPECT_EQ(Names(perIcon, kPeTypeIcon), (std::vector<int>{1, 2, 3}));
  for (int k = 1; k <= 3; ++k) {
    const PeResource* group = Group(perIcon, k);
    ASSERT_NE(group, nullptr);
    ASSERT_EQ(group->bytes.size(), 20u);
    EXPECT_EQ(Bytes(group->bytes.begin(), group->bytes.begin() + 6), (Bytes{0, 0, 1, 0, 1, 0}));
    EXPECT_EQ(Bytes(group->bytes.begin() + 6, group->bytes.begin() + 18),
              Bytes(ico.begin() + 6 + 16 * (k - 1), ico.begin() + 18 + 16 * (k - 1)));
    EXPECT_EQ(ReadU16(group->bytes.data() + 18), k);
  }
  EXPECT_TRUE(perIcon.nameTable.empty());

  PeResourcePlan one;
  ASSERT_EQ(PlanPeFromIcoStream(ctx, stream, kPeOneGroupIcl, one), 1);
  EXPECT_EQ(Names(one, kPeTypeGroup), (std::vector<int>{1}));
  const PeResource* group = Group(one, 1);
  ASSERT_EQ(group->bytes.size(), 6u + 14 * 3);
  EXPECT_EQ(ReadU16(group->bytes.data() + 4), 3);
  for (int k = 1; k <= 3; ++k) EXPECT_EQ(ReadU16(group->bytes.data() + 6 + 14 * k - 2), k);
  const PeResource& firstIcon = one.resources[1];
  EXPECT_EQ(firstIcon.bytes, a);
}

TEST_F(PeResourcePlanTest, IcoStreamFailures) {
  Bytes cursor = DescribedIcoFile({PatternedDib(16, 16, 4, 1)});
  PutU32(cursor, 0, 0x00020000);
  Bytes empty = DescribedIcoFile({PatternedDib(16, 16, 4, 1)});
  PutU16(empty, 4, 0);
  Bytes cut = DescribedIcoFile({PatternedDib(16, 16, 4, 1)});
  cut.resize(cut.size() - 5);
  const struct {
    const char* name;
    Bytes bytes;
    int message;
  } cases[] = {{"cursor", cursor, kMsgHeaderIntegrity},
               {"no image", empty, kMsgBadIconCount},
               {"image cut short", cut, kMsgOverflow}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    MemoryStream stream;
    ASSERT_TRUE(stream.Write(ctx, c.bytes.data(), c.bytes.size(), 1));
    PeResourcePlan plan;
    EXPECT_EQ(PlanPeFromIcoStream(ctx, stream, kPeOneGroup, plan), 0);
    EXPECT_EQ(ErrorMessage(ctx.error), c.message);
  }
}

TEST_F(PeResourcePlanTest, NeSourceIsRenumberedWithItsSelectedNames) {
  IconDocument doc;
  ASSERT_TRUE(NeLibrary(10, true, doc));
  NeModuleSource source(doc);
  PeResourcePlan plan;
  ASSERT_EQ(PlanPeCopy(ctx, source, doc, {9, 5}, kVistaKeep, PeCopyNaming::kRenumber, nullptr,
                       nullptr, plan),
            1);
  EXPECT_EQ(Names(plan, kPeTypeGroup), (std::vector<int>{1, 2}));
  EXPECT_EQ(Names(plan, kPeTypeIcon), (std::vector<int>{1, 2}));
  // Entries keep the NE values with the new ids.
  const PeResource* second = Group(plan, 2);
  ASSERT_NE(second, nullptr);
  EXPECT_EQ(second->bytes[6 + 2], 16);
  EXPECT_EQ(ReadU16(second->bytes.data() + 6 + 12), 2);
  EXPECT_EQ(plan.nameTable, (Bytes{3, 'I', 'C', 'L', 2, 'n', '5', 2, 'n', '9', 0}));
}

TEST_F(PeResourcePlanTest, KeptNamesAndRebuiltEntries) {
  IconDocument doc;
  ASSERT_TRUE(NeLibrary(3, false, doc));
  NeModuleSource source(doc);
  PeResourcePlan plan;
  ASSERT_EQ(PlanPeCopy(ctx, source, doc, {1, 3}, kVistaKeep, PeCopyNaming::kKeepSourceNames,
                       nullptr, nullptr, plan),
            1);
  EXPECT_EQ(Names(plan, kPeTypeGroup), (std::vector<int>{1, 3}));
  EXPECT_EQ(Names(plan, kPeTypeIcon), (std::vector<int>{1, 3}));
  const PeResource* group = Group(plan, 3);
  ASSERT_NE(group, nullptr);
  EXPECT_EQ(Bytes(group->bytes.begin() + 6, group->bytes.begin() + 14),
            (Bytes{16, 16, 16, 0, 1, 0, 4, 0}));
  EXPECT_TRUE(plan.nameTable.empty());

  PeResourcePlan missing;
  EXPECT_EQ(PlanPeCopy(ctx, source, doc, {2, 4}, kVistaKeep, PeCopyNaming::kKeepSourceNames,
                       nullptr, nullptr, missing),
            0);
  EXPECT_EQ(ErrorMessage(ctx.error), kMsgResourceEnum);
}

TEST_F(PeResourcePlanTest, UncompressedPngTakesTheEntryOfItsDib) {
  IconDocument ico;
  ASSERT_TRUE(LoadBytes(ctx, ico, DescribedIcoFile({PngImage(64, 64)})));
  NeLibraryPlan nePlan;
  ASSERT_EQ(PlanNeLibraryFromIco(ctx, ico, {1}, kVistaKeep, nullptr, nullptr, nePlan), 1);
  MemoryStream out;
  ASSERT_EQ(WriteNeLibrary(ctx, nePlan, out), 1);
  library = StreamBytes(out);
  IconDocument doc;
  ASSERT_TRUE(LoadBytes(ctx, doc, library));
  ASSERT_EQ(CheckNe(ctx, doc), 1);
  NeModuleSource source(doc);
  PeResourcePlan plan;
  ASSERT_EQ(PlanPeCopy(ctx, source, doc, {1}, kVistaUncompress, PeCopyNaming::kKeepSourceNames,
                       FakeUnpacker(), MemoryStreams(), plan),
            1);
  const PeResource* group = Group(plan, 1);
  ASSERT_NE(group, nullptr);
  EXPECT_EQ(Bytes(group->bytes.begin() + 6, group->bytes.begin() + 14),
            (Bytes{64, 64, 0, 0, 1, 0, 32, 0}));
  EXPECT_EQ(plan.resources[0].bytes, PatternedDib(64, 64, 32, 0x55));
}

}  // namespace
}  // namespace zx
