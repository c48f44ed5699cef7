#include "imaging/icon_image_classify.h"

#include <cstring>

#include "core/messages.h"
#include "formats/byte_reader.h"

namespace zx {
namespace {

constexpr int kSiteTruncated = 160;
constexpr int kSiteBadIhdr = 161;
constexpr int kSiteNoData = 162;

int Refuse(ThreadContext& ctx, IconImageInfo& info, ClassifyFailure failure, int message,
           int site) {
  info.failure = failure;
  return Fail(ctx, message, site);
}

}  // namespace

bool IsPngSignature(const uint8_t* data, uint64_t length) {
  return data && length >= sizeof(kPngSignatureBytes) &&
         std::memcmp(data, kPngSignatureBytes, sizeof(kPngSignatureBytes)) == 0;
}

int ClassifyIconImage(ThreadContext& ctx, const uint8_t* data, uint64_t length,
                      IconImageInfo& info) {
  info = IconImageInfo{};
  if (!data) return Refuse(ctx, info, ClassifyFailure::kTruncated, kMsgNullPointer, kSiteNoData);

  if (IsPngSignature(data, length)) {
    info.kind = IconImageKind::kPng;
    if (length < kPngMinimumBytes) {
      return Refuse(ctx, info, ClassifyFailure::kTruncated, kMsgOverflow, kSiteTruncated);
    }
    if (std::memcmp(data + 12, "IHDR", 4) != 0) {
      return Refuse(ctx, info, ClassifyFailure::kBadIhdr, kMsgBadIhdr, kSiteBadIhdr);
    }
    info.width = static_cast<uint16_t>(ReadU32BigEndian(data + 16));
    info.height = static_cast<uint16_t>(ReadU32BigEndian(data + 20));
    return 1;
  }

  // Anything else is read as a DIB image, whose header must be whole.
  info.kind = IconImageKind::kDib;
  if (length < kDibHeaderBytes) {
    return Refuse(ctx, info, ClassifyFailure::kTruncated, kMsgOverflow, kSiteTruncated);
  }
  info.headerWidth = ReadS32(data + 4);
  info.headerHeight = ReadS32(data + 8);
  info.planes = ReadU16(data + 12);
  info.bitCount = ReadU16(data + 14);
  info.compression = ReadU32(data + 16);
  info.colorsUsed = ReadU32(data + 32);
  info.width = static_cast<uint16_t>(info.headerWidth);
  info.height = static_cast<uint16_t>(info.headerHeight / 2);
  return 1;
}

int PngCaptionBitCount(int entryBitCount) {
  switch (entryBitCount) {
    case 1: case 4: case 8: case 24: case 32:
      return entryBitCount;
    default:
      return 32;
  }
}

int RecordedBitCount(int entryBitCount) {
  return entryBitCount == 0 ? 0 : PngCaptionBitCount(entryBitCount);
}

DepthCaptionTexts DepthCaptionNumbers(int bitCount, bool isPng) {
  DepthCaptionTexts texts;
  const int depth = isPng ? PngCaptionBitCount(bitCount) : bitCount;
  switch (depth) {
    case 1: texts.depth = kTextDepthMonochrome; break;
    case 4: texts.depth = kTextDepth16Colors; break;
    case 8: texts.depth = kTextDepth256Colors; break;
    case 24: texts.depth = kTextDepthRgb; break;
    case 32: texts.depth = kTextDepthRgba; break;
    default: texts.depth = kTextDepthUnknown; break;
  }
  texts.packed = isPng ? kTextDepthPacked : 0;
  return texts;
}

std::u16string DepthCaption(const ThreadContext& ctx, int bitCount, bool isPng,
                            const TextLookup& uiText) {
  if (!uiText) return {};
  const DepthCaptionTexts texts = DepthCaptionNumbers(bitCount, isPng);
  std::u16string caption = uiText(texts.depth, ctx.language);
  if (texts.packed != 0) caption += uiText(texts.packed, ctx.language);
  return caption;
}

}  // namespace zx
