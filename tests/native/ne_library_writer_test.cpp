#include "formats/ne_library_writer.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "core/messages.h"
#include "formats/byte_reader.h"
#include "formats/ico_module_writer.h"
#include "formats/ico_reader.h"
#include "formats/ne_module_source.h"
#include "formats/ne_reader.h"
#include "imaging/memory_stream.h"
#include "support/writer_fixture.h"

namespace zx {
namespace {

using Bytes = std::vector<uint8_t>;
using namespace zx::testing;

class NeLibraryWriterTest : public ::testing::Test {
 protected:
  IconDocument Document(const Bytes& file) {
    IconDocument doc;
    EXPECT_TRUE(LoadBytes(ctx, doc, file));
    return doc;
  }
  // Writes the selected images of an .ico file as an NE library.
  Bytes LibraryFromIco(const Bytes& ico, const IconSelection& selection,
                       int mode = kVistaKeep) {
    const IconDocument doc = Document(ico);
    NeLibraryPlan plan;
    EXPECT_EQ(PlanNeLibraryFromIco(ctx, doc, selection, mode, FakeUnpacker(), MemoryStreams(),
                                   plan),
              1);
    MemoryStream out;
    EXPECT_EQ(WriteNeLibrary(ctx, plan, out), 1);
    return StreamBytes(out);
  }
  // Writes the selected groups of an NE library as another one.
  Bytes LibraryFromNe(IconDocument& doc, const IconSelection& selection) {
    NeModuleSource source(doc);
    NeLibraryPlan plan;
    EXPECT_EQ(PlanNeLibraryFromModule(ctx, source, doc, selection, kVistaKeep, nullptr, nullptr,
                                      plan),
              1);
    MemoryStream out;
    EXPECT_EQ(WriteNeLibrary(ctx, plan, out), 1);
    return StreamBytes(out);
  }
  // Opens bytes as an NE document the way the program does.
  bool OpenNe(const Bytes& bytes, IconDocument& doc) {
    return LoadBytes(ctx, doc, bytes) && CheckNe(ctx, doc) == 1;
  }
  // Every group of an NE document: its label and its images' bytes.
  struct ReadGroup {
    std::u16string label;
    std::vector<Bytes> images;
  };
  std::vector<ReadGroup> ReadAll(IconDocument& doc) {
    std::vector<ReadGroup> groups;
    ForEachNeDocumentGroup(ctx, doc, [&](IconDocument& d, const std::u16string& label, int id,
                                         bool) {
      NeGroup group;
      if (!ReadNeGroup(ctx, d, id, NeGroupReader::kImagePane, group)) return 0;
      ReadGroup read{label, {}};
      for (const NeImage& image : group.images) {
        read.images.emplace_back(image.data, image.data + image.length);
      }
      groups.push_back(read);
      return 1;
    });
    return groups;
  }
  ThreadContext ctx;
};

TEST_F(NeLibraryWriterTest, ThreeDibsFromAnIcoFileLayOutAsExpected) {
  const Bytes a = PatternedDib(16, 16, 4, 1), b = PatternedDib(16, 16, 8, 2),
              c = PatternedDib(32, 32, 32, 3);
  const Bytes ico = DescribedIcoFile({a, b, c});
  const Bytes lib = LibraryFromIco(ico, {1, 2, 3});

  EXPECT_EQ(0, std::memcmp(lib.data(), kNeLibraryHeader.data(), 0x66));
  EXPECT_EQ(ReadU16(lib.data() + 0x80), 0);  // shift 0
  EXPECT_EQ(Bytes(lib.begin() + 0x82, lib.begin() + 0x86), (Bytes{0x0E, 0x80, 3, 0}));
  EXPECT_EQ(Bytes(lib.begin() + 0xDC, lib.begin() + 0xE2), (Bytes{3, 'I', 'C', 'L', 0, 0}));
  EXPECT_EQ(ReadU16(lib.data() + 0x66), 0xDC - 0x40);
  // Group k at 0xE2 + 20 (k - 1), each 0, 1, 1 and one entry naming icon k.
  uint64_t at = 0xE2;
  for (int k = 1; k <= 3; ++k) {
    const uint8_t* record = lib.data() + 0x8A + 12 * (k - 1);
    EXPECT_EQ(ReadU16(record), at);
    EXPECT_EQ(ReadU16(record + 2), 20);
    EXPECT_EQ(ReadU16(record + 6), 0x8000 + k);
    EXPECT_EQ(Bytes(lib.begin() + at, lib.begin() + at + 6), (Bytes{0, 0, 1, 0, 1, 0}));
    EXPECT_EQ(ReadU16(lib.data() + at + 18), k);
    at += 20;
  }
  // The entries keep the .ico's sizes, with depth and colour count derived.
  EXPECT_EQ(lib[0xE2 + 6 + 2], 16);  // 4 bits: 16 colours
  EXPECT_EQ(ReadU16(lib.data() + 0xE2 + 6 + 6), 4);
  EXPECT_EQ(lib[0xE2 + 40 + 6 + 2], 0);  // 32 bits: none
  // The icons follow the directories back to back.
  const uint8_t* iconRecord = lib.data() + 0x8A + 36 + 8;
  EXPECT_EQ(ReadU16(iconRecord), at);
  EXPECT_EQ(lib.size(), at + a.size() + b.size() + c.size());

  IconDocument doc;
  ASSERT_TRUE(OpenNe(lib, doc));
  const auto groups = ReadAll(doc);
  ASSERT_EQ(groups.size(), 3u);
  EXPECT_EQ(groups[0].images, std::vector<Bytes>{a});
  EXPECT_EQ(groups[2].images, std::vector<Bytes>{c});
}

TEST_F(NeLibraryWriterTest, ShiftGrowsWithTheTotalAndAlignsEveryResource) {
  const struct {
    uint64_t total;
    int shift;
  } table[] = {{0, 0},        {0xFFFF, 0},        {0x10000, 1},        {0x1FFFF, 1},
               {0x20000, 2},  {0x3FFFF, 2},       {0x40000, 3},        {0x3FFFFFF, 10},
               {0x4000000, -1}};
  for (const auto& row : table) {
    EXPECT_EQ(NeLibraryShiftFor(row.total), row.shift) << std::hex << row.total;
  }

  // 128 × 128 at 32 bits is just over 64 KiB: shift 1, even offsets.
  const Bytes big = PatternedDib(128, 128, 32, 4), small = PatternedDib(16, 16, 4, 5);
  const Bytes lib = LibraryFromIco(IcoFile({small, big, small}), {1, 2, 3});
  ASSERT_EQ(ReadU16(lib.data() + 0x80), 1);
  for (int k = 0; k < 6; ++k) {
    const uint8_t* record = lib.data() + 0x8A + 12 * k + (k >= 3 ? 8 : 0);
    const uint64_t offset = uint64_t{ReadU16(record)} << 1;
    EXPECT_EQ(offset % 2, 0u);
    EXPECT_GE(offset, 0xE2u);
  }
  IconDocument doc;
  ASSERT_TRUE(OpenNe(lib, doc));
  const auto groups = ReadAll(doc);
  ASSERT_EQ(groups.size(), 3u);
  EXPECT_EQ(groups[1].images[0], big);
}

TEST_F(NeLibraryWriterTest, TooLargeOrTooManyFailsBeforeWriting) {
  const Bytes tiny = PatternedDib(16, 16, 4, 1);
  NeLibraryPlan plan;
  plan.names.assign({3, 'I', 'C', 'L', 0, 0});
  plan.groups.push_back(NeLibraryGroup{{0, 0, 1, 0, 1, 0}, {0}});
  plan.icons.push_back(NeLibraryIcon{tiny.data(), 0x4000000, 0x4000000, {}});
  MemoryStream out;
  EXPECT_EQ(WriteNeLibrary(ctx, plan, out), 0);
  EXPECT_EQ(ErrorMessage(ctx.error), kMsgIclTooLarge);
  EXPECT_EQ(out.size(), 0u);

  // Ids are 0x8000 + k: past 0x7FFF they would wrap into string names.
  NeLibraryPlan many;
  many.names = plan.names;
  for (size_t k = 0; k < 0x8000; ++k) {
    many.groups.push_back(NeLibraryGroup{{0, 0, 1, 0, 1, 0}, {k}});
    many.icons.push_back(NeLibraryIcon{tiny.data(), tiny.size(), tiny.size(), {}});
  }
  EXPECT_EQ(WriteNeLibrary(ctx, many, out), 0);
  EXPECT_EQ(ErrorMessage(ctx.error), kMsgIconCountControl);
  EXPECT_EQ(out.size(), 0u);
}

TEST_F(NeLibraryWriterTest, SelectedGroupsOfANamedLibraryAreRenumberedWithTheirNames) {
  // A five-group library made through the writer, then names given to it.
  std::vector<Bytes> images;
  for (int k = 0; k < 5; ++k) images.push_back(PatternedDib(16, 16, 8, static_cast<uint8_t>(k)));
  Bytes source = LibraryFromIco(IcoFile(images), {1, 2, 3, 4, 5});
  // Replace the empty names area with five names (the file grows: rewrite it
  // through a plan so the layout stays right).
  IconDocument unnamed;
  ASSERT_TRUE(OpenNe(source, unnamed));
  NeModuleSource unnamedSource(unnamed);
  NeLibraryPlan plan;
  ASSERT_EQ(PlanNeLibraryFromModule(ctx, unnamedSource, unnamed, {1, 2, 3, 4, 5}, kVistaKeep,
                                    nullptr, nullptr, plan),
            1);
  plan.names = {3, 'I', 'C', 'L', 3, 'o', 'n', 'e', 3, 't', 'w', 'o', 5, 't', 'h', 'r', 'e',
                'e', 4, 'f', 'o', 'u', 'r', 4, 'f', 'i', 'v', 'e', 0, 0};
  MemoryStream named;
  ASSERT_EQ(WriteNeLibrary(ctx, plan, named), 1);

  IconDocument doc;
  ASSERT_TRUE(OpenNe(StreamBytes(named), doc));
  ASSERT_EQ(doc.namedGroups, 1);
  const Bytes lib = LibraryFromNe(doc, {5, 2});

  IconDocument out;
  ASSERT_TRUE(OpenNe(lib, out));
  const auto groups = ReadAll(out);
  ASSERT_EQ(groups.size(), 2u);
  EXPECT_EQ(groups[0].label, u"two");  // table order, not selection order
  EXPECT_EQ(groups[1].label, u"five");
  EXPECT_EQ(groups[0].images, std::vector<Bytes>{images[1]});
  EXPECT_EQ(groups[1].images, std::vector<Bytes>{images[4]});
  // Groups 1 and 2, icons numbered from 1.
  EXPECT_EQ(ReadU16(lib.data() + 0x8A + 6), 0x8001);
  EXPECT_EQ(ReadU16(lib.data() + 0x8A + 12 + 6), 0x8002);
  EXPECT_EQ(ReadU16(lib.data() + 0x8A + 24 + 8 + 6), 0x8001);
  const uint64_t names = ReadU16(lib.data() + 0x66) + 0x40;
  EXPECT_EQ(Bytes(lib.begin() + names, lib.begin() + names + 15),
            (Bytes{3, 'I', 'C', 'L', 3, 't', 'w', 'o', 4, 'f', 'i', 'v', 'e', 0, 0}));
}

TEST_F(NeLibraryWriterTest, SharedIconsAreWrittenOncePerGroup) {
  const Bytes a = PatternedDib(16, 16, 4, 1), b = PatternedDib(32, 32, 8, 2);
  Bytes lib = LibraryFromIco(IcoFile({a, b}), {1, 2});
  // Point group 2's only entry at icon 1, so both groups share it.
  const uint64_t group2 = ReadU16(lib.data() + 0x8A + 12);
  PutU16(lib, group2 + 6 + 12, 1);
  IconDocument doc;
  ASSERT_TRUE(OpenNe(lib, doc));

  const Bytes copy = LibraryFromNe(doc, {1, 2});
  IconDocument out;
  ASSERT_TRUE(OpenNe(copy, out));
  EXPECT_EQ(out.iconCount, 2);
  const auto groups = ReadAll(out);
  ASSERT_EQ(groups.size(), 2u);
  EXPECT_EQ(groups[0].images, std::vector<Bytes>{a});
  EXPECT_EQ(groups[1].images, std::vector<Bytes>{a});

  // The same two groups as an .ico: two entries, each with its own copy.
  NeModuleSource source(doc);
  MemoryStream ico;
  ASSERT_EQ(BuildIcoFromModule(ctx, source, {1, 2}, kVistaKeep, nullptr, nullptr, ico), 1);
  const Bytes icoBytes = StreamBytes(ico);
  ASSERT_EQ(ReadU16(icoBytes.data() + 4), 2);
  EXPECT_EQ(Bytes(icoBytes.begin() + ReadU32(icoBytes.data() + 18),
                  icoBytes.begin() + ReadU32(icoBytes.data() + 18) + a.size()),
            a);
  EXPECT_EQ(ReadU32(icoBytes.data() + 34), ReadU32(icoBytes.data() + 18) + a.size());
}

TEST_F(NeLibraryWriterTest, IcoLibraryIcoRoundTripKeepsEveryImage) {
  const Bytes a = PatternedDib(16, 16, 1, 1), b = PatternedDib(32, 32, 4, 2),
              c = PatternedDib(48, 48, 24, 3), p = PngImage(256, 256);
  Bytes ico = IcoFile({a, b, c, p});
  PutU16(ico, 6 + 48 + 6, 32);
  IconDocument doc;
  ASSERT_TRUE(OpenNe(LibraryFromIco(ico, {1, 2, 3, 4}), doc));
  NeModuleSource source(doc);
  MemoryStream out;
  ASSERT_EQ(BuildIcoFromModule(ctx, source, {1, 2, 3, 4}, kVistaKeep, nullptr, nullptr, out), 1);
  const Bytes back = StreamBytes(out);
  IconDocument read;
  ASSERT_TRUE(LoadBytes(ctx, read, back));
  ASSERT_EQ(CheckIco(ctx, read), 1);
  ASSERT_EQ(read.iconCount, 4);
  const Bytes expected[] = {a, b, c, p};
  for (int n = 1; n <= 4; ++n) {
    const uint8_t* entry = IcoEntry(ctx, read, n);
    const uint8_t* data = IcoImageData(ctx, read, entry);
    EXPECT_EQ(Bytes(data, data + IcoImageSize(ctx, read, entry)), expected[n - 1]);
  }
  // Module entries are rebuilt from the images: sizes from the DIB header,
  // 2^bits colours below 8 bits; the PNG gets 0, 0, 0 and the group's depth.
  const uint8_t* e1 = back.data() + 6;
  EXPECT_EQ(Bytes(e1, e1 + 8), (Bytes{16, 16, 2, 0, 1, 0, 1, 0}));
  const uint8_t* e4 = back.data() + 6 + 48;
  EXPECT_EQ(Bytes(e4, e4 + 8), (Bytes{0, 0, 0, 0, 1, 0, 32, 0}));
}

TEST_F(NeLibraryWriterTest, UncompressedPngsTakeTheEntryOfTheirDib) {
  const Bytes p = PngImage(32, 32);
  const Bytes lib = LibraryFromIco(IcoFile({p}), {1}, kVistaUncompress);
  IconDocument doc;
  ASSERT_TRUE(OpenNe(lib, doc));
  const auto groups = ReadAll(doc);
  ASSERT_EQ(groups.size(), 1u);
  const Bytes dib = PatternedDib(32, 32, 32, 0x55);
  EXPECT_EQ(groups[0].images, std::vector<Bytes>{dib});
  const uint64_t directory = uint64_t{ReadU16(lib.data() + 0x8A)};
  EXPECT_EQ(Bytes(lib.begin() + directory + 6, lib.begin() + directory + 14),
            (Bytes{32, 32, 0, 0, 1, 0, 32, 0}));

  NeLibraryPlan plan;
  const IconDocument ico = Document(IcoFile({p}));
  EXPECT_EQ(PlanNeLibraryFromIco(ctx, ico, {1}, kVistaUncompress, FailingUnpacker(),
                                 MemoryStreams(), plan),
            0);
  EXPECT_EQ(ErrorMessage(ctx.error), kMsgVistaUnpack);
}

TEST_F(NeLibraryWriterTest, ModuleSelectionsThatDoNotMatchFail) {
  IconDocument doc;
  Bytes lib = LibraryFromIco(IcoFile({PatternedDib(16, 16, 4, 1), PatternedDib(16, 16, 4, 2)}),
                             {1, 2});
  Bytes emptyGroup = lib;
  PutU16(emptyGroup, ReadU16(lib.data() + 0x8A) + 4, 0);
  ASSERT_TRUE(OpenNe(lib, doc));
  NeModuleSource source(doc);
  NeLibraryPlan plan;
  MemoryStream out;
  EXPECT_EQ(PlanNeLibraryFromModule(ctx, source, doc, {1, 7}, kVistaKeep, nullptr, nullptr, plan),
            0);
  EXPECT_EQ(ErrorMessage(ctx.error), kMsgResourceEnum);
  EXPECT_EQ(BuildIcoFromModule(ctx, source, {3}, kVistaKeep, nullptr, nullptr, out), 0);
  EXPECT_EQ(ErrorMessage(ctx.error), kMsgResourceEnum);

  IconDocument broken;
  ASSERT_TRUE(LoadBytes(ctx, broken, emptyGroup));
  ASSERT_EQ(CheckNe(ctx, broken), 1);
  NeModuleSource brokenSource(broken);
  MemoryStream out2;
  EXPECT_EQ(BuildIcoFromModule(ctx, brokenSource, {1}, kVistaKeep, nullptr, nullptr, out2), 0);
  EXPECT_EQ(ErrorMessage(ctx.error), kMsgGroupWithoutIcons);
}

}  // namespace
}  // namespace zx
