// Scratch streams on real compound files.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/messages.h"
#include "imaging/dib_layout.h"
#include "imaging/memory_stream.h"
#include "imaging/scratch_stream_win.h"
#include "imaging/thread_services_win.h"

namespace zx {
namespace {

// The path of the compound file behind a storage.
std::wstring StorageFilePath(IStorage* storage) {
  STATSTG stat{};
  if (FAILED(storage->Stat(&stat, STATFLAG_DEFAULT)) || !stat.pwcsName) return L"";
  std::wstring path = stat.pwcsName;
  CoTaskMemFree(stat.pwcsName);
  return path;
}

TEST(ScratchStream, TwoInARowGetDifferentNamesByThread) {
  for (const ThreadRole role : {ThreadRole::kUserInterface, ThreadRole::kConversion}) {
    ThreadContext ctx;
    ThreadServices services(ctx, role);
    ScratchStream first;
    ScratchStream second;
    ASSERT_EQ(CreateScratchStream(ctx, &first), 1);
    ASSERT_EQ(CreateScratchStream(ctx, &second), 1);
    EXPECT_NE(first.name(), second.name());
    const bool ui = role == ThreadRole::kUserInterface;
    EXPECT_EQ(first.name(), ui ? u"_1" : u"1");
    EXPECT_EQ(second.name(), ui ? u"_2" : u"2");
    EXPECT_NE(first.storage(), second.storage());
    EXPECT_EQ(services.scratchStreams().live.size(), 2u);
  }
}

TEST(ScratchStream, ReleasingTwiceDoesNothingTheSecondTimeAndTheFileGoes) {
  ThreadContext ctx;
  ThreadServices services(ctx);
  ScratchStream pair;
  ScratchStream other;
  ASSERT_EQ(CreateScratchStream(ctx, &pair), 1);
  ASSERT_EQ(CreateScratchStream(ctx, &other), 1);
  const std::wstring file = StorageFilePath(pair.storage());
  ASSERT_FALSE(file.empty());
  EXPECT_NE(GetFileAttributesW(file.c_str()), INVALID_FILE_ATTRIBUTES);

  ReleaseScratchStream(ctx, &pair);
  EXPECT_EQ(pair.storage(), nullptr);
  EXPECT_EQ(pair.stream(), nullptr);
  EXPECT_EQ(services.scratchStreams().live.size(), 1u);
  EXPECT_EQ(GetFileAttributesW(file.c_str()), INVALID_FILE_ATTRIBUTES) << "temporary file left behind";

  ReleaseScratchStream(ctx, &pair);
  ReleaseScratchStream(ctx, nullptr);
  EXPECT_EQ(services.scratchStreams().live.size(), 1u);
  EXPECT_NE(other.stream(), nullptr);
  EXPECT_EQ(ctx.error, 0);
}

TEST(ScratchStream, StreamsLeftAliveAreReleasedWithTheThreadServices) {
  ThreadContext ctx;
  ScratchStream pair;
  std::wstring file;
  {
    ThreadServices services(ctx);
    ASSERT_EQ(CreateScratchStream(ctx, &pair), 1);
    file = StorageFilePath(pair.storage());
  }
  EXPECT_EQ(ctx.scratchStreams, nullptr);
  EXPECT_EQ(GetFileAttributesW(file.c_str()), INVALID_FILE_ATTRIBUTES);
  // The pair is no longer recorded anywhere: releasing it is left alone.
  ReleaseScratchStream(ctx, &pair);
}

TEST(ScratchStream, ReadsWritesSeeksAndCopiesLikeAnyByteStream) {
  ThreadContext ctx;
  ThreadServices services(ctx);
  ScratchStream stream;
  ASSERT_EQ(CreateScratchStream(ctx, &stream), 1);
  std::vector<uint8_t> bytes(70000);
  for (size_t i = 0; i < bytes.size(); ++i) bytes[i] = static_cast<uint8_t>(i * 7);
  ASSERT_EQ(stream.Write(ctx, bytes.data(), bytes.size(), 1), 1);

  uint64_t size = 0;
  uint64_t position = 0;
  ASSERT_EQ(stream.Size(ctx, size, 1), 1);
  EXPECT_EQ(size, bytes.size());
  ASSERT_EQ(stream.Seek(ctx, -10, SeekOrigin::kEnd, &position, 1), 1);
  EXPECT_EQ(position, bytes.size() - 10);
  ASSERT_EQ(stream.Seek(ctx, -5, SeekOrigin::kCurrent, &position, 1), 1);
  EXPECT_EQ(position, bytes.size() - 15);
  std::vector<uint8_t> tail(40, 0xEE);
  uint64_t read = 0;
  ASSERT_EQ(stream.Read(ctx, tail.data(), tail.size(), read, 1), 1);
  EXPECT_EQ(read, 15u) << "a read at the end comes back short";
  EXPECT_TRUE(std::equal(tail.begin(), tail.begin() + 15, bytes.end() - 15));

  EXPECT_EQ(stream.Seek(ctx, -1, SeekOrigin::kStart, nullptr, 33), 0);
  EXPECT_EQ(ctx.error, MakeError(kMsgStreamSeek, 33));
  ctx.error = 0;

  ASSERT_EQ(stream.SetSize(ctx, 100, 1), 1);
  ASSERT_EQ(stream.Size(ctx, size, 1), 1);
  EXPECT_EQ(size, 100u);

  // To another scratch stream and to a memory stream.
  ScratchStream copy;
  ASSERT_EQ(CreateScratchStream(ctx, &copy), 1);
  MemoryStream memory;
  for (ByteStream* destination : {static_cast<ByteStream*>(&copy), static_cast<ByteStream*>(&memory)}) {
    ASSERT_EQ(SeekTo(ctx, stream, 20, 1), 1);
    uint64_t copied = 0;
    ASSERT_EQ(stream.CopyTo(ctx, *destination, 1000, copied, 1), 1);
    EXPECT_EQ(copied, 80u);
    ASSERT_EQ(SeekTo(ctx, *destination, 0, 1), 1);
    std::vector<uint8_t> back(80);
    ASSERT_EQ(ReadExactly(ctx, *destination, back.data(), back.size(), 1, kMsgOverflow, 2), 1);
    EXPECT_TRUE(std::equal(back.begin(), back.end(), bytes.begin() + 20));
  }
  // Onto itself: nothing changes but the position.
  ASSERT_EQ(SeekTo(ctx, stream, 90, 1), 1);
  uint64_t copied = 0;
  ASSERT_EQ(stream.CopyTo(ctx, stream, 50, copied, 1), 1);
  EXPECT_EQ(copied, 10u);
  ASSERT_EQ(stream.Seek(ctx, 0, SeekOrigin::kCurrent, &position, 1), 1);
  EXPECT_EQ(position, 100u);
  ASSERT_EQ(stream.Size(ctx, size, 1), 1);
  EXPECT_EQ(size, 100u);
  EXPECT_EQ(ctx.error, 0);
}

TEST(ScratchStream, CarriesTheOneImageIcoLayout) {
  ThreadContext ctx;
  ThreadServices services(ctx);
  IconBitmapFacts facts;
  facts.hasColorBitmap = true;
  facts.colorWidth = facts.colorHeight = facts.maskWidth = facts.maskHeight = 16;
  facts.colorPlanes = 1;
  facts.colorBitsPerPixel = 32;
  OneImageIcoShape shape;
  ASSERT_EQ(ShapeOneImageIco(ctx, facts, shape), 1);
  const std::vector<uint8_t> colour(shape.colorBytes, 0x5A);
  const std::vector<uint8_t> mask(shape.maskBytes, 0xF0);
  OneImageIcoPixels pixels;
  pixels.colorRows = colour.data();
  pixels.colorRowsBytes = colour.size();
  pixels.maskRows = mask.data();
  pixels.maskRowsBytes = mask.size();
  ScratchStream stream;
  ASSERT_EQ(CreateScratchStream(ctx, &stream), 1);
  ASSERT_EQ(WriteOneImageIco(ctx, stream, shape, pixels), 1);
  RegisteredBlock image;
  uint64_t length = 0;
  ASSERT_EQ(ImageFromIcoStream(ctx, stream, image, length), 1);
  EXPECT_EQ(length, shape.imageSize);
  EXPECT_EQ(image.get()[40], 0x5A);
  EXPECT_EQ(image.get()[length - 1], 0xF0);
}

template <HRESULT kResult>
HRESULT WINAPI RefusingCreator(const WCHAR*, DWORD, DWORD, DWORD, void*, void*, REFIID, void** object) {
  *object = nullptr;
  return kResult;
}

TEST(ScratchStream, StorageFailuresAreLoggedByTheConversionThreadOnly) {
  struct Case {
    StorageCreator creator;
    ThreadRole role;
    std::vector<std::u16string> log;
  };
  const Case cases[] = {
      {RefusingCreator<STG_E_ACCESSDENIED>, ThreadRole::kConversion, {u"erreur #STG_E_ACCESSDENIED", u""}},
      {RefusingCreator<STG_E_SHAREVIOLATION>, ThreadRole::kConversion, {u"erreur #STG_E_SHAREVIOLATION", u""}},
      {RefusingCreator<STG_E_LOCKVIOLATION>, ThreadRole::kConversion, {u"erreur #STG_E_LOCKVIOLATION", u""}},
      {RefusingCreator<STG_E_FILEALREADYEXISTS>, ThreadRole::kConversion, {u"erreur #STG_E_FILEALREADYEXISTS", u""}},
      {RefusingCreator<STG_E_INVALIDPARAMETER>, ThreadRole::kConversion, {u"erreur #STG_E_INVALIDPARAMETER", u""}},
      {RefusingCreator<STG_E_INVALIDNAME>, ThreadRole::kConversion, {u"erreur #STG_E_INVALIDNAME", u""}},
      {RefusingCreator<STG_E_INVALIDFLAG>, ThreadRole::kConversion, {u"erreur #STG_E_INVALIDFLAG", u""}},
      {RefusingCreator<E_OUTOFMEMORY>, ThreadRole::kConversion, {}},
      {RefusingCreator<STG_E_ACCESSDENIED>, ThreadRole::kUserInterface, {}},
  };
  for (const Case& c : cases) {
    ThreadContext ctx;
    ThreadServices services(ctx, c.role);
    std::vector<std::u16string> log;
    services.scratchStreams().conversionLog = [&log](const std::u16string& line) { log.push_back(line); };
    services.scratchStreams().createStorage = c.creator;
    ScratchStream pair;
    EXPECT_EQ(CreateScratchStream(ctx, &pair), 0);
    EXPECT_EQ(ctx.error, MakeError(kMsgStreamCreate, 5));
    EXPECT_EQ(log, c.log);
    EXPECT_EQ(pair.storage(), nullptr);
    EXPECT_TRUE(services.scratchStreams().live.empty());
  }
}

TEST(ScratchStream, MissingPairOrServicesFail) {
  ThreadContext ctx;
  ScratchStream pair;
  EXPECT_EQ(CreateScratchStream(ctx, &pair), 0);
  EXPECT_EQ(ctx.error, MakeError(kMsgStreamCreate, 7));
  ThreadServices services(ctx);
  EXPECT_EQ(CreateScratchStream(ctx, nullptr), 0);
  EXPECT_EQ(ctx.error, MakeError(kMsgStreamCreate, 4));
}

}  // namespace
}  // namespace zx
