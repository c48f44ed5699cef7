// The owner-drawn menus: every popup menu of the program and the main
// window's system menu draw a 16 x 16 picture in a coloured column, their
// text beside it and a coloured frame around the highlighted entry. The
// facility keeps the menus and their entries, answers the system's measuring
// and drawing requests for the windows that own them, and shows the menus.
#pragma once

#include <windows.h>

#include <map>
#include <memory>
#include <string>
#include <vector>

#include "core/win_handles.h"

namespace zx {

// Font style flags of an entry, applied to the menu font.
enum MenuStyleFlag : int {
  kMenuUnderlineOn = 0x4,
  kMenuStrikeOutOn = 0x8,
  kMenuUnderlineOff = 0x10,
  kMenuStrikeOutOff = 0x20,
  kMenuNormalWeight = 0x40,
  kMenuItalicOff = 0x80,
  kMenuBold = 0x100,
  kMenuItalicOn = 0x200,
  kMenuPlain = 0x400,
};

enum MenuKind : int { kPopupMenu = 2, kSystemMenu = 4 };
enum MenuEntryKind : int { kMenuEntry = 2, kMenuSeparator = 8 };

// SetMenuStyle's subjects.
constexpr int kMenuStyleFont = 1;
constexpr int kMenuStyleFlags = 2;

// Metrics for 16 x 16 pictures.
constexpr int kMenuPictureSize = 16;
constexpr int kMenuColumnWidth = kMenuPictureSize + 8;
constexpr int kMenuTextLeft = kMenuPictureSize + 18;
constexpr int kMenuMinimumHeight = kMenuPictureSize + 8;
constexpr int kSeparatorWidth = 10;
constexpr int kSeparatorHeight = 7;
constexpr int kSeparatorLineTop = 3;

struct MenuColours {
  COLORREF text;
  COLORREF selectedText;
  COLORREF column;
  COLORREF back;
  COLORREF selectionFill;
  COLORREF selectionFrame;
  COLORREF line;
};

struct MenuEntryDescription {
  std::u16string text;
  MenuColours colours;
};

struct MenuRecord {
  int number = 0;
  HMENU menu = nullptr;
  int kind = kPopupMenu;
  // While it is shown: the window that receives its commands.
  HWND owner = nullptr;
};

struct MenuEntryRecord {
  int command = 0;
  MenuRecord* menu = nullptr;
  int kind = kMenuEntry;
  std::u16string text;
  MenuColours colours = {};
  int styleFlags = 0;
  // A font given for the whole menu; null: the facility's menu font.
  HFONT font = nullptr;
  UniqueBitmap picture;
  UniqueBitmap checkedPicture;
  // The system menu's Close entry, always bold.
  bool alwaysBold = false;
};

// The owner states of an entry, as the system reports them when drawing.
struct MenuEntryState {
  bool highlighted = false;
  bool disabled = false;
  bool checked = false;
};

class MenuFacility {
 public:
  MenuFacility() = default;
  ~MenuFacility();
  MenuFacility(const MenuFacility&) = delete;
  MenuFacility& operator=(const MenuFacility&) = delete;

  // The menu font, the default check picture and the system colours; before
  // any menu exists.
  void Prepare();
  // Destroys every menu, font and picture and puts back every window procedure replaced.
  void Teardown();

  HMENU CreateMenuRecord(int number);
  int AddMenuEntry(int command, const MenuEntryDescription& description);
  int AddMenuSeparator(int number, const MenuEntryDescription& description);
  // `picture` is an icon or a bitmap; it is copied to a 16 x 16 bitmap.
  int SetEntryPicture(int command, HANDLE picture, bool isIcon);
  int SetEntryText(int command, const std::u16string& text);
  int SetSeparatorColour(int number, COLORREF colour);
  int SetMenuStyle(int number, int what, INT_PTR value);
  int CloseMenuRecord(int number);
  HMENU MakeSystemMenuOwnerDrawn(HWND window, const MenuColours& colours);
  int ShowPopupMenu(int number, HWND window, int x, int y);
  int DestroyMenuRecord(int number);

  HMENU MenuHandle(int number) const;
  // Checks or unchecks the entry of `command` in menu `number`.
  int CheckEntry(int number, int command, bool checked);
  int EnableEntry(int number, int command, bool enabled);
  MenuEntryRecord* FindEntry(int command);

  // The system's requests, answered for any device context (the drawing
  // goes through an off-screen bitmap of the entry's size).
  SIZE MeasureEntry(HDC dc, const MenuEntryRecord& entry);
  void DrawEntry(HDC dc, const RECT& rect, const MenuEntryRecord& entry, MenuEntryState state);

  // The answer to WM_MEASUREITEM / WM_DRAWITEM for an entry of the facility.
  bool HandleMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

  HFONT menuFont() const { return menuFont_; }

 private:
  MenuRecord* FindMenu(int number) const;
  MenuEntryRecord* EntryFromData(ULONG_PTR data) const;
  HFONT FontFor(const MenuEntryRecord& entry, int flags);
  bool Subclass(HWND window);
  void Unsubclass(HWND window);
  int AppendOwnerDrawn(int command, int kind, const MenuEntryDescription& description);

  std::vector<std::unique_ptr<MenuRecord>> menus_;
  std::vector<std::unique_ptr<MenuEntryRecord>> entries_;
  int filling_ = 0;
  HFONT menuFont_ = nullptr;
  bool ownsMenuFont_ = false;
  COLORREF grayText_ = 0;
  bool haveMsimg32_ = false;
  UniqueBitmap defaultCheck_;
  // Fonts with style flags, by base font and flags.
  std::map<std::pair<HFONT, int>, UniqueGdiObject> styledFonts_;
  std::vector<HWND> subclassed_;
};

// The picture handling of the entries, separate so that it can be checked on its own.
// A 32-bit top-down copy of an icon or bitmap at 16 x 16.
HBITMAP CopyMenuPicture(HANDLE picture, bool isIcon);
// The picture ready for its background: every pixel of the top-left pixel's
// colour becomes `background`; a disabled picture is then faded towards `column`.
HBITMAP PrepareMenuPicture(HBITMAP picture, COLORREF background, bool disabled, COLORREF column);
// The 70/255 + 185/255 mix of the disabled entries.
COLORREF FadeTowards(COLORREF colour, COLORREF towards);
// The default check picture: an 822-byte, 16 x 16, 24-bit BMP image.
const std::vector<uint8_t>& DefaultCheckPictureFile();
HBITMAP LoadDefaultCheckPicture();

}  // namespace zx
