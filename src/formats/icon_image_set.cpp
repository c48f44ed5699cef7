#include "formats/icon_image_set.h"

#include <cstring>

#include "core/messages.h"
#include "formats/ico_reader.h"
#include "imaging/dib_layout.h"
#include "imaging/icon_image_classify.h"

namespace zx {
namespace {

void PutWord(uint8_t* at, uint64_t value) { std::memcpy(at, &value, sizeof value); }
uint64_t GetWord(const uint8_t* at) {
  uint64_t value = 0;
  std::memcpy(&value, at, sizeof value);
  return value;
}
uint64_t AddressOf(const uint8_t* p) { return reinterpret_cast<uintptr_t>(p); }
const uint8_t* PointerOf(uint64_t address) {
  return reinterpret_cast<const uint8_t*>(static_cast<uintptr_t>(address));
}

}  // namespace

uint64_t ImageSetBitCount(int sourceBitCount) {
  return IsDrawableDibBitCount(sourceBitCount) ? static_cast<uint64_t>(sourceBitCount) : 32;
}

int IconImageSet::Allocate(ThreadContext& ctx, uint64_t count, uint64_t imageBytes) {
  block_.Reset();
  byteSize_ = capacity_ = filled_ = dataUsed_ = 0;
  constexpr uint64_t kLimit = static_cast<uint64_t>(INT64_MAX);
  if (count > (kLimit - kImageSetHeaderBytes) / kImageSetRecordBytes) {
    return Fail(ctx, kMsgNoMemory, 401);
  }
  const uint64_t fixed = kImageSetHeaderBytes + kImageSetRecordBytes * count;
  if (imageBytes > kLimit - fixed) return Fail(ctx, kMsgNoMemory, 401);
  uint8_t* block = ctx.blocks.Allocate(ctx, static_cast<int64_t>(fixed + imageBytes));
  if (!block) return 0;
  block_ = RegisteredBlock(ctx.blocks, block);
  byteSize_ = fixed + imageBytes;
  capacity_ = count;
  return 1;
}

int IconImageSet::Add(ThreadContext& ctx, const uint8_t* image, uint64_t size, uint64_t bitCount,
                      int site) {
  if (!block_ || !image || size == 0) return Fail(ctx, kMsgNullPointer, site);
  const uint64_t dataStart = kImageSetHeaderBytes + kImageSetRecordBytes * capacity_;
  if (filled_ >= capacity_ || size > byteSize_ - dataStart - dataUsed_) {
    return Fail(ctx, kMsgOverflow, site);
  }
  uint8_t* copy = block_.get() + dataStart + dataUsed_;
  std::memcpy(copy, image, size);
  dataUsed_ += size;

  IconImageRecord r;
  r.bitCount = bitCount;
  r.image = copy;
  r.size = size;
  IconImageInfo info;
  ThreadContext scratch;  // a PNG or a short header is not an error here
  if (!IsPngSignature(copy, size) && ClassifyIconImage(scratch, copy, size, info) &&
      info.kind == IconImageKind::kDib) {
    // Width and height straight from the header: the height is halved, the
    // colour bits follow the table and the mask follows the colour rows.
    r.width = static_cast<uint64_t>(static_cast<uint32_t>(info.headerWidth));
    r.height = static_cast<uint64_t>(static_cast<uint32_t>(info.headerHeight)) >> 1;
    const DibLayout layout = DibLayoutOf(info);
    r.header = copy;
    if (layout.colorBitsOffset < size) r.colorBits = copy + layout.colorBitsOffset;
    if (layout.maskOffset < size) r.maskBits = copy + layout.maskOffset;
  }

  uint8_t* at = block_.get() + kImageSetHeaderBytes + kImageSetRecordBytes * filled_;
  const uint64_t words[8] = {r.width,           r.height,         r.bitCount,
                             AddressOf(r.image), r.size,           AddressOf(r.header),
                             AddressOf(r.colorBits), AddressOf(r.maskBits)};
  for (int i = 0; i < 8; ++i) PutWord(at + 8 * i, words[i]);
  ++filled_;
  return 1;
}

void IconImageSet::Seal() {
  if (block_) PutWord(block_.get() + 24, filled_);
}

uint64_t IconImageSet::count() const { return block_ ? GetWord(block_.get() + 24) : 0; }

IconImageRecord IconImageSet::record(uint64_t index) const {
  IconImageRecord r;
  if (!block_ || index >= count()) return r;
  const uint8_t* at = block_.get() + kImageSetHeaderBytes + kImageSetRecordBytes * index;
  r.width = GetWord(at);
  r.height = GetWord(at + 8);
  r.bitCount = GetWord(at + 16);
  r.image = PointerOf(GetWord(at + 24));
  r.size = GetWord(at + 32);
  r.header = PointerOf(GetWord(at + 40));
  r.colorBits = PointerOf(GetWord(at + 48));
  r.maskBits = PointerOf(GetWord(at + 56));
  return r;
}

}  // namespace zx
