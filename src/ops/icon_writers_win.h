// Writing the opened document, or a selection of it, to a new file in one of
// the four target formats: the writer chosen for each source and target, the
// scratch streams and the codec they need. The target is replaced only by a
// complete file: a failure leaves an existing target as it was. The dialogue around it (requester, confirmation) is the caller's.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "core/icon_document.h"
#include "core/thread_context.h"
#include "formats/ico_writer.h"
#include "formats/icon_image_set.h"
#include "imaging/byte_stream.h"

namespace zx {

enum class SaveTarget { kIco, kNeIcl, kPeIcl, kPeDll };

// The selected images (.ico) or groups (modules) of the document as .ico.
int WriteIcoFromIcoDocument(ThreadContext& ctx, const IconDocument& doc,
                            const IconSelection& selection, const std::u16string& path);
int WriteIcoFromModule(ThreadContext& ctx, IconDocument& doc, const IconSelection& selection,
                       int mode, const std::u16string& path);
// The selection as an NE icon library, from an .ico, NE or PE document.
int WriteNeIconLibrary(ThreadContext& ctx, IconDocument& doc, const IconSelection& selection,
                       int mode, const std::u16string& path);
// The .ico image in `stream` (made from image-pane pictures) as an NE icon
// library, by way of a temporary file in the preference folder.
int WriteNeIconLibraryFromImageSet(ThreadContext& ctx, ByteStream& stream,
                                   const std::u16string& path);
// The selected groups of a PE document as a PE module.
int CopyPeToPe(ThreadContext& ctx, const IconDocument& doc, const IconSelection& selection,
               int mode, const std::u16string& path, const std::vector<uint8_t>& moduleTemplate);

// The writer of the table for the document's container and `target`. With
// `wholeFile` an .ico kept as .ico is copied byte for byte.
int WriteSelectionAs(ThreadContext& ctx, IconDocument& doc, SaveTarget target, int mode,
                     const IconSelection& selection, bool wholeFile, const std::u16string& path,
                     const std::vector<uint8_t>& moduleTemplate);

// Image-pane pictures gathered in a set, written with the image-set writers.
int WriteImageSetAs(ThreadContext& ctx, const IconImageSet& set, SaveTarget target, int mode,
                    const std::u16string& path, const std::vector<uint8_t>& moduleTemplate);

}  // namespace zx
