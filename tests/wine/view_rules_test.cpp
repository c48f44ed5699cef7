// The pure rules of the file list and the icon view: the list filter, the
// size and date columns, the recent folders, the image pane's selection
// state machine, the information texts and the pictures' geometry.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/ui_text_win.h"
#include "ui/explorer/list_rules.h"
#include "ui/iconview/picture_selection.h"
#include "ui/iconview/view_geometry.h"
#include "ui/iconview/view_texts.h"

namespace zx {
namespace {

constexpr char16_t kAllIcons[] = u"*.cpl;*.dll;*.drv;*.exe;*.ico;*.icl;*.ocx;*.scr";

TEST(ListFilter, ListPatternKeepsExtensionsFoundInItsText) {
  const struct {
    const char16_t* name;
    const char16_t* pattern;
    bool kept;
  } cases[] = {
      {u"a.ico", kAllIcons, true},   {u"b.ICL", kAllIcons, true},  {u"c.txt", kAllIcons, false},
      {u"d.ic", kAllIcons, true},    {u"e", kAllIcons, false},     {u"f.ico", u"*.ico", true},
      {u"g.ICO", u"*.ico", true},    {u"h.icl", u"*.ico", false},  {u"i.txt", u"*.*", true},
      {u"j.dll.bak", kAllIcons, false},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(ListFilterKeeps(c.name, c.pattern), c.kept) << std::string(c.name, c.name + 5).c_str();
  }
  EXPECT_TRUE(IsSinglePattern(u"*.*"));
  EXPECT_TRUE(IsSinglePattern(u"*.ico"));
  EXPECT_FALSE(IsSinglePattern(kAllIcons));
}

TEST(ListColumns, SizeIsKilobytesRoundedUpWithTheUnit) {
  const std::u16string unit = UiText(17038, 2057);
  EXPECT_EQ(unit, u" KB");
  EXPECT_EQ(SizeText(0, unit), u"0 KB");
  EXPECT_EQ(SizeText(1024, unit), u"1 KB");
  EXPECT_EQ(SizeText(1025, unit), u"2 KB");
  EXPECT_EQ(SizeText(1, UiText(17038, 1036)), u"1 Ko");
}

TEST(ListColumns, DatesInTheThreeFormats) {
  const DateFields night = {2013, 12, 25, 0, 5, 9};
  const DateFields afternoon = {2013, 12, 25, 13, 5, 9};
  const DateFields noon = {2013, 12, 25, 12, 5, 9};
  const DateFields morning = {2013, 12, 25, 9, 5, 9};
  EXPECT_EQ(FormatFileDate(night, kDateFormatEnglish), u"25/12/2013  12:05:09 AM");
  EXPECT_EQ(FormatFileDate(afternoon, kDateFormatEnglish), u"25/12/2013  01:05:09 PM");
  EXPECT_EQ(FormatFileDate(noon, kDateFormatEnglish), u"25/12/2013  12:05:09 PM");
  EXPECT_EQ(FormatFileDate(morning, kDateFormatEnglish), u"25/12/2013  09:05:09 AM");
  EXPECT_EQ(FormatFileDate(night, kDateFormatUs), u"12/25/2013  12:05:09 AM");
  EXPECT_EQ(FormatFileDate(afternoon, kDateFormatUs), u"12/25/2013  01:05:09 PM");
  EXPECT_EQ(FormatFileDate(night, kDateFormatFrench), u"25/12/2013  00:05:09");
  EXPECT_EQ(FormatFileDate(afternoon, kDateFormatFrench), u"25/12/2013  13:05:09");
  // Anything else reads as English.
  EXPECT_EQ(FormatFileDate(afternoon, 7), u"25/12/2013  01:05:09 PM");
}

TEST(ListColumns, ValidFileNames) {
  for (const char16_t* good : {u"a.ico", u"b c.dll", u"é.icl"}) EXPECT_TRUE(IsValidFileName(good));
  for (const char16_t* bad : {u"", u"a\"b", u"a*b", u"a/b", u"a:b", u"a<b", u"a>b", u"a?b", u"a\\b", u"a|b",
                              u"a\tb"}) {
    EXPECT_FALSE(IsValidFileName(bad));
  }
}

TEST(RecentFolders, OldestLeavesAndARevisitMovesToTheTop) {
  std::vector<std::u16string> recents = {u"C:\\c\\", u"C:\\b\\", u"C:\\a\\"};
  AddRecentFolderTo(recents, u"C:\\d\\", 3);
  EXPECT_EQ(recents, (std::vector<std::u16string>{u"C:\\d\\", u"C:\\c\\", u"C:\\b\\"}));
  AddRecentFolderTo(recents, u"c:\\B\\", 3);
  EXPECT_EQ(recents, (std::vector<std::u16string>{u"c:\\B\\", u"C:\\d\\", u"C:\\c\\"}));
  AddRecentFolderTo(recents, u"C:\\d\\", 2);
  EXPECT_EQ(recents, (std::vector<std::u16string>{u"C:\\d\\", u"c:\\B\\"}));
}

using S = PictureState;
constexpr S P = S::kPlain;
constexpr S PF = S::kPlainFocused;
constexpr S SE = S::kSelected;
constexpr S SF = S::kSelectedFocused;

TEST(PictureSelection, ClicksControlClicksAndShiftClicks) {
  PictureStates states = {P, P, P, P, P};
  ClickPicture(states, 1);
  EXPECT_EQ(states, (PictureStates{P, SF, P, P, P}));
  // Ctrl + click on the selected focused image: unselected but focused.
  ControlClickPicture(states, 1);
  EXPECT_EQ(states, (PictureStates{P, PF, P, P, P}));
  EXPECT_EQ(SelectedPictureCount(states), 0);
  ControlClickPicture(states, 3);
  EXPECT_EQ(states, (PictureStates{P, P, P, SF, P}));
  ControlClickPicture(states, 0);
  EXPECT_EQ(states, (PictureStates{SF, P, P, SE, P}));
  // Shift + click: the range from the focused image to the clicked one.
  ShiftClickPicture(states, 2, false);
  EXPECT_EQ(states, (PictureStates{SE, SE, SF, P, P}));
  ShiftClickPicture(states, 4, false);
  EXPECT_EQ(states, (PictureStates{P, P, SE, SE, SF}));
  ShiftClickPicture(states, 1, false);
  EXPECT_EQ(states, (PictureStates{P, SF, SE, SE, SE}));
  // The clicked button already holds the keyboard: a plain click.
  ShiftClickPicture(states, 1, true);
  EXPECT_EQ(states, (PictureStates{P, SF, P, P, P}));
  PictureStates none = {P, P, P};
  ShiftClickPicture(none, 2, false);
  EXPECT_EQ(none, (PictureStates{P, P, SF}));
}

TEST(PictureSelection, SelectAllUnselectAllAndToggle) {
  PictureStates states = {P, P, P};
  SelectAllPictures(states);
  EXPECT_EQ(states, (PictureStates{SF, SE, SE}));
  // Toggle with everything selected clears every selection, focus kept.
  ToggleSelection(states);
  EXPECT_EQ(states, (PictureStates{PF, P, P}));
  ToggleSelection(states);
  EXPECT_EQ(states, (PictureStates{SF, SE, SE}));
  states = {P, SE, PF};
  ToggleSelection(states);
  EXPECT_EQ(states, (PictureStates{SE, P, SF}));
  SelectAllPictures(states);
  EXPECT_EQ(states, (PictureStates{SE, SE, SF}));
  UnselectAllPictures(states);
  EXPECT_EQ(states, (PictureStates{P, P, PF}));
  UnselectAllPictures(states, false);
  EXPECT_EQ(states, (PictureStates{P, P, P}));
  ToggleSelection(states);
  EXPECT_EQ(states, (PictureStates{SF, SE, SE}));
  EXPECT_EQ(FocusedPicture(states), 0);
}

TEST(IconViewTexts, GroupListSelectionTexts) {
  const TextLookup text = UiTextLookup();
  const std::u16string gap = u"          ";
  EXPECT_EQ(GroupListCaption(text, 2057, 7, {2, 3, 4}), u" Groups number :  7" + gap + u"( 3 selections  / 9 icons )");
  EXPECT_EQ(GroupSelectionText(text, 2057, {1}), gap + u"( 1 selection  / 1  icon )");
  EXPECT_EQ(GroupSelectionText(text, 2057, {3}), gap + u"( 1 selection / 3 icons )");
  EXPECT_EQ(GroupSelectionText(text, 2057, {}), gap + u"( No selection )");
  EXPECT_EQ(GroupSelectionText(text, 1036, {2, 3, 4}), gap + u"( 3 sélections  / 9 icônes )");
}

TEST(IconViewTexts, StatusAndPaneCaptions) {
  const TextLookup text = UiTextLookup();
  const std::u16string gap = u"          ";
  EXPECT_EQ(FileStatusText(text, 2057, u"a.ico", kContainerIco, 3, 3),
            u"File :a.ico (ICO format, file contains 3 icons / 3 groups)");
  EXPECT_EQ(FileStatusText(text, 2057, u"b.dll", kContainerPe, 1, 1),
            u"File :b.dll (PE format, file contains 1 icon / group)");
  EXPECT_EQ(FileStatusText(text, 2057, u"c.icl", kContainerNe, 4, 1),
            u"File :c.icl (NE format, file contains 4 icons / 1 group)");
  EXPECT_EQ(PaneCaption(text, 2057, 0, 0, false), u"");
  EXPECT_EQ(PaneCaption(text, 2057, 1, 0, true), u" The group has 1 icon" + gap + u"( No selection )");
  EXPECT_EQ(PaneCaption(text, 2057, 1, 1, true), u" The group has 1 icon" + gap + u"( 1 selection )");
  EXPECT_EQ(PaneCaption(text, 2057, 4, 2, false), u" The group has 4 icons" + gap + u"( 2 selections )");
  EXPECT_EQ(PaneCaption(text, 2057, 4, 1, false), u" The group has 4 icons" + gap + u"( 1 selection )");
}

TEST(IconViewGeometry, ThumbnailPlacementAndPaneWidth) {
  const struct {
    int width, height;
    PictureRect at;
  } cases[] = {
      {16, 16, {16, 16, 16, 16}}, {47, 47, {0, 0, 47, 47}},  {48, 48, {0, 0, 48, 48}},
      {256, 256, {0, 0, 48, 48}}, {20, 16, {14, 16, 20, 16}}, {0, 16, {0, 0, 48, 48}},
      {16, 64, {0, 0, 48, 48}},
  };
  for (const auto& c : cases) {
    const PictureRect at = ThumbnailPlacement(c.width, c.height);
    EXPECT_EQ(at.x, c.at.x) << c.width << "x" << c.height;
    EXPECT_EQ(at.y, c.at.y) << c.width << "x" << c.height;
    EXPECT_EQ(at.width, c.at.width) << c.width << "x" << c.height;
    EXPECT_EQ(at.height, c.at.height) << c.width << "x" << c.height;
  }
  EXPECT_EQ(PaneInnerWidth(16), 266);
  EXPECT_EQ(PaneInnerWidth(256), 266);
  EXPECT_EQ(PaneInnerWidth(257), 267);
  EXPECT_EQ(PaneInnerWidth(300), 310);
}

}  // namespace
}  // namespace zx
