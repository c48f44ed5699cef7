// A growable, seekable byte stream: what the image codec and the writers
// assemble files in. The Windows build backs it with a stream inside a
// self-deleting temporary compound file; the portable core and its tests use
// MemoryStream. Writers are written once, against this interface.
//
// Every operation takes the context of the calling thread and, on failure,
// records (site << 16) + message there and returns 0. The caller passes the
// site, so each place that uses a stream keeps its own site number, while the
// message follows the operation: 9 for seeking, 10 for reading, 11 for
// writing (and for changing the size).
#pragma once

#include <cstdint>

#include "core/messages.h"
#include "core/thread_context.h"

namespace zx {

enum class SeekOrigin : int { kStart = 0, kCurrent = 1, kEnd = 2 };

class ByteStream {
 public:
  virtual ~ByteStream() = default;

  // Writes `count` bytes at the position and moves past them, growing the
  // stream (bytes skipped by an earlier seek past the end read as 0).
  virtual int Write(ThreadContext& ctx, const uint8_t* data, uint64_t count, int site) = 0;

  // Reads up to `count` bytes from the position; `read` gets how many came
  // (fewer at the end of the stream, which is not a failure).
  virtual int Read(ThreadContext& ctx, uint8_t* buffer, uint64_t count, uint64_t& read,
                   int site) = 0;

  // Moves the position to origin + offset; a position before the start
  // fails, one past the end is allowed. `newPosition` may be null.
  virtual int Seek(ThreadContext& ctx, int64_t offset, SeekOrigin origin, uint64_t* newPosition,
                   int site) = 0;

  // Grows (with zero bytes) or cuts the stream; the position does not move.
  virtual int SetSize(ThreadContext& ctx, uint64_t size, int site) = 0;

  // Copies up to `count` bytes from this stream's position to the
  // destination's position, moving both; `copied` gets how many were copied.
  virtual int CopyTo(ThreadContext& ctx, ByteStream& destination, uint64_t count,
                     uint64_t& copied, int site) = 0;

  // Size in bytes, without moving the position (message 9 on failure).
  virtual int Size(ThreadContext& ctx, uint64_t& size, int site) = 0;
};

// Seeks to an absolute position.
inline int SeekTo(ThreadContext& ctx, ByteStream& stream, uint64_t position, int site) {
  if (position > static_cast<uint64_t>(INT64_MAX)) return Fail(ctx, kMsgStreamSeek, site);
  return stream.Seek(ctx, static_cast<int64_t>(position), SeekOrigin::kStart, nullptr, site);
}

// Reads exactly `count` bytes: a failed read is message 10 at `site`, a read
// that comes back short is `shortMessage` at `shortSite` (the callers differ
// on what a truncated stream means).
inline int ReadExactly(ThreadContext& ctx, ByteStream& stream, uint8_t* buffer, uint64_t count,
                       int site, int shortMessage, int shortSite) {
  uint64_t read = 0;
  if (!stream.Read(ctx, buffer, count, read, site)) return 0;
  if (read != count) return Fail(ctx, shortMessage, shortSite);
  return 1;
}

}  // namespace zx
