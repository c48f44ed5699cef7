// Test helpers: put bytes into a document the way loading a file does.
#pragma once

#include <cstring>
#include <vector>

#include "core/icon_document.h"
#include "core/thread_context.h"

namespace zx::testing {

// Copies `bytes` into a registered block and points the document at it.
inline bool LoadBytes(ThreadContext& ctx, IconDocument& doc, const std::vector<uint8_t>& bytes) {
  if (bytes.empty()) return false;
  uint8_t* block = ctx.blocks.Allocate(ctx, static_cast<int64_t>(bytes.size()));
  if (!block) return false;
  std::memcpy(block, bytes.data(), bytes.size());
  doc.base = block;
  doc.size = static_cast<int64_t>(bytes.size());
  doc.lastByte = block + bytes.size() - 1;
  return true;
}

inline void PutU16(std::vector<uint8_t>& b, size_t at, uint32_t v) {
  if (b.size() < at + 2) b.resize(at + 2);
  b[at] = static_cast<uint8_t>(v);
  b[at + 1] = static_cast<uint8_t>(v >> 8);
}
inline void PutU32(std::vector<uint8_t>& b, size_t at, uint32_t v) {
  if (b.size() < at + 4) b.resize(at + 4);
  for (int i = 0; i < 4; ++i) b[at + i] = static_cast<uint8_t>(v >> (8 * i));
}
inline void PutU32BigEndian(std::vector<uint8_t>& b, size_t at, uint32_t v) {
  if (b.size() < at + 4) b.resize(at + 4);
  for (int i = 0; i < 4; ++i) b[at + i] = static_cast<uint8_t>(v >> (24 - 8 * i));
}

// A DIB icon image: header, colour table, colour rows, mask rows.
inline std::vector<uint8_t> DibImage(int width, int height, int bitCount) {
  const int colours = bitCount <= 8 ? (1 << bitCount) : 0;
  const int colourStride = ((width * bitCount + 31) / 32) * 4;
  const int maskStride = ((width + 31) / 32) * 4;
  std::vector<uint8_t> image(40 + 4 * colours + (colourStride + maskStride) * height, 0);
  PutU32(image, 0, 40);
  PutU32(image, 4, static_cast<uint32_t>(width));
  PutU32(image, 8, static_cast<uint32_t>(height * 2));
  PutU16(image, 12, 1);
  PutU16(image, 14, static_cast<uint32_t>(bitCount));
  return image;
}

// A minimal PNG: signature, IHDR, IEND (no image data; enough for the readers).
inline std::vector<uint8_t> PngImage(int width, int height, const char* firstChunk = "IHDR") {
  std::vector<uint8_t> png = {0x89, 0x50, 0x4E, 0x47, 0x0D, 0x0A, 0x1A, 0x0A};
  PutU32BigEndian(png, png.size(), 13);
  png.insert(png.end(), firstChunk, firstChunk + 4);
  PutU32BigEndian(png, png.size(), static_cast<uint32_t>(width));
  PutU32BigEndian(png, png.size(), static_cast<uint32_t>(height));
  png.insert(png.end(), {8, 6, 0, 0, 0});
  PutU32(png, png.size(), 0);  // CRC, not checked by the readers
  PutU32BigEndian(png, png.size(), 0);
  png.insert(png.end(), {'I', 'E', 'N', 'D', 0xAE, 0x42, 0x60, 0x82});
  return png;
}

// An .ico file holding the given images; bit counts for the directory.
inline std::vector<uint8_t> IcoFile(const std::vector<std::vector<uint8_t>>& images,
                                    uint32_t signature = 0x00010000) {
  std::vector<uint8_t> file;
  PutU32(file, 0, signature);
  PutU16(file, 4, static_cast<uint32_t>(images.size()));
  size_t offset = 6 + 16 * images.size();
  file.resize(offset);
  for (size_t i = 0; i < images.size(); ++i) {
    const size_t entry = 6 + 16 * i;
    PutU16(file, entry + 4, 1);
    PutU16(file, entry + 6, 32);
    PutU32(file, entry + 8, static_cast<uint32_t>(images[i].size()));
    PutU32(file, entry + 12, static_cast<uint32_t>(offset));
    file.insert(file.end(), images[i].begin(), images[i].end());
    offset += images[i].size();
  }
  return file;
}

}  // namespace zx::testing
