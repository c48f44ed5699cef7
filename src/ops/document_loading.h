// The part of opening a file that needs no window: detection, loading, the
// checks the thumbnail builder makes on every group, and the remapping of
// failures into what the icon view's error panel shows. The view and the
// console companion both open files through here.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "core/icon_document.h"
#include "core/thread_context.h"
#include "formats/resource_types.h"

namespace zx {

struct DocumentImage {
  int width = 0;
  int height = 0;
  // DIB: the header's bit count; PNG: the directory entry's.
  int bitCount = 0;
  bool png = false;
  uint32_t bytes = 0;
  const uint8_t* data = nullptr;
  // Modules: the icon resource that holds the image.
  int iconId = 0;
};

struct DocumentGroup {
  // As the group list labels it: "#n" for an .ico entry.
  std::u16string label;
  // Modules: the group resource's name or number.
  PeResourceName name;
  std::vector<DocumentImage> images;
};

// Opens `path` into `doc`. On failure the error slot holds the message and
// site the error panel shows, and the document is closed and reset.
int LoadIconDocument(ThreadContext& ctx, IconDocument& doc, const std::u16string& path);

// Every group of the open document with its images, in view order.
int ReadDocumentGroups(ThreadContext& ctx, IconDocument& doc, std::vector<DocumentGroup>& groups);

// Group `item` (from 0) alone: the groups are walked and counted until it.
// Message 4 (site 126) with nothing open.
int ReadDocumentGroup(ThreadContext& ctx, IconDocument& doc, int item, DocumentGroup& group);

}  // namespace zx
