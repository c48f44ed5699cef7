// Reading and overwriting the characteristics word of PE headers on disk.
#include <gtest/gtest.h>

#include <windows.h>

#include "core/messages.h"
#include "core/win_text.h"
#include "formats/pe_characteristics_win.h"
#include "support/document_fixture.h"
#include "wine/pe_fixture.h"

namespace zx {
namespace {

using testing::PutU16;
using testing::PutU32;
using testing::TempFolder;

// The headers of a 32-bit (i386) PE file: MZ header, "PE\0\0" at 0x80, file
// header and the start of a PE32 optional header.
std::vector<uint8_t> Pe32Headers(uint16_t characteristics) {
  std::vector<uint8_t> file(0x200, 0);
  file[0] = 'M';
  file[1] = 'Z';
  PutU32(file, 60, 0x80);
  file[0x80] = 'P';
  file[0x81] = 'E';
  PutU16(file, 0x84, 0x014C);             // machine: i386
  PutU16(file, 0x84 + 16, 0xE0);          // optional header size
  PutU16(file, 0x84 + 18, characteristics);
  PutU16(file, 0x98, 0x010B);             // PE32 optional header
  return file;
}

uint16_t CharacteristicsInFile(const std::u16string& path) {
  const std::vector<uint8_t> bytes = testing::ReadFileBytes(path);
  const uint32_t header = bytes[60] | (bytes[61] << 8) | (bytes[62] << 16) | (bytes[63] << 24);
  return static_cast<uint16_t>(bytes[header + 22] | (bytes[header + 23] << 8));
}

TEST(PeCharacteristics, RoundTripOnPe32AndPe32PlusFiles) {
  TempFolder folder;
  const std::u16string pe32 = folder.Write(u"old.dll", Pe32Headers(0x210E));
  const std::u16string pe32Plus = folder.path() + u"new.dll";
  ASSERT_TRUE(CopyFileW(Wide(testing::SystemModuleWithoutIcons()), Wide(pe32Plus), FALSE));

  for (const std::u16string& path : {pe32, pe32Plus}) {
    ThreadContext ctx;
    uint16_t value = 0;
    ASSERT_EQ(ReadPeCharacteristics(ctx, path, &value), 1) << ctx.error;
    EXPECT_EQ(value, CharacteristicsInFile(path));
    EXPECT_NE(value & IMAGE_FILE_DLL, 0);
    const std::vector<uint8_t> before = testing::ReadFileBytes(path);

    const uint16_t changed = static_cast<uint16_t>(value & ~IMAGE_FILE_DLL);
    ASSERT_EQ(WritePeCharacteristics(ctx, path, changed), 1) << ctx.error;
    uint16_t reread = 0;
    ASSERT_EQ(ReadPeCharacteristics(ctx, path, &reread), 1);
    EXPECT_EQ(reread, changed);
    // Only the two bytes of the field changed.
    std::vector<uint8_t> after = testing::ReadFileBytes(path);
    ASSERT_EQ(after.size(), before.size());
    size_t differing = 0;
    for (size_t i = 0; i < after.size(); ++i) differing += after[i] != before[i];
    EXPECT_EQ(differing, 1u);  // the DLL flag lives in the high byte only

    ASSERT_EQ(WritePeCharacteristics(ctx, path, value), 1);
    EXPECT_EQ(testing::ReadFileBytes(path), before);
  }
}

TEST(PeCharacteristics, BadFilesFailWithTheirMessages) {
  TempFolder folder;
  std::vector<uint8_t> noMz = Pe32Headers(0x2102);
  noMz[0] = 'X';
  std::vector<uint8_t> noPe = Pe32Headers(0x2102);
  noPe[0x81] = 'X';
  std::vector<uint8_t> cut = Pe32Headers(0x2102);
  cut.resize(0x80 + 20);  // ends inside the file header
  struct Case {
    const char16_t* name;
    std::vector<uint8_t> bytes;
    int64_t readError, writeError;
  } cases[] = {
      {u"nomz.dll", noMz, MakeError(kMsgNoMzSignature, 2), MakeError(kMsgNoMzSignature, 3)},
      {u"nope.dll", noPe, MakeError(kMsgNoNtSignature, 1), MakeError(kMsgNoNtSignature, 2)},
      {u"cut.dll", cut, MakeError(kMsgFileRead, 20), MakeError(kMsgFileRead, 25)},
      {u"empty.dll", {}, MakeError(kMsgBadFileName, 0), MakeError(kMsgBadFileName, 0)},
  };
  for (const Case& c : cases) {
    const std::u16string path = folder.Write(c.name, c.bytes);
    ThreadContext ctx;
    uint16_t value = 0;
    EXPECT_EQ(ReadPeCharacteristics(ctx, path, &value), 0);
    EXPECT_EQ(ctx.error, c.readError);
    EXPECT_EQ(WritePeCharacteristics(ctx, path, 0x2102), 0);
    EXPECT_EQ(ctx.error, c.writeError);
    // Nothing is written into a file that fails the walk, nor past its end.
    EXPECT_EQ(testing::ReadFileBytes(path), c.bytes);
  }
  ThreadContext ctx;
  uint16_t value = 0;
  EXPECT_EQ(ReadPeCharacteristics(ctx, folder.path() + u"missing.dll", &value), 0);
  EXPECT_EQ(ctx.error, MakeError(kMsgBadFileName, 0));
  EXPECT_EQ(ReadPeCharacteristics(ctx, folder.Write(u"good.dll", Pe32Headers(0x2102)), nullptr), 0);
  EXPECT_EQ(ctx.error, MakeError(kMsgBadPointer, 21));
}

}  // namespace
}  // namespace zx
