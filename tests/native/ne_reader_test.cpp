#include "formats/ne_reader.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

#include "core/messages.h"
#include "core/thread_context.h"
#include "formats/byte_reader.h"

namespace zx {
namespace {

using Bytes = std::vector<uint8_t>;

// ---- Little builders for the images and the NE file -------------------------

void AppendBigEndian(Bytes& out, uint32_t value) {
  for (int shift = 24; shift >= 0; shift -= 8) out.push_back(static_cast<uint8_t>(value >> shift));
}

void AppendChunk(Bytes& out, const char* type, size_t length, uint8_t fill) {
  AppendBigEndian(out, static_cast<uint32_t>(length));
  out.insert(out.end(), type, type + 4);
  out.insert(out.end(), length, fill);
  AppendBigEndian(out, 0);  // CRC, not checked by the reader
}

Bytes Png(uint32_t width, uint32_t height, size_t idatSize = 30, bool withIend = true) {
  Bytes png = {0x89, 0x50, 0x4E, 0x47, 0x0D, 0x0A, 0x1A, 0x0A};
  AppendBigEndian(png, 13);
  png.insert(png.end(), {'I', 'H', 'D', 'R'});
  AppendBigEndian(png, width);
  AppendBigEndian(png, height);
  png.insert(png.end(), {8, 6, 0, 0, 0});
  AppendBigEndian(png, 0);
  AppendChunk(png, "IDAT", idatSize, 0x77);
  if (withIend) AppendChunk(png, "IEND", 0, 0);
  return png;
}

// A DIB icon image: header, colour table, colour rows, mask rows.
Bytes Dib(int width, int height, int bitCount) {
  Bytes dib(40, 0);
  WriteU32(dib.data(), 40);
  WriteU32(dib.data() + 4, static_cast<uint32_t>(width));
  WriteU32(dib.data() + 8, static_cast<uint32_t>(2 * height));
  WriteU16(dib.data() + 12, 1);
  WriteU16(dib.data() + 14, static_cast<uint16_t>(bitCount));
  const size_t palette = bitCount <= 8 ? 4u << bitCount : 0;
  const size_t colourRow = ((width * bitCount + 31) / 32) * 4;
  const size_t maskRow = ((width + 31) / 32) * 4;
  dib.resize(40 + palette + (colourRow + maskRow) * height, 0x3C);
  return dib;
}

struct TestGroup {
  int id;
  std::vector<int> iconIds;
  std::vector<int> bitCounts;  // one per icon: the directory's bit count
  std::string name;
};

struct TestIcon {
  int id;
  Bytes bytes;
};

// An NE file laid out like an icon library: MZ header, NE header at 0x40,
// resource table at 0x80 (group type, icon type, closing 0, names area), then
// group directories and images, each at a multiple of the alignment unit.
struct NeFile {
  int shift = 4;
  std::vector<TestGroup> groups;
  std::vector<TestIcon> icons;
  bool withNames = true;
  bool namesEndWord = true;  // the 16-bit 0 that closes the names area
  bool padEnd = true;        // round the file up to the alignment unit

  static constexpr size_t kTable = 0x80;
  static constexpr size_t kFirstType = kTable + 2;
  size_t IconTypeEntry() const { return kFirstType + (groups.empty() ? 0 : 8 + 12 * groups.size()); }
  static size_t GroupResourceEntry(size_t i) { return kFirstType + 8 + 12 * i; }
  size_t IconResourceEntry(size_t i) const { return IconTypeEntry() + 8 + 12 * i; }

  Bytes Build() const {
    Bytes file(kTable, 0);
    file[0] = 'M';
    file[1] = 'Z';
    WriteU32(&file[60], 0x40);
    file[0x40] = 'N';
    file[0x41] = 'E';
    WriteU16(&file[0x40 + 36], 0x40);

    Put16(file, static_cast<uint16_t>(shift));
    if (!groups.empty()) PutTypeEntry(file, 14, groups.size());
    if (!icons.empty()) PutTypeEntry(file, 3, icons.size());
    Put16(file, 0);
    if (withNames) {
      file.insert(file.end(), {3, 'I', 'C', 'L'});
      for (const TestGroup& g : groups) {
        file.push_back(static_cast<uint8_t>(g.name.size()));
        file.insert(file.end(), g.name.begin(), g.name.end());
      }
      file.push_back(0);
      Put16(file, namesEndWord ? 0 : 0xFFFF);
    }

    for (size_t i = 0; i < groups.size(); ++i) {
      PlaceResource(file, GroupResourceEntry(i), groups[i].id, GroupDirectory(groups[i]));
    }
    for (size_t i = 0; i < icons.size(); ++i) {
      PlaceResource(file, IconResourceEntry(i), icons[i].id, icons[i].bytes);
    }
    if (padEnd) file.resize(RoundUp(file.size()), 0);
    return file;
  }

  size_t RoundUp(size_t n) const {
    const size_t unit = size_t{1} << shift;
    return (n + unit - 1) / unit * unit;
  }

 private:
  static void Put16(Bytes& file, uint16_t value) {
    file.push_back(static_cast<uint8_t>(value));
    file.push_back(static_cast<uint8_t>(value >> 8));
  }
  static void PutTypeEntry(Bytes& file, int type, size_t count) {
    Put16(file, static_cast<uint16_t>(0x8000 | type));
    Put16(file, static_cast<uint16_t>(count));
    file.insert(file.end(), 4 + 12 * count, 0);  // reserved + entries, filled later
  }
  Bytes GroupDirectory(const TestGroup& g) const {
    Bytes dir = {0, 0, 1, 0, static_cast<uint8_t>(g.iconIds.size()), 0};
    for (size_t i = 0; i < g.iconIds.size(); ++i) {
      Bytes entry(14, 0);
      WriteU16(&entry[4], 1);
      WriteU16(&entry[6], static_cast<uint16_t>(g.bitCounts[i]));
      WriteU16(&entry[12], static_cast<uint16_t>(g.iconIds[i]));
      dir.insert(dir.end(), entry.begin(), entry.end());
    }
    return dir;
  }
  void PlaceResource(Bytes& file, size_t entry, int id, const Bytes& data) const {
    const size_t at = RoundUp(file.size());
    file.resize(at, 0);
    file.insert(file.end(), data.begin(), data.end());
    WriteU16(&file[entry], static_cast<uint16_t>(at >> shift));
    WriteU16(&file[entry + 2], static_cast<uint16_t>(RoundUp(data.size()) >> shift));
    WriteU16(&file[entry + 4], 0x1C30);
    WriteU16(&file[entry + 6], static_cast<uint16_t>(0x8000 | id));
  }
};

// Two named groups: group 1 holds a 32-bit DIB and a PNG, group 2 a 4-bit DIB.
NeFile TwoGroupLibrary(int shift) {
  NeFile ne;
  ne.shift = shift;
  ne.groups = {{1, {1, 2}, {32, 32}, "Folder"}, {2, {3}, {4}, "Disk"}};
  ne.icons = {{1, Dib(16, 16, 32)}, {2, Png(48, 48, 41)}, {3, Dib(32, 32, 4)}};
  return ne;
}

// ---- Fixture: the bytes sit in a registered block, as the loader leaves them --

class NeReaderTest : public ::testing::Test {
 protected:
  void Load(const Bytes& bytes) {
    doc = IconDocument();
    doc.base = ctx.blocks.Allocate(ctx, static_cast<int64_t>(bytes.size()));
    ASSERT_NE(doc.base, nullptr);
    std::memcpy(doc.base, bytes.data(), bytes.size());
    doc.size = static_cast<int64_t>(bytes.size());
    doc.lastByte = doc.base + doc.size - 1;
  }
  int LoadAndCheck(const Bytes& bytes) {
    Load(bytes);
    return CheckNe(ctx, doc);
  }
  void ExpectError(int message, int site) {
    EXPECT_EQ(ErrorMessage(ctx.error), message);
    EXPECT_EQ(ErrorSite(ctx.error), site);
  }
  void ExpectReleased() {
    EXPECT_EQ(doc.base, nullptr);
    EXPECT_EQ(doc.lastByte, nullptr);
    EXPECT_EQ(ctx.blocks.LiveCount(), 0u);
  }

  struct Visit {
    std::u16string label;
    int id;
    bool named;
  };
  std::vector<Visit> Groups(int (*pass)(ThreadContext&, IconDocument&, const NeGroupCallback&),
                            int expectedResult = 1) {
    std::vector<Visit> visits;
    const int result = pass(ctx, doc, [&](IconDocument&, const std::u16string& label, int id, bool named) {
      visits.push_back({label, id, named});
      return 1;
    });
    EXPECT_EQ(result, expectedResult);
    return visits;
  }

  ThreadContext ctx;
  IconDocument doc;
};

// ---- CheckNe: the header checks -----------------------------------------------

struct HeaderCase {
  const char* name;
  Bytes bytes;
  int message;
  int site;
};

Bytes Patched(Bytes bytes, size_t at, std::initializer_list<uint8_t> values) {
  for (uint8_t v : values) bytes.at(at++) = v;
  return bytes;
}

TEST_F(NeReaderTest, HeaderChecksFailWithTheirMessageAndReleaseTheBuffer) {
  const Bytes good = TwoGroupLibrary(4).Build();
  Bytes mz64(64, 0);
  mz64[0] = 'M';
  mz64[1] = 'Z';
  Bytes mz65 = mz64;
  mz65.push_back(0);
  Bytes shortNe = Patched(good, 60, {0x00, 0x01, 0, 0});  // NE header at 0x100
  shortNe.resize(0x100 + 64);
  Bytes shortTable = good;
  shortTable.resize(0x80 + 26);  // the table's 26 bytes end one past the buffer

  const HeaderCase cases[] = {
      {"one byte", Bytes{'M'}, kMsgOverflow, 36},
      {"no MZ", Patched(good, 0, {'Z', 'M'}), kMsgNoMzSignature, 1},
      {"64-byte MZ file", mz64, kMsgOverflow, 37},
      {"65-byte MZ file reaches the header offset", mz65, kMsgNeBadHeaderOffset, 1},
      {"header offset past the end", Patched(good, 60, {0xFF, 0xFF, 0, 0}), kMsgOverflow, 38},
      {"NE header cut short", shortNe, kMsgOverflow, 39},
      {"no NE signature", Patched(good, 0x40, {'L', 'E'}), kMsgNoOs2Signature, 1},
      {"resource table offset 0", Patched(good, 0x40 + 36, {0, 0}), kMsgNeNullResourceTable, 1},
      {"resource table past the end", shortTable, kMsgOverflow, 40},
      {"alignment shift 11", Patched(good, 0x80, {11, 0}), kMsgBadFileFormat, 72},
  };
  for (const HeaderCase& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(LoadAndCheck(c.bytes), 0);
    ExpectError(c.message, c.site);
    ExpectReleased();
  }
}

TEST_F(NeReaderTest, MissingBufferIsANullPointer) {
  EXPECT_EQ(CheckNe(ctx, doc), 0);
  ExpectError(kMsgNullPointer, 38);
}

// ---- CheckNe: the resource checks ---------------------------------------------

TEST_F(NeReaderTest, ValidLibrarySetsTheDocumentFields) {
  NeFile ne = TwoGroupLibrary(4);
  ASSERT_EQ(LoadAndCheck(ne.Build()), 1);
  EXPECT_EQ(ctx.error, 0);
  EXPECT_EQ(doc.container, kContainerNe);
  EXPECT_EQ(doc.neHeaderOffset, 0x40);
  EXPECT_EQ(doc.resourceTableOffset, 0x40);
  EXPECT_EQ(doc.alignShift, 4);
  EXPECT_EQ(doc.firstTypeEntry, doc.base + 0x82);
  EXPECT_EQ(doc.groupCount, 2);
  EXPECT_EQ(doc.iconCount, 3);
  EXPECT_EQ(doc.namedGroups, 1);
  EXPECT_EQ(doc.groupNames, std::u16string(u"\x03ICL\x06" u"Folder\x04" u"Disk"));
}

TEST_F(NeReaderTest, FileWithoutUsableGroupGivesFourAndReleasesTheBuffer) {
  NeFile noGroupType = TwoGroupLibrary(4);
  noGroupType.groups.clear();
  noGroupType.withNames = false;

  const NeFile library = TwoGroupLibrary(4);
  // The group type entry with a count of 0 (its entries become the next type).
  Bytes emptyGroupType = Patched(library.Build(), NeFile::kFirstType + 2, {0, 0});
  // A type id without the high bit stops the search before the group type.
  Bytes unnumberedType = Patched(library.Build(), NeFile::kFirstType, {0x0E, 0x00});

  const HeaderCase cases[] = {
      {"no group type", noGroupType.Build(), kMsgNoIconGroups, 3},
      {"group type with no entries", emptyGroupType, kMsgIclBadIconCount, 6},
      {"type id without the high bit", unnumberedType, kMsgNoIconGroups, 3},
  };
  for (const HeaderCase& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(LoadAndCheck(c.bytes), 4);
    ExpectError(c.message, c.site);
    ExpectReleased();
  }
}

TEST_F(NeReaderTest, GroupWithDataOutsideTheFileFailsTheCheck) {
  NeFile ne = TwoGroupLibrary(4);
  Bytes bytes = ne.Build();
  WriteU16(&bytes[ne.GroupResourceEntry(1)], 0xFFF0);  // data offset far past the end
  EXPECT_EQ(LoadAndCheck(bytes), 0);
  ExpectError(kMsgNoIconGroup, 13);
  ExpectReleased();
}

TEST_F(NeReaderTest, FileWithGroupsButNoIconTypeHasNoIcon) {
  NeFile ne = TwoGroupLibrary(4);
  ne.icons.clear();
  EXPECT_EQ(LoadAndCheck(ne.Build()), 0);
  ExpectError(kMsgNoIcon, 15);
  ExpectReleased();
}

// ---- Reading groups and images at every alignment ------------------------------

class NeAlignmentTest : public NeReaderTest, public ::testing::WithParamInterface<int> {};

TEST_P(NeAlignmentTest, GroupsAndImagesReadBackAsWritten) {
  const NeFile ne = TwoGroupLibrary(GetParam());
  const Bytes bytes = ne.Build();
  ASSERT_EQ(LoadAndCheck(bytes), 1);
  ASSERT_EQ(doc.alignShift, GetParam());

  const std::vector<Visit> visits = Groups(ForEachNeDocumentGroup);
  ASSERT_EQ(visits.size(), 2u);
  EXPECT_EQ(visits[0].label, u"Folder");
  EXPECT_EQ(visits[1].label, u"Disk");
  EXPECT_TRUE(visits[0].named);

  for (size_t g = 0; g < ne.groups.size(); ++g) {
    NeGroup group;
    ASSERT_EQ(ReadNeGroup(ctx, doc, visits[g].id, NeGroupReader::kThumbnail, group), 1);
    ASSERT_EQ(group.count, static_cast<int>(ne.groups[g].iconIds.size()));
    for (size_t i = 0; i < group.images.size(); ++i) {
      const NeImage& image = group.images[i];
      const TestIcon& icon = ne.icons[ne.groups[g].iconIds[i] - 1];
      SCOPED_TRACE("icon " + std::to_string(icon.id));
      EXPECT_EQ(image.iconId, icon.id);
      ASSERT_NE(image.data, nullptr);
      EXPECT_EQ(std::memcmp(image.data, icon.bytes.data(), icon.bytes.size()), 0);
      if (image.png) {
        // Measured by its chunks: the padding to the alignment unit is left out.
        EXPECT_EQ(image.length, static_cast<int64_t>(icon.bytes.size()));
      } else {
        EXPECT_EQ(image.length, static_cast<int64_t>(ne.RoundUp(icon.bytes.size())));
      }
    }
  }
  EXPECT_EQ(doc.hasPng, 1);
}

INSTANTIATE_TEST_SUITE_P(Shifts, NeAlignmentTest, ::testing::Values(0, 4, 9));

TEST_F(NeReaderTest, ImagesGiveTheirSizeAndDepth) {
  ASSERT_EQ(LoadAndCheck(TwoGroupLibrary(4).Build()), 1);
  NeGroup group;
  ASSERT_EQ(ReadNeGroup(ctx, doc, 1, NeGroupReader::kImagePane, group), 1);
  ASSERT_EQ(group.images.size(), 2u);
  const NeImage& dib = group.images[0];
  EXPECT_FALSE(dib.png);
  EXPECT_EQ(dib.width, 16);
  EXPECT_EQ(dib.height, 16);
  EXPECT_EQ(dib.bitCount, 32);
  const NeImage& png = group.images[1];
  EXPECT_TRUE(png.png);
  EXPECT_EQ(png.width, 48);
  EXPECT_EQ(png.height, 48);
  EXPECT_EQ(png.bitCount, 32);  // from the group entry
  EXPECT_EQ(png.directoryEntry, group.directory + 6 + 14);
  EXPECT_EQ(doc.hasPng, 0);  // only the thumbnail reader marks the document
}

TEST_F(NeReaderTest, LastResourceLengthStopsAtTheEndOfTheFile) {
  NeFile ne;
  ne.shift = 9;
  ne.padEnd = false;
  ne.groups = {{1, {1}, {4}, "A"}};
  const Bytes dib = Dib(16, 16, 4);  // 296 bytes, stored as one 512-byte unit
  ne.icons = {{1, dib}};
  ASSERT_EQ(LoadAndCheck(ne.Build()), 1);
  const uint8_t* entry = FindNeResource(ctx, doc, 1, kNeTypeIcon);
  ASSERT_NE(entry, nullptr);
  EXPECT_EQ(NeResourceLength(ctx, doc, entry), static_cast<int64_t>(dib.size()));
}

// ---- ICL names area ------------------------------------------------------------

TEST_F(NeReaderTest, NamesAreaWithoutItsClosingWordFallsBackToNumberLabels) {
  NeFile ne = TwoGroupLibrary(4);
  ne.groups[0].id = 7;
  ne.groups[1].id = 0x1234;
  ne.namesEndWord = false;
  ASSERT_EQ(LoadAndCheck(ne.Build()), 1);
  EXPECT_EQ(doc.namedGroups, 0);
  EXPECT_TRUE(doc.groupNames.empty());

  const std::vector<Visit> visits = Groups(ForEachNeDocumentGroup);
  ASSERT_EQ(visits.size(), 2u);
  EXPECT_EQ(visits[0].label, u"#7");
  EXPECT_EQ(visits[1].label, u"#4660");
  EXPECT_FALSE(visits[0].named);

  // The named pass itself refuses the area at its end.
  Groups(ForEachNeNamedGroup, 0);
  ExpectError(kMsgBadNamesEnd, 1);
}

TEST_F(NeReaderTest, NameStartingWithByte3GivesAnEmptyLabel) {
  NeFile ne = TwoGroupLibrary(4);
  ne.groups[0].name = "\x03" "abc";
  ASSERT_EQ(LoadAndCheck(ne.Build()), 1);
  ASSERT_EQ(doc.namedGroups, 1);
  const std::vector<Visit> visits = Groups(ForEachNeNamedGroup);
  ASSERT_EQ(visits.size(), 2u);
  EXPECT_EQ(visits[0].label, u"");
  EXPECT_EQ(visits[1].label, u"Disk");
}

TEST_F(NeReaderTest, BrokenNamesAreasFailTheNamedPass) {
  const NeFile ne = TwoGroupLibrary(4);
  const size_t names = ne.IconTypeEntry() + 8 + 12 * ne.icons.size() + 2;
  const size_t secondName = names + 4 + 1 + ne.groups[0].name.size();
  const size_t endByte = secondName + 1 + ne.groups[1].name.size();

  const HeaderCase cases[] = {
      {"no ICL tag", Patched(ne.Build(), names + 1, {'X'}), kMsgNoGroupNames, 1},
      {"first name empty", Patched(ne.Build(), names + 4, {0}), kMsgNoGroupNames, 2},
      {"later name empty", Patched(ne.Build(), secondName, {0}), kMsgBadFileFormat, 29},
      {"no 0 after the names", Patched(ne.Build(), endByte, {'x'}), kMsgGroupIdLacking, 1},
  };
  for (const HeaderCase& c : cases) {
    SCOPED_TRACE(c.name);
    ASSERT_EQ(LoadAndCheck(c.bytes), 1);
    EXPECT_EQ(doc.namedGroups, 0);
    Groups(ForEachNeNamedGroup, 0);
    ExpectError(c.message, c.site);
  }
}

TEST_F(NeReaderTest, ModuleWithoutNamesAreaIsPlain) {
  NeFile ne = TwoGroupLibrary(0);
  ne.withNames = false;
  ASSERT_EQ(LoadAndCheck(ne.Build()), 1);
  EXPECT_EQ(doc.namedGroups, 0);
  Groups(ForEachNeNamedGroup, 0);
  ExpectError(kMsgNoGroupNames, 1);
}

// ---- Finding types and resources ----------------------------------------------

TEST_F(NeReaderTest, FindNeTypeStopsAtATypeIdWithoutTheHighBit) {
  const NeFile ne = TwoGroupLibrary(4);
  ASSERT_EQ(LoadAndCheck(ne.Build()), 1);
  EXPECT_EQ(FindNeType(ctx, doc, doc.firstTypeEntry, 3), doc.base + ne.IconTypeEntry());

  WriteU16(doc.base + ne.IconTypeEntry(), 0x0003);
  EXPECT_EQ(FindNeType(ctx, doc, doc.firstTypeEntry, 3), nullptr);
  ExpectError(kMsgResourceFind, 18);
  // The closing 0 ends a search for a missing type the same way.
  EXPECT_EQ(FindNeType(ctx, doc, doc.firstTypeEntry, 5), nullptr);
  ExpectError(kMsgResourceFind, 18);

  WriteU16(doc.base + NeFile::kFirstType + 2, 0);
  EXPECT_EQ(FindNeType(ctx, doc, doc.firstTypeEntry, 3), nullptr);
  ExpectError(kMsgBadFileFormat, 42);
}

TEST_F(NeReaderTest, FindNeTypeRunningOffTheBufferIsAnOverflow) {
  NeFile ne = TwoGroupLibrary(4);
  Bytes bytes = ne.Build();
  WriteU16(&bytes[NeFile::kFirstType + 2], 0x7FFF);  // skips far past the end
  Load(bytes);
  EXPECT_EQ(FindNeType(ctx, doc, doc.base + NeFile::kFirstType, 3), nullptr);
  ExpectError(kMsgOverflow, 78);
}

TEST_F(NeReaderTest, FindNeResourceClearsTheHighBitOfComparedIds) {
  const NeFile ne = TwoGroupLibrary(4);
  ASSERT_EQ(LoadAndCheck(ne.Build()), 1);
  // CheckNe looked up every group; the icon ids are still untouched.
  EXPECT_EQ(ReadU16(doc.base + ne.GroupResourceEntry(1) + 6), 2);
  for (size_t i = 0; i < 3; ++i) EXPECT_EQ(ReadU16(doc.base + ne.IconResourceEntry(i) + 6), 0x8001 + i);

  ctx.error = MakeError(kMsgOverflow, 1);
  const uint8_t* found = FindNeResource(ctx, doc, 0x8002, kNeTypeIcon);
  EXPECT_EQ(found, doc.base + ne.IconResourceEntry(1));
  EXPECT_EQ(ctx.error, 0);
  EXPECT_EQ(ReadU16(doc.base + ne.IconResourceEntry(0) + 6), 1);
  EXPECT_EQ(ReadU16(doc.base + ne.IconResourceEntry(1) + 6), 2);
  EXPECT_EQ(ReadU16(doc.base + ne.IconResourceEntry(2) + 6), 0x8003);

  EXPECT_EQ(FindNeResource(ctx, doc, 9, kNeTypeIcon), nullptr);
  ExpectError(kMsgIdNotFound, 1);
  EXPECT_EQ(FindNeResource(ctx, doc, 1, 5), nullptr);
  ExpectError(kMsgIdNotFound, 1);
}

TEST_F(NeReaderTest, ResourceDataAndLengthStayInsideTheBuffer) {
  const NeFile ne = TwoGroupLibrary(4);
  ASSERT_EQ(LoadAndCheck(ne.Build()), 1);
  uint8_t* entry = FindNeResource(ctx, doc, 3, kNeTypeIcon);
  ASSERT_NE(entry, nullptr);

  WriteU16(entry, static_cast<uint16_t>(doc.size >> 4));  // data starts past the last byte
  EXPECT_EQ(NeResourceData(ctx, doc, entry), nullptr);
  ExpectError(kMsgOverflow, 87);
  EXPECT_EQ(NeResourceLength(ctx, doc, entry), 0);
  ExpectError(kMsgOverflow, 96);

  WriteU16(entry, static_cast<uint16_t>((doc.size - 16) >> 4));  // fewer than 24 bytes left
  EXPECT_NE(NeResourceData(ctx, doc, entry), nullptr);
  EXPECT_EQ(NeResourceLength(ctx, doc, entry), 0);
  ExpectError(kMsgOverflow, 96);

  EXPECT_EQ(NeResourceData(ctx, doc, nullptr), nullptr);
  ExpectError(kMsgNullPointer, 79);
}

// ---- Enumeration ---------------------------------------------------------------

TEST_F(NeReaderTest, ForEachNeResourceVisitsInTableOrderAndStopsOnRequest) {
  NeFile ne = TwoGroupLibrary(4);
  ne.icons[0].id = 0x21;
  ne.icons[2].id = 5;
  ne.groups = {{1, {0x21, 2}, {32, 32}, "a"}, {2, {5}, {4}, "b"}};
  ASSERT_EQ(LoadAndCheck(ne.Build()), 1);

  std::vector<int> ids;
  EXPECT_EQ(ForEachNeResource(ctx, doc, kNeTypeIcon, [&](IconDocument&, int type, int id) {
              EXPECT_EQ(type, kNeTypeIcon);
              ids.push_back(id);
              return 1;
            }),
            1);
  EXPECT_EQ(ids, (std::vector<int>{0x21, 2, 5}));

  int calls = 0;
  const auto stopAtSecond = [&](int message) {
    calls = 0;
    return ForEachNeResource(ctx, doc, kNeTypeIcon, [&](IconDocument&, int, int) {
      return ++calls < 2 ? 1 : (message ? Fail(ctx, message, 5) : 0);
    });
  };
  EXPECT_EQ(stopAtSecond(0), 1);
  EXPECT_EQ(calls, 2);
  EXPECT_EQ(stopAtSecond(84), 0);
  ExpectError(84, 5);

  EXPECT_EQ(ForEachNeResource(ctx, doc, 5, [](IconDocument&, int, int) { return 1; }), 0);
  ExpectError(kMsgNoIconResource, 10);
  EXPECT_EQ(ForEachNeResource(ctx, doc, kNeTypeIcon, nullptr), 0);
  ExpectError(kMsgNullPointer, 41);
}

TEST_F(NeReaderTest, ForEachNeResourceRejectsEntriesPastTheBuffer) {
  NeFile ne = TwoGroupLibrary(4);
  ASSERT_EQ(LoadAndCheck(ne.Build()), 1);
  WriteU16(doc.base + ne.IconTypeEntry() + 2, 0x7000);  // more entries than the file holds
  EXPECT_EQ(ForEachNeResource(ctx, doc, kNeTypeIcon, [](IconDocument&, int, int) { return 1; }), 0);
  ExpectError(kMsgOverflow, 45);
  WriteU16(doc.base + ne.IconTypeEntry(), 0x8007);  // no icon type any more
  EXPECT_EQ(ForEachNeResource(ctx, doc, kNeTypeIcon, [](IconDocument&, int, int) { return 1; }), 0);
  ExpectError(kMsgNoIconResource, 9);
}

// ---- Group reading failures, with each reader's sites --------------------------

// Offset of group 1's directory in a TwoGroupLibrary(4) file.
size_t GroupDirectoryAt(const Bytes& bytes) {
  return size_t{ReadU16(&bytes[NeFile::GroupResourceEntry(0)])} << 4;
}

// Replaces icon `index` of a built file by other bytes of at most its rounded size.
void SetIconBytes(const NeFile& ne, Bytes& bytes, size_t index, const Bytes& image) {
  const size_t at = size_t{ReadU16(&bytes[ne.IconResourceEntry(index)])} << ne.shift;
  std::fill(bytes.begin() + at, bytes.begin() + at + ne.RoundUp(ne.icons[index].bytes.size()), 0);
  std::copy(image.begin(), image.end(), bytes.begin() + at);
}

struct GroupFault {
  const char* name;
  void (*apply)(const NeFile&, Bytes&);
  int thumbnailMessage, thumbnailSite;
  int paneMessage, paneSite;
};

TEST_F(NeReaderTest, GroupReadingFailuresUseTheReadersSites) {
  const GroupFault faults[] = {
      {"icon id not in the file",
       [](const NeFile&, Bytes& b) { WriteU16(&b[GroupDirectoryAt(b) + 6 + 12], 99); },
       kMsgResourceFind, 43, kMsgResourceFind, 38},
      {"group count 0", [](const NeFile&, Bytes& b) { WriteU16(&b[GroupDirectoryAt(b) + 4], 0); },
       kMsgBadIconCount, 26, kMsgBadFileFormat, 67},
      {"group entries past the end",
       [](const NeFile&, Bytes& b) { WriteU16(&b[GroupDirectoryAt(b) + 4], 0x7FFF); },
       kMsgOverflow, 139, kMsgOverflow, 134},
      {"PNG without IEND",
       [](const NeFile& ne, Bytes& b) { SetIconBytes(ne, b, 1, Png(48, 48, 41, false)); },
       kMsgResourceSize, 20, kMsgResourceSize, 15},
      {"PNG with width 0",
       [](const NeFile& ne, Bytes& b) { SetIconBytes(ne, b, 1, Png(0, 48, 41)); },
       kMsgImageSize, 18, 0, 0},
  };
  for (const GroupFault& f : faults) {
    SCOPED_TRACE(f.name);
    const NeFile ne = TwoGroupLibrary(4);
    Bytes bytes = ne.Build();
    f.apply(ne, bytes);
    ASSERT_EQ(LoadAndCheck(bytes), 1);
    NeGroup group;
    EXPECT_EQ(ReadNeGroup(ctx, doc, 1, NeGroupReader::kThumbnail, group), 0);
    ExpectError(f.thumbnailMessage, f.thumbnailSite);
    ctx.error = 0;
    EXPECT_EQ(ReadNeGroup(ctx, doc, 1, NeGroupReader::kImagePane, group), f.paneMessage == 0 ? 1 : 0);
    ExpectError(f.paneMessage, f.paneSite);
  }
}

TEST_F(NeReaderTest, MissingGroupIsReportedByThePaneAsItsOwnFailure) {
  ASSERT_EQ(LoadAndCheck(TwoGroupLibrary(4).Build()), 1);
  NeGroup group;
  EXPECT_EQ(ReadNeGroup(ctx, doc, 42, NeGroupReader::kThumbnail, group), 0);
  ExpectError(kMsgIdNotFound, 1);
  EXPECT_EQ(ReadNeGroup(ctx, doc, 42, NeGroupReader::kImagePane, group), 0);
  ExpectError(kMsgNullPointer, 155);
}

}  // namespace
}  // namespace zx
