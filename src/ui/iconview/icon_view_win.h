// The icon view: the group list's thumbnails and the image pane's pictures of
// the shown group, their selections, and the three information texts; and
// the opening of a file into it.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "core/error_report_win.h"
#include "core/icon_document.h"
#include "core/thread_context.h"
#include "core/win_handles.h"
#include "ui/iconview/pane_picture_win.h"
#include "ui/main/main_window_win.h"

namespace zx {

// Picture buttons carry these window ids, in display order.
constexpr int kFirstPictureButton = 1000;

struct IconViewTexts {
  std::u16string groupCaption;
  std::u16string paneCaption;
};

struct IconView {
  MainWindow* main = nullptr;
  ThreadContext* ctx = nullptr;
  IconDocument* document = nullptr;
  ErrorReporter* reporter = nullptr;
  // The images of the shown group, in display order.
  std::vector<PanePicture> pictures;
  // The group list item whose images the pane shows, -1 for none.
  int shownItem = -1;
  UniqueGdiObject captionFont;
  IconViewTexts english;
  IconViewTexts french;
  // True while a file is being opened: the group list's own notifications wait.
  bool opening = false;
  IconViewTexts& For(int language) { return language == 1036 ? french : english; }
};

void AttachIconView(IconView& view, MainWindow& main, ThreadContext& ctx, IconDocument& document,
                    ErrorReporter& reporter);

// Closes the current document and opens `path` into the view, selecting
// group list item `itemToSelect`; a `scrollAmount` above 0 scrolls the group
// list by that many pixels, else the item is brought into view; `clearStatus`
// empties the status texts before an .ico file is shown. Failures go to the
// error panel (or a message box when the caller asked for one).
void OpenIconFile(IconView& view, const std::u16string& path, int itemToSelect = 0, int scrollAmount = 0,
                  bool clearStatus = false);

// Empties the view and releases the document; the status texts go too when
// `fileListEmpty`.
void CloseViewDocument(IconView& view, bool fileListEmpty);

// Shows group list item `item` in the image pane; -1 empties it.
int ShowGroup(IconView& view, int item);
void ClearPanePictures(IconView& view);

// The status text and both captions, in both languages, shown in the current one.
void ShowFileTexts(IconView& view);
// Both captions emptied in both languages.
void ClearViewCaptions(IconView& view);
// Shows the stored texts of the current language (after a language change).
void ApplyViewLanguage(IconView& view);

// The pane's selection commands and the mouse's clicks on a picture.
void SelectAllPictures(IconView& view);
void UnselectAllPictures(IconView& view);
void ToggleSelection(IconView& view);
void ResetPictures(IconView& view);
int FocusedPicture(const IconView& view);
void ClickPicture(IconView& view, int index, bool control, bool shift);
PictureStates PictureStatesOf(const IconView& view);

// The group list's selected items (as their image counts) and their indexes.
std::vector<int> SelectedGroupItems(const IconView& view);

// Control events of the group list and the picture buttons; true when handled.
bool OnIconViewNotify(IconView& view, UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result);

}  // namespace zx
