// The group list's thumbnails: one 48 x 48 picture per group (per entry of an
// .ico file) on white, in the thumbnail image list, and the items that show them.
#pragma once

#include <windows.h>
#include <commctrl.h>

#include <vector>

#include "core/icon_document.h"
#include "core/thread_context.h"
#include "core/win_handles.h"
#include "formats/group_image.h"
#include "ops/document_loading.h"

namespace zx {

// The group's images as the readers describe them, for the ordering rules.
std::vector<GroupImage> GroupImagesOf(const DocumentGroup& group);

// The image that stands for a group: its representative image for a module
// group, the one image of an .ico entry.
int ThumbnailImageIndex(const DocumentGroup& group);

// The 48 x 48 picture of one image: the icon at its own size in the middle
// when both sides are 1-47 pixels, scaled to the whole square otherwise;
// with the PNG mark (white corner and badge) when `pngMark`.
int DrawThumbnailPicture(ThreadContext& ctx, const DocumentImage& image, ContainerKind source, bool pngMark,
                         UniqueBitmap& picture);

// Adds one thumbnail and one group list item per group. Item data: 1 for an
// .ico entry, else the group's image count. Sets the document's hasPng.
int BuildGroupThumbnails(ThreadContext& ctx, IconDocument& doc, HWND groupList, HIMAGELIST thumbnails,
                         const std::vector<DocumentGroup>& groups);

// Back to the blank placeholder alone.
void RemoveThumbnails(HIMAGELIST thumbnails);

}  // namespace zx
