#include "imaging/memory_stream.h"

#include <gtest/gtest.h>

#include <vector>

#include "core/messages.h"

namespace zx {
namespace {

std::vector<uint8_t> Contents(const MemoryStream& stream) {
  if (stream.size() == 0) return {};
  return std::vector<uint8_t>(stream.data(), stream.data() + stream.size());
}

TEST(MemoryStream, WritesReadsAndStopsShortAtTheEnd) {
  ThreadContext ctx;
  MemoryStream stream;
  const uint8_t bytes[] = {1, 2, 3, 4, 5};
  ASSERT_EQ(1, stream.Write(ctx, bytes, 5, 1));
  EXPECT_EQ(5u, stream.position());
  uint64_t size = 0;
  ASSERT_EQ(1, stream.Size(ctx, size, 1));
  EXPECT_EQ(5u, size);

  ASSERT_EQ(1, SeekTo(ctx, stream, 1, 1));
  uint8_t buffer[8] = {};
  uint64_t read = 0;
  ASSERT_EQ(1, stream.Read(ctx, buffer, 8, read, 1));
  EXPECT_EQ(4u, read) << "a read at the end comes back short, without failing";
  EXPECT_EQ((std::vector<uint8_t>{2, 3, 4, 5}), std::vector<uint8_t>(buffer, buffer + 4));
  ASSERT_EQ(1, stream.Read(ctx, buffer, 8, read, 1));
  EXPECT_EQ(0u, read);

  // Overwriting in the middle keeps the size.
  ASSERT_EQ(1, SeekTo(ctx, stream, 2, 1));
  const uint8_t nine = 9;
  ASSERT_EQ(1, stream.Write(ctx, &nine, 1, 1));
  EXPECT_EQ((std::vector<uint8_t>{1, 2, 9, 4, 5}), Contents(stream));
  EXPECT_EQ(0, ctx.error);
}

TEST(MemoryStream, ManySmallWritesKeepEveryByte) {
  ThreadContext ctx;
  MemoryStream stream;
  std::vector<uint8_t> expected;
  for (int i = 0; i < 5000; ++i) {
    const uint8_t triple[3] = {uint8_t(i), uint8_t(i >> 8), uint8_t(i * 7)};
    ASSERT_EQ(1, stream.Write(ctx, triple, 3, 1));
    expected.insert(expected.end(), triple, triple + 3);
  }
  EXPECT_EQ(expected, Contents(stream));
}

TEST(MemoryStream, SeeksFromEachOrigin) {
  struct Case {
    SeekOrigin origin;
    int64_t offset;
    uint64_t expected;
  };
  // The stream holds 10 bytes and stands at 4.
  const Case cases[] = {
      {SeekOrigin::kStart, 0, 0},   {SeekOrigin::kStart, 7, 7},    {SeekOrigin::kStart, 25, 25},
      {SeekOrigin::kCurrent, 3, 7}, {SeekOrigin::kCurrent, -4, 0}, {SeekOrigin::kEnd, 0, 10},
      {SeekOrigin::kEnd, -10, 0},   {SeekOrigin::kEnd, 5, 15},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << int(c.origin) << " " << c.offset);
    ThreadContext ctx;
    MemoryStream stream;
    ASSERT_EQ(1, stream.SetSize(ctx, 10, 1));
    ASSERT_EQ(1, SeekTo(ctx, stream, 4, 1));
    uint64_t position = 999;
    ASSERT_EQ(1, stream.Seek(ctx, c.offset, c.origin, &position, 1));
    EXPECT_EQ(c.expected, position);
    EXPECT_EQ(c.expected, stream.position());
    EXPECT_EQ(10u, stream.size()) << "seeking never changes the size";
  }
}

TEST(MemoryStream, RefusesSeeksBeforeTheStartOrBeyondRange) {
  struct Case {
    SeekOrigin origin;
    int64_t offset;
  };
  const Case cases[] = {{SeekOrigin::kStart, -1},
                        {SeekOrigin::kCurrent, -5},
                        {SeekOrigin::kEnd, -11},
                        {SeekOrigin::kCurrent, INT64_MAX},
                        {static_cast<SeekOrigin>(7), 0}};
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << int(c.origin) << " " << c.offset);
    ThreadContext ctx;
    MemoryStream stream;
    ASSERT_EQ(1, stream.SetSize(ctx, 10, 1));
    ASSERT_EQ(1, SeekTo(ctx, stream, 4, 1));
    EXPECT_EQ(0, stream.Seek(ctx, c.offset, c.origin, nullptr, 33));
    EXPECT_EQ(MakeError(kMsgStreamSeek, 33), ctx.error);
    EXPECT_EQ(4u, stream.position()) << "a failed seek leaves the position";
  }
  ThreadContext ctx;
  MemoryStream stream;
  EXPECT_EQ(0, SeekTo(ctx, stream, uint64_t{1} << 63, 34));
  EXPECT_EQ(MakeError(kMsgStreamSeek, 34), ctx.error);
}

TEST(MemoryStream, GrowthAfterCuttingOrSeekingPastTheEndShowsOnlyZeros) {
  ThreadContext ctx;
  MemoryStream stream;
  const std::vector<uint8_t> ones(20, 0x11);
  ASSERT_EQ(1, stream.Write(ctx, ones.data(), ones.size(), 1));

  // Cut to 5, grow back to 12: the old bytes must not reappear.
  ASSERT_EQ(1, stream.SetSize(ctx, 5, 1));
  EXPECT_EQ(20u, stream.position()) << "SetSize does not move the position";
  ASSERT_EQ(1, stream.SetSize(ctx, 12, 1));
  std::vector<uint8_t> expected(12, 0);
  std::fill(expected.begin(), expected.begin() + 5, 0x11);
  EXPECT_EQ(expected, Contents(stream));

  // Writing past the end leaves a gap of zeros.
  ASSERT_EQ(1, SeekTo(ctx, stream, 16, 1));
  const uint8_t tail = 0x7F;
  ASSERT_EQ(1, stream.Write(ctx, &tail, 1, 1));
  expected.resize(16, 0);
  expected.push_back(0x7F);
  EXPECT_EQ(expected, Contents(stream));
}

TEST(MemoryStream, CopyToMovesBothPositions) {
  ThreadContext ctx;
  MemoryStream source;
  MemoryStream target;
  const uint8_t bytes[] = {10, 11, 12, 13, 14, 15};
  ASSERT_EQ(1, source.Write(ctx, bytes, 6, 1));
  ASSERT_EQ(1, target.Write(ctx, bytes, 2, 1));
  ASSERT_EQ(1, SeekTo(ctx, source, 2, 1));

  uint64_t copied = 0;
  ASSERT_EQ(1, source.CopyTo(ctx, target, 100, copied, 1));
  EXPECT_EQ(4u, copied) << "no more than the source holds";
  EXPECT_EQ(6u, source.position());
  EXPECT_EQ(6u, target.position());
  EXPECT_EQ((std::vector<uint8_t>{10, 11, 12, 13, 14, 15}), Contents(target));

  ASSERT_EQ(1, source.CopyTo(ctx, target, 100, copied, 1));
  EXPECT_EQ(0u, copied);
}

TEST(MemoryStream, CopyingOrWritingItsOwnBytesSurvivesGrowth) {
  ThreadContext ctx;
  MemoryStream stream;
  std::vector<uint8_t> pattern(200);
  for (size_t i = 0; i < pattern.size(); ++i) pattern[i] = uint8_t(i);
  ASSERT_EQ(1, stream.Write(ctx, pattern.data(), pattern.size(), 1));

  // Appending the stream's own bytes forces the buffer to move mid-write.
  ASSERT_EQ(1, stream.Write(ctx, stream.data(), stream.size(), 1));
  std::vector<uint8_t> doubled = pattern;
  doubled.insert(doubled.end(), pattern.begin(), pattern.end());
  EXPECT_EQ(doubled, Contents(stream));

  // Onto itself (one position for both ends): bytes unchanged, position moved.
  ASSERT_EQ(1, SeekTo(ctx, stream, 100, 1));
  uint64_t copied = 0;
  ASSERT_EQ(1, stream.CopyTo(ctx, stream, 1000, copied, 1));
  EXPECT_EQ(300u, copied);
  EXPECT_EQ(400u, stream.position());
  EXPECT_EQ(doubled, Contents(stream));
}

TEST(MemoryStream, FailuresCarryTheOperationsMessageAndTheCallersSite) {
  ThreadContext ctx;
  MemoryStream stream;
  uint64_t read = 0;
  uint64_t copied = 0;

  EXPECT_EQ(0, stream.Write(ctx, nullptr, 4, 41));
  EXPECT_EQ(MakeError(kMsgStreamWrite, 41), ctx.error);

  EXPECT_EQ(0, stream.Read(ctx, nullptr, 4, read, 42));
  EXPECT_EQ(MakeError(kMsgStreamRead, 42), ctx.error);

  // Nothing may be allocated for a write the stream cannot hold.
  ASSERT_EQ(1, SeekTo(ctx, stream, MemoryStream::kMaxSize, 1));
  const uint8_t one = 1;
  EXPECT_EQ(0, stream.Write(ctx, &one, 1, 43));
  EXPECT_EQ(MakeError(kMsgStreamWrite, 43), ctx.error);
  EXPECT_EQ(0u, stream.size());
  EXPECT_EQ(0u, ctx.blocks.LiveCount());

  EXPECT_EQ(0, stream.SetSize(ctx, MemoryStream::kMaxSize + 1, 44));
  EXPECT_EQ(MakeError(kMsgStreamWrite, 44), ctx.error);

  // A copy into a stream that cannot take it fails with the write message.
  MemoryStream source;
  ASSERT_EQ(1, source.Write(ctx, &one, 1, 1));
  ASSERT_EQ(1, SeekTo(ctx, source, 0, 1));
  EXPECT_EQ(0, source.CopyTo(ctx, stream, 1, copied, 45));
  EXPECT_EQ(MakeError(kMsgStreamWrite, 45), ctx.error);
  EXPECT_EQ(0u, source.position()) << "a failed copy does not consume the source";
}

TEST(MemoryStream, ReadExactlyReportsAShortReadWithTheCallersMessage) {
  ThreadContext ctx;
  MemoryStream stream;
  const uint8_t bytes[] = {1, 2, 3};
  ASSERT_EQ(1, stream.Write(ctx, bytes, 3, 1));
  ASSERT_EQ(1, SeekTo(ctx, stream, 0, 1));
  uint8_t buffer[4] = {};
  EXPECT_EQ(0, ReadExactly(ctx, stream, buffer, 4, 2, kMsgOverflow, 3));
  EXPECT_EQ(MakeError(kMsgOverflow, 3), ctx.error);
  ASSERT_EQ(1, SeekTo(ctx, stream, 0, 1));
  ctx.error = 0;
  EXPECT_EQ(1, ReadExactly(ctx, stream, buffer, 3, 2, kMsgOverflow, 3));
  EXPECT_EQ(0, ctx.error);
}

TEST(MemoryStream, ItsBufferIsARegisteredBlockFreedWithTheStream) {
  ThreadContext ctx;
  {
    MemoryStream stream;
    const std::vector<uint8_t> bytes(100, 5);
    for (int i = 0; i < 10; ++i) ASSERT_EQ(1, stream.Write(ctx, bytes.data(), bytes.size(), 1));
    EXPECT_EQ(1u, ctx.blocks.LiveCount()) << "growth releases the outgrown blocks";
    EXPECT_TRUE(ctx.blocks.IsRegistered(stream.data()));
  }
  EXPECT_EQ(0u, ctx.blocks.LiveCount());
}

}  // namespace
}  // namespace zx
