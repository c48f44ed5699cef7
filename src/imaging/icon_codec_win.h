// The icon image codec: PNG ("Vista") images decoded into bitmaps, bitmaps
// and image bytes turned into icon handles for drawing, and icons turned back
// into one-image ICO files with a DIB image. Every operation takes the
// context of the calling thread (its error slot, blocks, scratch streams and
// GDI+ entry points) and returns 1, or 0 with the error set and everything it
// allocated released. Icons come back in owners: destroy them as soon as the
// picture is drawn.
#pragma once

#include <windows.h>

#include <cstdint>

#include "core/block_registry.h"
#include "core/icon_document.h"
#include "core/thread_context.h"
#include "core/win_handles.h"
#include "imaging/icon_image_classify.h"
#include "imaging/scratch_stream_win.h"

namespace zx {

// A PNG image normalised by GDI+ (loaded, re-encoded as PNG in a scratch
// stream), then decoded by libpng into a 32-bit DIB section with its alpha.
// Message 101 when GDI+ is missing or refuses the image; the callers then
// decode the same bytes with DecodePngDirect.
int DecodePng(ThreadContext& ctx, const uint8_t* data, uint64_t length, UniqueBitmap& bitmap);

// The same image decoded by libpng alone (message 22, site 14, when it cannot).
int DecodePngDirect(ThreadContext& ctx, const uint8_t* data, uint64_t length,
                    UniqueBitmap& bitmap);

// An icon whose colour bitmap is `bitmap` and whose mask is keyed on the
// colour of the bottom-left pixel: every pixel of that RGB is transparent.
int IconFromBitmap(ThreadContext& ctx, HBITMAP bitmap, int width, int height, UniqueIcon& icon);

// DecodePng, else DecodePngDirect (message 22, site 12, when neither can),
// then IconFromBitmap at the decoded size.
int PngToIcon(ThreadContext& ctx, const uint8_t* data, uint64_t length, UniqueIcon& icon);

// The icon the image pane draws, at the image's own size. A PNG the system
// cannot make an icon of is decoded (message 22, site 11, when undecodable).
int IconFromImage(ThreadContext& ctx, const uint8_t* data, uint64_t length, IconImageKind kind,
                  int width, int height, UniqueIcon& icon);

// A complete one-image ICO file of the icon, with a DIB image, in a new
// scratch stream (created here; released by the caller or with the object).
int IconToIcoStream(ThreadContext& ctx, HICON icon, ScratchStream& stream);
// The same from the icon's two bitmaps as GetIconInfo gives them (no colour
// bitmap: a monochrome icon whose mask holds both halves).
int IconBitmapsToIcoStream(ThreadContext& ctx, HBITMAP mask, HBITMAP color, ScratchStream& stream);

// The DIB image equivalent of a PNG image, in a registered block:
// PngToIcon, IconToIcoStream, ImageFromIcoStream.
int UnpackPngImage(ThreadContext& ctx, const uint8_t* data, uint64_t length,
                   RegisteredBlock& image, uint64_t& imageLength);

// The 48 × 48 group-list picture of an image taken from an .ico file, an NE
// module or a PE module (its RT_ICON bytes): the image's own size when both
// sides are at most 47 pixels, otherwise 48 × 48.
int ThumbnailIcon(ThreadContext& ctx, const uint8_t* data, uint64_t length, ContainerKind source,
                  UniqueIcon& icon);

// The icon's picture as RGBA pixels, rows top-down, with the transparency
// it is drawn with (its alpha channel, or else its mask): what the console
// export writes and what tests compare.
struct IconRgba {
  RegisteredBlock pixels;  // width × height × 4 bytes
  int width = 0;
  int height = 0;
};
int IconToRgba(ThreadContext& ctx, HICON icon, IconRgba& out);

// True on Windows 6.0 (Vista) and later, whose icon functions read PNG images themselves.
bool SystemDecodesPngIcons();

}  // namespace zx
