#include "imaging/memory_stream.h"

#include <algorithm>
#include <cstring>

namespace zx {
namespace {

constexpr uint64_t kFirstCapacity = 256;

}  // namespace

int MemoryStream::Reserve(ThreadContext& ctx, uint64_t needed, int site) {
  if (needed <= capacity_) return 1;
  if (needed > kMaxSize) return Fail(ctx, kMsgStreamWrite, site);
  // Grow geometrically so that a writer appending field by field copies the
  // stream only a few times.
  const uint64_t doubled = std::max(kFirstCapacity, capacity_ * 2);
  const uint64_t capacity = std::max(needed, std::min(doubled, kMaxSize));
  uint8_t* block = ctx.blocks.Allocate(ctx, static_cast<int64_t>(capacity));
  if (!block) return Fail(ctx, kMsgStreamWrite, site);
  if (size_ > 0) std::memcpy(block, buffer_.get(), static_cast<size_t>(size_));
  buffer_ = RegisteredBlock(ctx.blocks, block);
  capacity_ = capacity;
  return 1;
}

int MemoryStream::Write(ThreadContext& ctx, const uint8_t* data, uint64_t count, int site) {
  if (count == 0) return 1;
  if (!data) return Fail(ctx, kMsgStreamWrite, site);
  if (position_ > kMaxSize || count > kMaxSize - position_) return Fail(ctx, kMsgStreamWrite, site);
  const uint64_t end = position_ + count;

  // The source may be this stream's own bytes; growing moves them, so keep
  // their offset rather than their address.
  const auto own = reinterpret_cast<uintptr_t>(buffer_.get());
  const auto from = reinterpret_cast<uintptr_t>(data);
  const bool aliased = own != 0 && from >= own && from - own < capacity_;
  const uint64_t sourceOffset = aliased ? from - own : 0;

  if (!Reserve(ctx, end, site)) return 0;
  const uint8_t* source = aliased ? buffer_.get() + sourceOffset : data;
  std::memmove(buffer_.get() + position_, source, static_cast<size_t>(count));
  position_ = end;
  size_ = std::max(size_, end);
  return 1;
}

int MemoryStream::Read(ThreadContext& ctx, uint8_t* buffer, uint64_t count, uint64_t& read,
                       int site) {
  read = 0;
  if (count == 0) return 1;
  if (!buffer) return Fail(ctx, kMsgStreamRead, site);
  if (position_ >= size_) return 1;
  const uint64_t available = std::min(count, size_ - position_);
  std::memcpy(buffer, buffer_.get() + position_, static_cast<size_t>(available));
  position_ += available;
  read = available;
  return 1;
}

int MemoryStream::Seek(ThreadContext& ctx, int64_t offset, SeekOrigin origin,
                       uint64_t* newPosition, int site) {
  int64_t base = 0;
  switch (origin) {
    case SeekOrigin::kStart: base = 0; break;
    case SeekOrigin::kCurrent: base = static_cast<int64_t>(position_); break;
    case SeekOrigin::kEnd: base = static_cast<int64_t>(size_); break;
    default: return Fail(ctx, kMsgStreamSeek, site);
  }
  int64_t target = 0;
  if (__builtin_add_overflow(base, offset, &target) || target < 0) {
    return Fail(ctx, kMsgStreamSeek, site);
  }
  position_ = static_cast<uint64_t>(target);
  if (newPosition) *newPosition = position_;
  return 1;
}

int MemoryStream::SetSize(ThreadContext& ctx, uint64_t size, int site) {
  if (size > kMaxSize) return Fail(ctx, kMsgStreamWrite, site);
  if (size > size_) {
    if (!Reserve(ctx, size, site)) return 0;
  } else if (size < size_) {
    // Keep the bytes past the end zero for a later growth.
    std::memset(buffer_.get() + size, 0, static_cast<size_t>(size_ - size));
  }
  size_ = size;
  return 1;
}

int MemoryStream::CopyTo(ThreadContext& ctx, ByteStream& destination, uint64_t count,
                         uint64_t& copied, int site) {
  copied = 0;
  const uint64_t available = position_ < size_ ? std::min(count, size_ - position_) : 0;
  if (available == 0) return 1;
  // Write takes care of a copy inside this same stream (its source moves
  // when the stream grows).
  if (!destination.Write(ctx, buffer_.get() + position_, available, site)) return 0;
  if (&destination != this) position_ += available;
  copied = available;
  return 1;
}

int MemoryStream::Size(ThreadContext&, uint64_t& size, int) {
  size = size_;
  return 1;
}

}  // namespace zx
