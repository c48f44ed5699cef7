// Telling the two kinds of icon image apart and measuring them: a PNG
// ("Vista", packed) image or a DIB image (a 40-byte bitmap information header,
// the colour table, the colour bitmap and the 1-bit mask), and naming their
// colour depth for the image pane.
#pragma once

#include <cstdint>
#include <string>

#include "core/catalogue.h"
#include "core/thread_context.h"

namespace zx {

// The 8 bytes that start every PNG image.
inline constexpr uint8_t kPngSignatureBytes[8] = {0x89, 0x50, 0x4E, 0x47, 0x0D, 0x0A, 0x1A, 0x0A};
// A PNG icon image must hold its signature and the whole IHDR chunk start:
// length (8), type "IHDR" (12), width (16) and height (20).
constexpr uint64_t kPngMinimumBytes = 24;
constexpr uint64_t kDibHeaderBytes = 40;

enum class IconImageKind : int { kDib = 0, kPng = 1 };

// Why an image could not be classified; the readers report it under their own
// message and site.
enum class ClassifyFailure : int {
  kNone = 0,
  kTruncated = 1,  // too short for its signature or header
  kBadIhdr = 2,    // PNG whose first chunk is not "IHDR"
};

struct IconImageInfo {
  IconImageKind kind = IconImageKind::kDib;
  // Icon size in pixels: PNG the low 16 bits of the IHDR fields; DIB the low
  // 16 bits of the header width and of half the header height.
  uint16_t width = 0;
  uint16_t height = 0;
  // DIB: the header's bit count. PNG: 0, the depth comes from the directory
  // or group entry (see PngCaptionBitCount).
  uint16_t bitCount = 0;
  // DIB header fields as stored (0 for PNG).
  int32_t headerWidth = 0;
  int32_t headerHeight = 0;  // colour rows and mask rows: twice the icon height
  uint16_t planes = 0;
  uint32_t compression = 0;
  uint32_t colorsUsed = 0;
  ClassifyFailure failure = ClassifyFailure::kNone;
};

// True when the image starts with the PNG signature.
bool IsPngSignature(const uint8_t* data, uint64_t length);

// Classifies `length` bytes at `data`. Returns 1 with `info` filled, or 0 with
// info.failure set and, in the context, message 59 (site 160) for a truncated
// image, 50 (site 161) for a bad IHDR chunk, 4 (site 162) for no data.
// Width and height may be 0; each caller rejects that with its own message.
int ClassifyIconImage(ThreadContext& ctx, const uint8_t* data, uint64_t length,
                      IconImageInfo& info);

// PNG images carry no depth of their own that the program reads: the entry's
// bit count is shown, and anything but 1, 4, 8, 24 or 32 counts as 32.
int PngCaptionBitCount(int entryBitCount);
// The bit count recorded for an image taken from a module or into an image
// set: 0, 1, 4, 8, 24 and 32 are kept, anything else counts as 32.
int RecordedBitCount(int entryBitCount);

// Catalogue numbers of the depth captions.
enum DepthText : int {
  kTextDepthMonochrome = 2000,  // "- monochrome"
  kTextDepth16Colors = 2001,    // "- 16 colors"
  kTextDepth256Colors = 2002,   // "- 256 colors"
  kTextDepthRgb = 2003,         // "- RGB"
  kTextDepthRgba = 2004,        // "- RGBA"
  kTextDepthUnknown = 2005,     // "- ?"
  kTextDepthPacked = 2006,      // " (packed)", after the depth of a PNG image
};

struct DepthCaptionTexts {
  int depth = kTextDepthUnknown;
  int packed = 0;  // kTextDepthPacked for a PNG image, else 0 (no text)
};

// The catalogue texts that caption an image of this depth. For a PNG image
// `bitCount` is the entry's bit count.
DepthCaptionTexts DepthCaptionNumbers(int bitCount, bool isPng);

// The caption itself, in the context's language.
std::u16string DepthCaption(const ThreadContext& ctx, int bitCount, bool isPng,
                            const TextLookup& uiText);

}  // namespace zx
