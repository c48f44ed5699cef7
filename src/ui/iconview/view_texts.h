// The icon view's three information texts, built from catalogue texts in one
// language: the status bar's file text, the group list's caption and the
// image pane's caption.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "core/catalogue.h"
#include "core/icon_document.h"

namespace zx {

// "File :" + the file name + the format and the icon and group counts.
// For an .ico file `groupCount` is its entry count.
std::u16string FileStatusText(const TextLookup& text, int language, const std::u16string& fileName,
                              ContainerKind container, int64_t iconCount, int64_t groupCount);

// What is selected in the group list: the image counts of the selected
// items (their item data). Begins with ten spaces.
std::u16string GroupSelectionText(const TextLookup& text, int language, const std::vector<int64_t>& selectedImageCounts);

// " Groups number :  " + the count + the selection text.
std::u16string GroupListCaption(const TextLookup& text, int language, int64_t groupCount,
                                const std::vector<int64_t>& selectedImageCounts);

// Empty for an empty pane. An .ico entry always reads as one image.
std::u16string PaneCaption(const TextLookup& text, int language, int imageCount, int selectedCount, bool icoFile);

}  // namespace zx
