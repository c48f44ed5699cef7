// The menus and entries of the facility, the system's measuring and drawing
// requests, and the showing of a popup menu.
#include "ui/menus/menu_facility_win.h"

#include <commctrl.h>

#include <algorithm>

#include "core/win_text.h"

namespace zx {
namespace {

constexpr UINT_PTR kMenuSubclassId = 0x4D45;
constexpr int kFontAttempts = 6;
constexpr int kTabExtra = 20;
constexpr int kRightMargin = 10;
constexpr int kMinimumTextHeight = 20;

LRESULT CALLBACK MenuOwnerProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR,
                                    DWORD_PTR data) {
  auto* facility = reinterpret_cast<MenuFacility*>(data);
  if ((message == WM_MEASUREITEM || message == WM_DRAWITEM) &&
      facility->HandleMessage(window, message, wParam, lParam)) {
    return TRUE;
  }
  if (message == WM_NCDESTROY) RemoveWindowSubclass(window, MenuOwnerProcedure, kMenuSubclassId);
  return DefSubclassProc(window, message, wParam, lParam);
}

HFONT CopyOfStockFont(int stock) {
  LOGFONTW font = {};
  if (!GetObjectW(GetStockObject(stock), sizeof(font), &font)) return nullptr;
  for (int attempt = 0; attempt < kFontAttempts; ++attempt) {
    if (HFONT copy = CreateFontIndirectW(&font)) return copy;
  }
  return nullptr;
}

void ApplyStyleFlags(LOGFONTW& font, int flags) {
  if (flags & kMenuPlain) {
    font.lfWeight = FW_NORMAL;
    font.lfItalic = font.lfUnderline = font.lfStrikeOut = FALSE;
  }
  if (flags & kMenuNormalWeight) font.lfWeight = FW_NORMAL;
  if (flags & kMenuBold) font.lfWeight = FW_BOLD;
  if (flags & kMenuItalicOff) font.lfItalic = FALSE;
  if (flags & kMenuItalicOn) font.lfItalic = TRUE;
  if (flags & kMenuUnderlineOff) font.lfUnderline = FALSE;
  if (flags & kMenuUnderlineOn) font.lfUnderline = TRUE;
  if (flags & kMenuStrikeOutOff) font.lfStrikeOut = FALSE;
  if (flags & kMenuStrikeOutOn) font.lfStrikeOut = TRUE;
}

void FillSolid(HDC dc, const RECT& rect, COLORREF colour) {
  UniqueGdiObject brush(CreateSolidBrush(colour));
  FillRect(dc, &rect, static_cast<HBRUSH>(brush.get()));
}

std::u16string WithoutTabs(const std::u16string& text) {
  std::u16string plain = text;
  plain.erase(std::remove(plain.begin(), plain.end(), u'\t'), plain.end());
  return plain;
}

}  // namespace

MenuFacility::~MenuFacility() { Teardown(); }

void MenuFacility::Prepare() {
  menuFont_ = CopyOfStockFont(DEFAULT_GUI_FONT);
  if (!menuFont_) menuFont_ = CopyOfStockFont(SYSTEM_FONT);
  ownsMenuFont_ = menuFont_ != nullptr;
  if (!menuFont_) menuFont_ = static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
  grayText_ = GetSysColor(COLOR_GRAYTEXT);
  UniqueModule msimg32(LoadLibraryW(L"Msimg32.dll"));
  haveMsimg32_ = msimg32.valid();
  defaultCheck_.Reset(LoadDefaultCheckPicture());
}

void MenuFacility::Teardown() {
  while (!menus_.empty()) DestroyMenuRecord(menus_.back()->number);
  for (HWND window : subclassed_) {
    if (IsWindow(window)) RemoveWindowSubclass(window, MenuOwnerProcedure, kMenuSubclassId);
  }
  subclassed_.clear();
  styledFonts_.clear();
  defaultCheck_.Reset();
  if (ownsMenuFont_) DeleteObject(menuFont_);
  menuFont_ = nullptr;
  ownsMenuFont_ = false;
  filling_ = 0;
}

MenuRecord* MenuFacility::FindMenu(int number) const {
  for (const auto& menu : menus_) {
    if (menu->number == number) return menu.get();
  }
  return nullptr;
}

HMENU MenuFacility::MenuHandle(int number) const {
  const MenuRecord* menu = FindMenu(number);
  return menu ? menu->menu : nullptr;
}

MenuEntryRecord* MenuFacility::FindEntry(int command) {
  // The latest entry of that number: the menu being filled, else the newest menu.
  for (auto it = entries_.rbegin(); it != entries_.rend(); ++it) {
    if ((*it)->command == command) return it->get();
  }
  return nullptr;
}

MenuEntryRecord* MenuFacility::EntryFromData(ULONG_PTR data) const {
  for (const auto& entry : entries_) {
    if (reinterpret_cast<ULONG_PTR>(entry.get()) == data) return entry.get();
  }
  return nullptr;
}

HMENU MenuFacility::CreateMenuRecord(int number) {
  if (filling_ || FindMenu(number)) return nullptr;
  HMENU menu = CreatePopupMenu();
  if (!menu) return nullptr;
  auto record = std::make_unique<MenuRecord>();
  record->number = number;
  record->menu = menu;
  record->kind = kPopupMenu;
  menus_.push_back(std::move(record));
  filling_ = number;
  return menu;
}

int MenuFacility::AppendOwnerDrawn(int command, int kind, const MenuEntryDescription& description) {
  MenuRecord* menu = FindMenu(filling_);
  if (!menu) return -1;
  if (kind == kMenuEntry && description.text.empty()) return -1;
  auto entry = std::make_unique<MenuEntryRecord>();
  entry->command = command;
  entry->menu = menu;
  entry->kind = kind;
  entry->text = description.text;
  entry->colours = description.colours;
  MENUITEMINFOW item = {sizeof(item)};
  item.fMask = MIIM_FTYPE | MIIM_ID | MIIM_DATA;
  item.fType = MFT_OWNERDRAW | (kind == kMenuSeparator ? MFT_SEPARATOR : 0);
  item.wID = static_cast<UINT>(command);
  item.dwItemData = reinterpret_cast<ULONG_PTR>(entry.get());
  if (!InsertMenuItemW(menu->menu, GetMenuItemCount(menu->menu), TRUE, &item)) return -1;
  entries_.push_back(std::move(entry));
  return 0;
}

int MenuFacility::AddMenuEntry(int command, const MenuEntryDescription& description) {
  return AppendOwnerDrawn(command, kMenuEntry, description);
}

int MenuFacility::AddMenuSeparator(int number, const MenuEntryDescription& description) {
  return AppendOwnerDrawn(number, kMenuSeparator, description);
}

int MenuFacility::SetEntryPicture(int command, HANDLE picture, bool isIcon) {
  MenuEntryRecord* entry = FindEntry(command);
  if (!entry || entry->kind != kMenuEntry) return -1;
  UniqueBitmap copy(CopyMenuPicture(picture, isIcon));
  if (!copy) return -1;
  MENUITEMINFOW item = {sizeof(item)};
  item.fMask = MIIM_CHECKMARKS;
  item.hbmpUnchecked = copy.get();
  item.hbmpChecked = entry->checkedPicture.get();
  if (!SetMenuItemInfoW(entry->menu->menu, static_cast<UINT>(command), FALSE, &item)) return -1;
  entry->picture = std::move(copy);
  return 0;
}

int MenuFacility::SetEntryText(int command, const std::u16string& text) {
  MenuEntryRecord* entry = FindEntry(command);
  if (!entry || entry->kind != kMenuEntry || text.empty()) return -1;
  entry->text = text;
  return 0;
}

int MenuFacility::SetSeparatorColour(int number, COLORREF colour) {
  MenuEntryRecord* entry = FindEntry(number);
  if (!entry || entry->kind != kMenuSeparator) return -1;
  entry->colours.line = colour;
  return 0;
}

int MenuFacility::SetMenuStyle(int number, int what, INT_PTR value) {
  MenuRecord* menu = FindMenu(number);
  if (!menu || (what != kMenuStyleFont && what != kMenuStyleFlags)) return -1;
  for (const auto& entry : entries_) {
    if (entry->menu != menu) continue;
    if (what == kMenuStyleFont) entry->font = reinterpret_cast<HFONT>(value);
    if (what == kMenuStyleFlags && entry->kind == kMenuEntry) entry->styleFlags = static_cast<int>(value);
  }
  return 0;
}

int MenuFacility::CloseMenuRecord(int number) {
  if (filling_ != number) return -1;
  filling_ = 0;
  return 0;
}

int MenuFacility::CheckEntry(int number, int command, bool checked) {
  MenuRecord* menu = FindMenu(number);
  if (!menu) return -1;
  return CheckMenuItem(menu->menu, command, MF_BYCOMMAND | (checked ? MF_CHECKED : MF_UNCHECKED)) == static_cast<DWORD>(-1) ? -1 : 0;
}

int MenuFacility::EnableEntry(int number, int command, bool enabled) {
  MenuRecord* menu = FindMenu(number);
  if (!menu) return -1;
  return EnableMenuItem(menu->menu, command, MF_BYCOMMAND | (enabled ? MF_ENABLED : MF_GRAYED)) == -1 ? -1 : 0;
}

bool MenuFacility::Subclass(HWND window) {
  if (std::find(subclassed_.begin(), subclassed_.end(), window) != subclassed_.end()) return true;
  if (!SetWindowSubclass(window, MenuOwnerProcedure, kMenuSubclassId, reinterpret_cast<DWORD_PTR>(this))) return false;
  subclassed_.push_back(window);
  return true;
}

void MenuFacility::Unsubclass(HWND window) {
  RemoveWindowSubclass(window, MenuOwnerProcedure, kMenuSubclassId);
  subclassed_.erase(std::remove(subclassed_.begin(), subclassed_.end(), window), subclassed_.end());
}

HMENU MenuFacility::MakeSystemMenuOwnerDrawn(HWND window, const MenuColours& colours) {
  if (!IsWindow(window) || filling_) return nullptr;
  SetWindowLongPtrW(window, GWL_STYLE, GetWindowLongPtrW(window, GWL_STYLE) | WS_SYSMENU);
  HMENU system = GetSystemMenu(window, FALSE);
  if (!system) return nullptr;
  // The system menu is numbered by its window.
  const int number = -static_cast<int>(reinterpret_cast<INT_PTR>(window) & 0x7FFFFFFF);
  if (FindMenu(number)) DestroyMenuRecord(number);
  auto record = std::make_unique<MenuRecord>();
  record->number = number;
  record->menu = system;
  record->kind = kSystemMenu;
  record->owner = window;
  MenuRecord* menu = record.get();
  menus_.push_back(std::move(record));
  const int count = GetMenuItemCount(system);
  for (int position = 0; position < count; ++position) {
    wchar_t text[256] = {};
    MENUITEMINFOW item = {sizeof(item)};
    item.fMask = MIIM_FTYPE | MIIM_ID | MIIM_STRING;
    item.dwTypeData = text;
    item.cch = 255;
    if (!GetMenuItemInfoW(system, position, TRUE, &item)) continue;
    auto entry = std::make_unique<MenuEntryRecord>();
    entry->menu = menu;
    entry->command = static_cast<int>(item.wID);
    entry->kind = (item.fType & MFT_SEPARATOR) ? kMenuSeparator : kMenuEntry;
    entry->text = FromWide(text);
    entry->colours = colours;
    entry->alwaysBold = item.wID == SC_CLOSE;
    MENUITEMINFOW owner = {sizeof(owner)};
    owner.fMask = MIIM_FTYPE | MIIM_DATA;
    owner.fType = item.fType | MFT_OWNERDRAW;
    owner.dwItemData = reinterpret_cast<ULONG_PTR>(entry.get());
    if (SetMenuItemInfoW(system, position, TRUE, &owner)) entries_.push_back(std::move(entry));
  }
  Subclass(window);
  return system;
}

int MenuFacility::ShowPopupMenu(int number, HWND window, int x, int y) {
  MenuRecord* menu = FindMenu(number);
  if (filling_ || !menu || menu->kind != kPopupMenu || !IsWindow(window)) return -1;
  const bool wasSubclassed = std::find(subclassed_.begin(), subclassed_.end(), window) != subclassed_.end();
  if (!Subclass(window)) return -1;
  menu->owner = window;
  if (x < 0 || y < 0) {
    POINT cursor = {};
    GetCursorPos(&cursor);
    x = cursor.x;
    y = cursor.y;
  }
  if (!TrackPopupMenuEx(menu->menu, TPM_VERTICAL | TPM_RIGHTBUTTON, x, y, window, nullptr)) {
    if (!wasSubclassed) Unsubclass(window);
    return -1;
  }
  return 0;
}

int MenuFacility::DestroyMenuRecord(int number) {
  auto found = std::find_if(menus_.begin(), menus_.end(), [&](const auto& m) { return m->number == number; });
  if (found == menus_.end()) return -1;
  MenuRecord* menu = found->get();
  if (menu->kind == kPopupMenu) {
    DestroyMenu(menu->menu);
  } else if (IsWindow(menu->owner)) {
    GetSystemMenu(menu->owner, TRUE);
  }
  std::erase_if(entries_, [&](const auto& entry) { return entry->menu == menu; });
  if (filling_ == number) filling_ = 0;
  menus_.erase(found);
  return 0;
}

HFONT MenuFacility::FontFor(const MenuEntryRecord& entry, int flags) {
  HFONT base = entry.font ? entry.font : menuFont_;
  if (entry.alwaysBold) flags |= kMenuBold;
  if (!flags || !base) return base;
  UniqueGdiObject& styled = styledFonts_[{base, flags}];
  if (!styled) {
    LOGFONTW font = {};
    if (!GetObjectW(base, sizeof(font), &font)) return base;
    ApplyStyleFlags(font, flags);
    styled.Reset(CreateFontIndirectW(&font));
  }
  return styled ? static_cast<HFONT>(styled.get()) : base;
}

SIZE MenuFacility::MeasureEntry(HDC dc, const MenuEntryRecord& entry) {
  if (entry.kind == kMenuSeparator) return {kSeparatorWidth, kSeparatorHeight};
  SelectedObject font(dc, FontFor(entry, entry.styleFlags));
  // The measure counts an accelerator mark even where the text has none,
  // and a tab as a gap of its own rather than as a glyph.
  std::u16string measured = WithoutTabs(entry.text);
  if (measured.find(u'&') == std::u16string::npos) measured += u'&';
  SIZE text = {};
  GetTextExtentPoint32W(dc, Wide(measured), static_cast<int>(measured.size()), &text);
  int height = std::max<int>(text.cy, kMinimumTextHeight);
  if (height % 2) ++height;
  int width = kMenuColumnWidth + text.cx + 20;
  if (entry.text.find(u'\t') != std::u16string::npos) width += kTabExtra;
  return {width, std::max(height, kMenuMinimumHeight)};
}

void MenuFacility::DrawEntry(HDC target, const RECT& rect, const MenuEntryRecord& entry, MenuEntryState state) {
  const int width = rect.right - rect.left;
  const int height = rect.bottom - rect.top;
  if (width <= 0 || height <= 0) return;
  UniqueMemoryDc dc(CreateCompatibleDC(target));
  UniqueBitmap canvas(CreateCompatibleBitmap(target, width, height));
  if (!dc || !canvas) return;
  SelectedObject selectedCanvas(dc.get(), canvas.get());
  const MenuColours& c = entry.colours;
  FillSolid(dc.get(), {0, 0, kMenuColumnWidth, height}, c.column);
  FillSolid(dc.get(), {kMenuColumnWidth, 0, width, height}, c.back);

  if (entry.kind == kMenuSeparator) {
    FillSolid(dc.get(), {kMenuColumnWidth, kSeparatorLineTop, width + 1, kSeparatorLineTop + 1}, c.line);
  } else {
    const COLORREF greyText = RGB((70 * GetRValue(c.text) + 185 * GetRValue(c.back)) / 255,
                                  (70 * GetGValue(c.text) + 185 * GetGValue(c.back)) / 255,
                                  (70 * GetBValue(c.text) + 185 * GetBValue(c.back)) / 255);
    COLORREF textColour = state.disabled ? greyText : c.text;
    int flags = 0;
    bool showPicture = true;
    COLORREF pictureGround = c.column;
    if (state.highlighted && !state.disabled) {
      UniqueGdiObject brush(CreateSolidBrush(c.selectionFill));
      UniqueGdiObject pen(CreatePen(PS_SOLID, 1, c.selectionFrame));
      SelectedObject useBrush(dc.get(), brush.get());
      SelectedObject usePen(dc.get(), pen.get());
      Rectangle(dc.get(), 1, 0, width - 1, height);
      textColour = c.selectedText;
      flags = entry.styleFlags;
      pictureGround = c.selectionFill;
    } else if (state.highlighted) {
      UniqueGdiObject frame(CreateSolidBrush(c.selectionFrame));
      const RECT framed = {1, 0, width - 1, height};
      FrameRect(dc.get(), &framed, static_cast<HBRUSH>(frame.get()));
      flags = entry.styleFlags;
      showPicture = false;
    }
    SelectedObject font(dc.get(), FontFor(entry, flags));
    SetBkMode(dc.get(), TRANSPARENT);
    SetTextColor(dc.get(), textColour);
    const size_t tab = entry.text.find(u'\t');
    const std::u16string left = entry.text.substr(0, tab);
    RECT textRect = {kMenuTextLeft, 0, width, height};
    DrawTextW(dc.get(), Wide(left), static_cast<int>(left.size()), &textRect,
              DT_LEFT | DT_SINGLELINE | DT_VCENTER | DT_EXPANDTABS | DT_NOCLIP);
    if (tab != std::u16string::npos) {
      const std::u16string right = entry.text.substr(tab + 1);
      RECT rightRect = {kMenuTextLeft, 0, width - kRightMargin, height};
      DrawTextW(dc.get(), Wide(right), static_cast<int>(right.size()), &rightRect,
                DT_RIGHT | DT_SINGLELINE | DT_VCENTER | DT_NOCLIP);
    }
    HBITMAP picture = state.checked ? (entry.checkedPicture ? entry.checkedPicture.get() : defaultCheck_.get())
                                    : entry.picture.get();
    if (showPicture && picture) {
      UniqueBitmap prepared(PrepareMenuPicture(picture, pictureGround, state.disabled, c.column));
      if (prepared) {
        DrawStateW(dc.get(), nullptr, nullptr, reinterpret_cast<LPARAM>(prepared.get()), 0,
                   (kMenuColumnWidth - kMenuPictureSize) / 2, (height - kMenuPictureSize) / 2, kMenuPictureSize,
                   kMenuPictureSize, DST_BITMAP | DSS_NORMAL);
      }
    }
  }
  BitBlt(target, rect.left, rect.top, width, height, dc.get(), 0, 0, SRCCOPY);
}

bool MenuFacility::HandleMessage(HWND window, UINT message, WPARAM, LPARAM lParam) {
  if (message == WM_MEASUREITEM) {
    auto* measure = reinterpret_cast<MEASUREITEMSTRUCT*>(lParam);
    if (measure->CtlType != ODT_MENU) return false;
    MenuEntryRecord* entry = EntryFromData(measure->itemData);
    if (!entry) return false;
    HDC dc = GetDC(window);
    const SIZE size = MeasureEntry(dc, *entry);
    ReleaseDC(window, dc);
    measure->itemWidth = static_cast<UINT>(size.cx);
    measure->itemHeight = static_cast<UINT>(size.cy);
    return true;
  }
  if (message == WM_DRAWITEM) {
    auto* draw = reinterpret_cast<DRAWITEMSTRUCT*>(lParam);
    if (draw->CtlType != ODT_MENU) return false;
    MenuEntryRecord* entry = EntryFromData(draw->itemData);
    if (!entry) return false;
    MenuEntryState state;
    state.highlighted = (draw->itemState & ODS_SELECTED) != 0;
    state.disabled = (draw->itemState & (ODS_GRAYED | ODS_DISABLED)) != 0;
    state.checked = (draw->itemState & ODS_CHECKED) != 0;
    DrawEntry(draw->hDC, draw->rcItem, *entry, state);
    return true;
  }
  return false;
}

}  // namespace zx
