// The entries of the main window's menus: texts, pictures, commands and colours.
#include "ui/menus/main_menus_win.h"

#include "core/thread_context.h"
#include "core/ui_text_win.h"
#include "prefs/preference_values.h"

namespace zx {
namespace {

constexpr COLORREF kSelectionFill = RGB(253, 228, 229);
constexpr COLORREF kSelectionFrame = RGB(248, 119, 124);
constexpr COLORREF kRedLine = RGB(255, 0, 0);
constexpr COLORREF kBlueLine = RGB(0, 0, 255);
constexpr int kKeepText = 1000;
constexpr int kUncompressText = 1001;
constexpr int kSeparatorNumbers = 10000;

MenuColours ColumnScheme(COLORREF column, COLORREF back, COLORREF line) {
  const COLORREF text = GetSysColor(COLOR_MENUTEXT);
  return {text, text, column, back, kSelectionFill, kSelectionFrame, line};
}

MenuColours DropDownScheme() {
  return ColumnScheme(GetSysColor(COLOR_GRADIENTINACTIVECAPTION), RGB(250, 253, 252), kRedLine);
}

// One row of a menu: a command with its text(s) and picture, or a separator.
struct MenuRow {
  int command;    // 0: separator
  int text;       // catalogue number
  int modeText;   // 0, or the Vista mode text appended
  int picture;    // packed icon number, 0 for none
};

class MenuFiller {
 public:
  MenuFiller(MenuFacility& facility, MenuPictureSource pictures, int number, MenuColours colours, int language)
      : facility_(facility), pictures_(pictures), number_(number), colours_(colours), language_(language) {
    facility_.DestroyMenuRecord(number);
    facility_.CreateMenuRecord(number);
  }
  ~MenuFiller() { facility_.CloseMenuRecord(number_); }

  void Add(const MenuRow& row) {
    if (!row.command) {
      separators_.push_back(kSeparatorNumbers + number_ * 20 + static_cast<int>(separators_.size()));
      facility_.AddMenuSeparator(separators_.back(), {u"", colours_});
      return;
    }
    std::u16string text = UiText(row.text, language_);
    if (row.modeText) text += UiText(row.modeText, language_);
    facility_.AddMenuEntry(row.command, {text, colours_});
    if (row.picture) facility_.SetEntryPicture(row.command, pictures_.packedIcons[row.picture].get(), true);
  }
  template <size_t N>
  void AddAll(const MenuRow (&rows)[N]) {
    for (const MenuRow& row : rows) Add(row);
  }
  void ColourSeparator(size_t index, COLORREF colour) {
    if (index < separators_.size()) facility_.SetSeparatorColour(separators_[index], colour);
  }
  size_t separatorCount() const { return separators_.size(); }
  void Italic() { facility_.SetMenuStyle(number_, kMenuStyleFlags, kMenuItalicOn); }

 private:
  MenuFacility& facility_;
  MenuPictureSource pictures_;
  int number_;
  MenuColours colours_;
  int language_;
  std::vector<int> separators_;
};

// Menus 23 and 1 share their layout: selection commands, four save pairs, remove.
void BuildSelectionMenu(MenuFacility& facility, MenuPictureSource pictures, int number, int first, int remove,
                        COLORREF column, int language) {
  MenuFiller menu(facility, pictures, number, ColumnScheme(column, GetSysColor(COLOR_WINDOW), kRedLine), language);
  const MenuRow rows[] = {
      {first, 1010, 0, 28},
      {first + 1, 1011, 0, 29},
      {first + 2, 1012, 0, 30},
      {},
      {first + 3, 1002, kKeepText, 31},
      {first + 4, 1002, kUncompressText, 32},
      {},
      {first + 5, 1005, kKeepText, 33},
      {first + 6, 1005, kUncompressText, 34},
      {},
      {first + 7, 1004, kKeepText, 35},
      {first + 8, 1004, kUncompressText, 36},
      {},
      {first + 9, 1003, kKeepText, 37},
      {first + 10, 1003, kUncompressText, 38},
      {},
      {remove, 1006, 0, 27},
  };
  menu.AddAll(rows);
  menu.ColourSeparator(0, kBlueLine);
  menu.ColourSeparator(menu.separatorCount() - 1, kBlueLine);
  menu.Italic();
}

void BuildFileListMenu(MenuFacility& facility, MenuPictureSource pictures, int language) {
  MenuFiller menu(facility, pictures, kFileListMenu,
                  ColumnScheme(RGB(236, 228, 175), GetSysColor(COLOR_WINDOW), kRedLine), language);
  const MenuRow rows[] = {
      {49, 1002, kKeepText, 31}, {50, 1002, kUncompressText, 32}, {},
      {51, 1005, kKeepText, 33}, {52, 1005, kUncompressText, 34}, {},
      {53, 1004, kKeepText, 35}, {54, 1004, kUncompressText, 36}, {},
      {55, 1003, kKeepText, 37}, {56, 1003, kUncompressText, 38}, {},
      {58, 1008, 0, 27},
  };
  menu.AddAll(rows);
  menu.ColourSeparator(menu.separatorCount() - 1, kBlueLine);
  menu.Italic();
}

void BuildSystemMenu(MenuFacility& facility, HWND window, MenuPictureSource pictures, int language) {
  const MenuColours colours = ColumnScheme(RGB(181, 196, 185), GetSysColor(COLOR_WINDOW), kBlueLine);
  // The window's own menu: restored by the system first, then drawn by the facility again.
  if (!facility.MakeSystemMenuOwnerDrawn(window, colours)) return;
  const struct {
    int command;
    int text;
    int picture;
  } entries[] = {{SC_RESTORE, 5000, 46}, {SC_MOVE, 5001, 0},     {SC_SIZE, 5002, 0},
                 {SC_MINIMIZE, 5003, 47}, {SC_MAXIMIZE, 5004, 48}, {SC_CLOSE, 5005, 27}};
  for (const auto& entry : entries) {
    facility.SetEntryText(entry.command, UiText(entry.text, language));
    if (entry.picture) facility.SetEntryPicture(entry.command, pictures.packedIcons[entry.picture].get(), true);
    if (MenuEntryRecord* record = facility.FindEntry(entry.command)) record->styleFlags = kMenuItalicOn;
  }
}

}  // namespace

void CheckFileViewEntry(MenuFacility& facility, int fileView) {
  facility.CheckEntry(kFileViewMenu, 45, fileView == kFileViewDetails);
  facility.CheckEntry(kFileViewMenu, 46, fileView == kFileViewSmallIcons);
  facility.CheckEntry(kFileViewMenu, 47, fileView != kFileViewDetails && fileView != kFileViewSmallIcons);
}

void CheckLanguageEntry(MenuFacility& facility, int language) {
  facility.CheckEntry(kLanguageMenu, 42, language != kLangFrench);
  facility.CheckEntry(kLanguageMenu, 43, language == kLangFrench);
}

void BuildMenus(MenuFacility& facility, HWND window, MenuPictureSource pictures, int language, int fileView) {
  BuildSystemMenu(facility, window, pictures, language);
  BuildSelectionMenu(facility, pictures, kImagePaneMenu, 24, 35, RGB(211, 208, 237), language);
  BuildSelectionMenu(facility, pictures, kGroupListMenu, 2, 13, RGB(180, 246, 193), language);
  BuildFileListMenu(facility, pictures, language);
  {
    MenuFiller menu(facility, pictures, kFileViewMenu, DropDownScheme(), language);
    const MenuRow rows[] = {{45, 20005, 0, 24}, {46, 20006, 0, 25}, {47, 20007, 0, 26}};
    menu.AddAll(rows);
    menu.Italic();
  }
  CheckFileViewEntry(facility, fileView);
  {
    MenuFiller menu(facility, pictures, kLanguageMenu, DropDownScheme(), language);
    const MenuRow rows[] = {{42, 17211, 0, 41}, {43, 17210, 0, 40}};
    menu.AddAll(rows);
    menu.Italic();
  }
  CheckLanguageEntry(facility, language);
}

void BuildPreferencesMenu(MenuFacility& facility, MenuPictureSource pictures, int language) {
  MenuFiller menu(facility, pictures, kPreferencesMenu, DropDownScheme(), language);
  const MenuRow rows[] = {{201, 1016, 0, 0}, {}, {202, 1017, 0, 0}};
  menu.AddAll(rows);
}

void BuildFavouritesMenu(MenuFacility& facility, MenuPictureSource pictures, int language) {
  MenuFiller menu(facility, pictures, kFavouritesMenu, DropDownScheme(), language);
  const MenuRow rows[] = {{106, 1013, 0, 0}, {107, 1014, 0, 0}, {108, 1015, 0, 0}};
  menu.AddAll(rows);
}

}  // namespace zx
