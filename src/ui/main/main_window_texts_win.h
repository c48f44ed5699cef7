// The texts and language pictures of the main window's controls, set again
// in place whenever the language changes.
#pragma once

#include <string>

#include "core/thread_context.h"
#include "ui/main/main_window_win.h"

namespace zx {

// Tool bar 2's pictures of the two languages (list "86").
constexpr int kEnglishPicture = 5;
constexpr int kFrenchPicture = 6;
constexpr int kLanguageButton = 513;
constexpr int kFileViewButton = 512;

// The format filter box's names in `language`, keeping its selection.
void FillFormatFilterBox(const MainWindow& main, int language, int selected);
// Tool bar 1's captions, the format names, the band captions, the language
// button's picture and the file list's column titles. 0 with fatal 200 when a
// caption cannot be set, or message 7 (site 60) when tool bar 1 is missing.
int RelabelMainWindow(ThreadContext& ctx, const MainWindow& main, int language);
// The tool tip of tool bar 2's button `command` (510-513) in `language`:
// language-neutral texts, 30016-30019 English and 30020-30023 French.
std::u16string ToolBar2Tip(int command, int language);
// The picture of button 512 for a file view (1 details, 2 small icons, 4 tiles).
void ShowFileViewPicture(const MainWindow& main, int fileView);

}  // namespace zx
