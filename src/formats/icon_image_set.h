// A set of icon images gathered for writing, held in one block that its
// builder owns and releases in one piece:
//   a header of four 64-bit words (the fourth is the image count n);
//   n records of eight 64-bit words: width, height, bit count, address and
//   size of the image bytes, then the addresses of the image's header, of its
//   colour (XOR) bits and of its mask (AND) bits;
//   the image bytes of every image, back to back, in record order.
// For a PNG image only the bit count, the address and the size are meaningful.
#pragma once

#include <cstdint>

#include "core/block_registry.h"
#include "core/thread_context.h"

namespace zx {

constexpr uint64_t kImageSetHeaderBytes = 32;
constexpr uint64_t kImageSetRecordBytes = 64;

struct IconImageRecord {
  uint64_t width = 0;
  uint64_t height = 0;
  uint64_t bitCount = 0;
  const uint8_t* image = nullptr;
  uint64_t size = 0;
  const uint8_t* header = nullptr;
  const uint8_t* colorBits = nullptr;
  const uint8_t* maskBits = nullptr;
};

class IconImageSet {
 public:
  IconImageSet() = default;
  IconImageSet(IconImageSet&&) noexcept = default;
  IconImageSet& operator=(IconImageSet&&) noexcept = default;

  // Allocates the block for `count` images holding `imageBytes` in all
  // (message 1 when it cannot be had); records are filled with Add.
  int Allocate(ThreadContext& ctx, uint64_t count, uint64_t imageBytes);
  // Copies one image into the data area and fills its record. A record or
  // image that would not fit in the block is message 59 at `site`.
  int Add(ThreadContext& ctx, const uint8_t* image, uint64_t size, uint64_t bitCount, int site);
  // Writes the number of records filled into the header.
  void Seal();

  bool empty() const { return !block_; }
  uint64_t count() const;
  IconImageRecord record(uint64_t index) const;
  // The whole block, laid out as described above.
  const uint8_t* data() const { return block_.get(); }
  uint64_t byteSize() const { return byteSize_; }

 private:
  RegisteredBlock block_;
  uint64_t byteSize_ = 0;
  uint64_t capacity_ = 0;  // records the block was made for
  uint64_t filled_ = 0;
  uint64_t dataUsed_ = 0;
};

// The bit count a record keeps: the source entry's when it is 0, 1, 4, 8, 24
// or 32, otherwise 32.
uint64_t ImageSetBitCount(int sourceBitCount);

}  // namespace zx
