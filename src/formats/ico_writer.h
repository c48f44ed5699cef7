// Writing .ico images: the selected images of an opened .ico file copied
// byte for byte, an IconImageSet laid out as an .ico (keeping or unpacking
// PNG images), and the structural check every finished .ico passes. All of
// them assemble into a ByteStream; putting the stream on disk is the caller's.
#pragma once

#include <cstdint>
#include <vector>

#include "core/icon_document.h"
#include "core/thread_context.h"
#include "formats/icon_image_set.h"
#include "formats/png_unpacker.h"
#include "imaging/byte_stream.h"

namespace zx {

// 1-based numbers of the selected images (ICO) or groups (modules), in the
// order they are to be written.
using IconSelection = std::vector<int64_t>;

// The number of entries the .ico document's directory announces (0 when it
// has no header). Selections name entries 1 to this number.
int64_t IcoDirectoryCount(const IconDocument& doc);

// Directory entry `number` of a selection: message 70 (at `site`) outside
// 1..count, 59 (at `site` + 1) when the entry lies outside the file.
const uint8_t* SelectedIcoEntry(ThreadContext& ctx, const IconDocument& doc, int64_t number,
                                int site);
// True when the entry's image bytes lie inside the file.
bool IcoEntryImageInside(const IconDocument& doc, const uint8_t* entry);

// The ICO of the selected images of an .ico document, each entry and image
// copied unchanged (only the offsets are new), written at the start of `out`.
int BuildIcoFromIcoDocument(ThreadContext& ctx, const IconDocument& doc,
                            const IconSelection& selection, ByteStream& out);

// 1 when `stream` holds a structurally sound .ico image (header, count, and
// every entry's size and offset reachable in the stream).
int ValidateIcoStream(ThreadContext& ctx, ByteStream& stream);

// Parses the .ico image in `stream` into a new set, one record per entry.
int BuildImageSetFromIcoStream(ThreadContext& ctx, ByteStream& stream, IconImageSet& set);

// The keep-mode ICO of the selection, assembled in `scratch`, then parsed
// into a new set.
int BuildImageSetFromIcoDocument(ThreadContext& ctx, const IconDocument& doc,
                                 const IconSelection& selection, ByteStream& scratch,
                                 IconImageSet& set);

// The .ico image of a set, written at the start of `out`. With uncompress
// every PNG image goes through `unpack` (its intermediate streams come from
// `makeStream`) and is written as the DIB it gives.
int BuildIcoStream(ThreadContext& ctx, const IconImageSet& set, int mode,
                   const PngUnpacker& unpack, const StreamFactory& makeStream, ByteStream& out);

}  // namespace zx
