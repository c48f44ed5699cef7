// An in-memory ByteStream: the stand-in for the scratch stream wherever no
// compound-file storage exists (the portable core, its tests and fuzz
// targets). Its buffer is a block of the calling thread's BlockRegistry, so
// the stream must not outlive that context.
#pragma once

#include <cstdint>

#include "core/block_registry.h"
#include "imaging/byte_stream.h"

namespace zx {

class MemoryStream final : public ByteStream {
 public:
  // The largest stream, like a stream of the compound file it stands in for
  // (whose 512-byte-sector format ends at 2 GiB); ICO sizes and offsets are
  // 32-bit anyway.
  static constexpr uint64_t kMaxSize = 0x7FFFFFFF;

  MemoryStream() = default;
  MemoryStream(const MemoryStream&) = delete;
  MemoryStream& operator=(const MemoryStream&) = delete;

  int Write(ThreadContext& ctx, const uint8_t* data, uint64_t count, int site) override;
  int Read(ThreadContext& ctx, uint8_t* buffer, uint64_t count, uint64_t& read,
           int site) override;
  int Seek(ThreadContext& ctx, int64_t offset, SeekOrigin origin, uint64_t* newPosition,
           int site) override;
  int SetSize(ThreadContext& ctx, uint64_t size, int site) override;
  // Copying a stream onto itself (one shared position) leaves its bytes as
  // they are and moves the position past them.
  int CopyTo(ThreadContext& ctx, ByteStream& destination, uint64_t count, uint64_t& copied,
             int site) override;
  int Size(ThreadContext& ctx, uint64_t& size, int site) override;

  // The stream's bytes (null while empty); valid until the next change.
  const uint8_t* data() const { return buffer_.get(); }
  uint64_t size() const { return size_; }
  uint64_t position() const { return position_; }

 private:
  // Makes room for `needed` bytes; new room is zero-filled.
  int Reserve(ThreadContext& ctx, uint64_t needed, int site);

  // Invariant: bytes between size_ and capacity_ are zero, so growing the
  // stream (by SetSize or by writing past the end) exposes only zeros.
  RegisteredBlock buffer_;
  uint64_t capacity_ = 0;
  uint64_t size_ = 0;
  uint64_t position_ = 0;
};

}  // namespace zx
