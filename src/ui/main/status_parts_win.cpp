#include "ui/main/status_parts_win.h"

#include <commctrl.h>

#include <cmath>

#include "core/win_text.h"

namespace zx {
namespace {

constexpr COLORREF kFileLabelColour = RGB(18, 94, 186);
constexpr COLORREF kDetailColour = RGB(23, 17, 119);
// Text starts after the part's picture.
constexpr int kTextIndent = 33;
constexpr int kSecondPieceGap = 39 - kTextIndent;
constexpr UINT_PTR kStatusDrawingId = 2;

void Refresh(StatusBarState& s) {
  if (!s.bar) return;
  for (int part = 0; part < 2; ++part) {
    // The part's record travels as the item data of the owner drawing.
    SendMessageW(s.bar, SB_SETTEXTW, part | SBT_OWNERDRAW, reinterpret_cast<LPARAM>(&s.parts[part]));
  }
  SendMessageW(s.bar, SB_SETICON, 0, reinterpret_cast<LPARAM>(s.parts[0].text.empty() ? nullptr : s.fileIcon));
  SendMessageW(s.bar, SB_SETICON, 1, reinterpret_cast<LPARAM>(s.parts[1].text.empty() ? nullptr : s.detailIcon));
  InvalidateRect(s.bar, nullptr, TRUE);
  UpdateWindow(s.bar);
}

void DrawTextAt(HDC dc, const std::u16string& text, RECT rect) {
  DrawTextW(dc, Wide(text), static_cast<int>(text.size()), &rect,
            DT_LEFT | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX | DT_END_ELLIPSIS);
}

// A copy of a font with another weight and slant.
HFONT DerivedFont(HFONT base, int weight, bool italic) {
  LOGFONTW description = {};
  if (!base || !GetObjectW(base, sizeof(description), &description)) {
    GetObjectW(GetStockObject(DEFAULT_GUI_FONT), sizeof(description), &description);
  }
  description.lfWeight = weight;
  description.lfItalic = italic;
  return CreateFontIndirectW(&description);
}

void DrawPart(const StatusBarState& s, const DRAWITEMSTRUCT& item) {
  const StatusPart& part = s.parts[item.itemID == 0 ? 0 : 1];
  HDC dc = item.hDC;
  const int mode = SetBkMode(dc, TRANSPARENT);
  RECT rect = item.rcItem;
  rect.left += kTextIndent;
  if (item.itemID == 0) {
    UniqueGdiObject font(DerivedFont(s.font, part.weight, false));
    SelectedObject selected(dc, font.get());
    const std::u16string label = part.text.substr(0, part.split);
    SetTextColor(dc, part.firstColour);
    DrawTextAt(dc, label, rect);
    SIZE extent = {};
    GetTextExtentPoint32W(dc, Wide(label), static_cast<int>(label.size()), &extent);
    rect.left += extent.cx + kSecondPieceGap;
    SetTextColor(dc, part.secondColour);
    DrawTextAt(dc, part.text.substr(part.split), rect);
  } else {
    rect.top -= 2;
    UniqueGdiObject font(DerivedFont(reinterpret_cast<HFONT>(GetCurrentObject(dc, OBJ_FONT)), FW_BOLD, true));
    SelectedObject selected(dc, font.get());
    SetTextColor(dc, part.firstColour);
    DrawTextAt(dc, part.text, rect);
  }
  SetBkMode(dc, mode);
}

LRESULT CALLBACK StatusPartDrawing(HWND window, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR,
                                   DWORD_PTR data) {
  auto* s = reinterpret_cast<StatusBarState*>(data);
  if (message == WM_DRAWITEM) {
    const auto* item = reinterpret_cast<const DRAWITEMSTRUCT*>(lParam);
    if (item->hwndItem == s->bar) {
      DrawPart(*s, *item);
      return TRUE;
    }
  } else if (message == WM_NCDESTROY) {
    RemoveWindowSubclass(window, StatusPartDrawing, kStatusDrawingId);
  }
  return DefSubclassProc(window, message, wParam, lParam);
}

}  // namespace

void ShowStatus(StatusBarState& s, int language) {
  const StatusTexts& texts = s.For(language);
  const size_t colon = texts.fileText.find(u':');
  s.parts[0] = {texts.fileText, kFileLabelColour, FW_BOLD,
                colon == std::u16string::npos ? 0 : colon + 1, RGB(0, 0, 0)};
  s.parts[1] = {texts.detailText, kDetailColour, FW_BOLD, 0, kDetailColour};
  Refresh(s);
}

void ClearStatus(StatusBarState& s) {
  s.english = {};
  s.french = {};
  s.parts[0] = {};
  s.parts[1] = {};
  Refresh(s);
}

void SetStatusPartWidths(const StatusBarState& s, int windowWidth) {
  const int edges[2] = {static_cast<int>(std::lrint(0.75 * windowWidth)), -1};
  SendMessageW(s.bar, SB_SETPARTS, 2, reinterpret_cast<LPARAM>(edges));
}

bool InstallStatusPartDrawing(HWND mainWindow, StatusBarState& s) {
  return SetWindowSubclass(mainWindow, StatusPartDrawing, kStatusDrawingId, reinterpret_cast<DWORD_PTR>(&s));
}

}  // namespace zx
