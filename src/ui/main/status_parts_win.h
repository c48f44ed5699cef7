// The two owner-drawn parts of the main window's status bar: the file text
// (its label up to the colon in blue, the rest in black, bold) and the detail
// text (dark blue, bold italic), each with a small picture in front.
#pragma once

#include <windows.h>

#include <string>

#include "core/win_handles.h"

namespace zx {

struct StatusPart {
  std::u16string text;
  COLORREF firstColour = 0;
  // FW_BOLD or FW_NORMAL for the first part's font.
  int weight = FW_NORMAL;
  // Characters drawn in the first colour (up to and including the colon).
  size_t split = 0;
  COLORREF secondColour = 0;
};

// Both texts in one language.
struct StatusTexts {
  std::u16string fileText;
  std::u16string detailText;
};

struct StatusBarState {
  HWND bar = nullptr;
  // Texts of both languages; ShowStatus displays the current language's.
  StatusTexts english;
  StatusTexts french;
  StatusPart parts[2];
  HICON fileIcon = nullptr;    // packed icon 21
  HICON detailIcon = nullptr;  // packed icon 20
  HFONT font = nullptr;        // the start-up font
  StatusTexts& For(int language) { return language == 1036 ? french : english; }
};

// Displays the texts of `language` in both parts and redraws the bar.
void ShowStatus(StatusBarState& status, int language);
// Empties both texts of both languages, both parts and their pictures.
void ClearStatus(StatusBarState& status);
// The first part is three quarters of the window's width, the second the rest.
void SetStatusPartWidths(const StatusBarState& status, int windowWidth);

// Installs the owner drawing of the parts on the status bar's parent (the
// outermost procedure of the main window); it goes again with the window.
bool InstallStatusPartDrawing(HWND mainWindow, StatusBarState& status);

}  // namespace zx
