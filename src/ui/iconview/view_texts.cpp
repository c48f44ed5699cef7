#include "ui/iconview/view_texts.h"

#include <numeric>

namespace zx {
namespace {

constexpr int kTextIcons = 2009;            // " icons"
constexpr int kTextGroupHasOne = 2010;      // " The group has 1 icon"
constexpr int kTextGroupHas = 2011;         // " The group has "
constexpr int kTextFile = 2012;             // "File :"
constexpr int kTextGroupsNumber = 2013;     // " Groups number :  "
constexpr int kTextNoSelection = 2025;      // "( No selection )"
constexpr int kTextOneSelection = 2026;     // "( 1 selection )"
constexpr int kTextSelections = 2027;       // " selections )"
constexpr int kTextGroup = 2024;
constexpr int kTextGroups = 2023;
const std::u16string kGap = u"          ";  // ten spaces

std::u16string WithoutLast(std::u16string text) {
  if (!text.empty()) text.pop_back();
  return text;
}

std::u16string TrimmedRight(std::u16string text) {
  while (!text.empty() && text.back() == u' ') text.pop_back();
  return text;
}

// The one-icon and several-icons texts of each format: ICO 2015/2016, PE 2018/2019, NE 2021/2022.
int FormatText(ContainerKind container, bool oneIcon) {
  const int first = container == kContainerPe ? 2018 : container == kContainerNe ? 2021 : 2015;
  return oneIcon ? first : first + 1;
}

}  // namespace

std::u16string FileStatusText(const TextLookup& text, int language, const std::u16string& fileName,
                              ContainerKind container, int64_t iconCount, int64_t groupCount) {
  std::u16string result = text(kTextFile, language) + fileName;
  if (iconCount == 1) return result + text(FormatText(container, true), language) + u")";
  return result + text(FormatText(container, false), language) + DecimalText(iconCount) + text(kTextIcons, language) +
         u" / " + DecimalText(groupCount) + u" " + text(groupCount == 1 ? kTextGroup : kTextGroups, language) + u")";
}

std::u16string GroupSelectionText(const TextLookup& text, int language, const std::vector<int64_t>& selectedImageCounts) {
  const size_t k = selectedImageCounts.size();
  if (k == 0) return kGap + text(kTextNoSelection, language);
  const int64_t images = std::accumulate(selectedImageCounts.begin(), selectedImageCounts.end(), int64_t{0});
  if (k == 1 && images == 1) {
    return kGap + WithoutLast(text(kTextOneSelection, language)) + u" / 1 " +
           WithoutLast(text(kTextIcons, language)) + u" )";
  }
  if (k == 1) {
    return kGap + TrimmedRight(WithoutLast(text(kTextOneSelection, language))) + u" / " + DecimalText(images) +
           text(kTextIcons, language) + u" )";
  }
  return kGap + u"( " + DecimalText(static_cast<int64_t>(k)) + WithoutLast(text(kTextSelections, language)) +
         u" / " + DecimalText(images) + text(kTextIcons, language) + u" )";
}

std::u16string GroupListCaption(const TextLookup& text, int language, int64_t groupCount,
                                const std::vector<int64_t>& selectedImageCounts) {
  return text(kTextGroupsNumber, language) + DecimalText(groupCount) +
         GroupSelectionText(text, language, selectedImageCounts);
}

std::u16string PaneCaption(const TextLookup& text, int language, int imageCount, int selectedCount, bool icoFile) {
  if (imageCount <= 0) return u"";
  std::u16string result = icoFile || imageCount == 1
                              ? text(kTextGroupHasOne, language)
                              : text(kTextGroupHas, language) + DecimalText(imageCount) + text(kTextIcons, language);
  result += kGap;
  if (selectedCount <= 0) return result + text(kTextNoSelection, language);
  if (selectedCount == 1 || icoFile) return result + text(kTextOneSelection, language);
  return result + u"( " + DecimalText(selectedCount) + text(kTextSelections, language);
}

}  // namespace zx
