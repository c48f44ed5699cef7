// The commands of the main window whose work belongs to other parts of the
// program: one entry point each, called by the command dispatch once the
// command has been recognised (and, for long work, with the window disabled
// and the wait cursor shown). Each reports its own failures.
#pragma once

#include <string>

#include "ops/icon_writers_win.h"

namespace zx {

struct Application;

// Commands 14-21: the group list selection saved in `target` (dispatch by
// container kind has already refused documents that are not PE, NE or ICO).
void SaveGroupSelection(Application& app, SaveTarget target, int vistaMode);
// Commands 27-34: the selected pictures of the image pane.
void SavePictureSelection(Application& app, SaveTarget target, int vistaMode);
// Commands 49-56: the whole opened file.
void SaveWholeFile(Application& app, SaveTarget target, int vistaMode);
// Command 22: the selected groups removed from the opened file.
void RemoveSelectedGroups(Application& app);
// Command 35: the selected pictures removed from the opened file.
void RemoveSelectedPictures(Application& app);
// Commands 40 and 58: the selected file deleted.
void DeleteSelectedFile(Application& app);

// Commands 2-4 have changed the group list's selection: the file texts and
// the image pane follow it. Also after a left click on the group list.
void GroupSelectionChanged(Application& app);
// Commands 24-26 and the shortcuts: the image pane's picture selection.
void SelectAllPictures(Application& app);
void UnselectAllPictures(Application& app);
void ToggleSelection(Application& app);
// The image pane's caption after a change of the picture selection.
void PaneCaption(Application& app);
// Up and Down arrows while a picture has the focus.
void NavigatePicture(Application& app, int key, bool shift);
// True when a picture is selected and has the focus.
bool HasFocusedSelectedPicture(Application& app);
// Resets every picture to plain.
void ResetPictures(Application& app);

// Before the file list's menu opens: the selected row opened when it is not the opened document.
void OpenSelectedFileIfOther(Application& app);
// Command 500.
void OpenCommand(Application& app);
// Commands 45-47 and 512: the file list shows `view` (1 details, 2 small icons, 4 tiles).
void SetFileView(Application& app, int view);
// Command 511: an existing folder pasted into the folder tree.
void ShowFolderInTree(Application& app, const std::u16string& folder);
// Control events of the recent box (3), format box (4), folder tree (5),
// file list (6) and group list (7).
void OnExplorerEvent(Application& app, int control, int event);

// Commands 106-109...: favourites; 105 is prepared before it opens.
void FavouriteCommand(Application& app, int command);
void PrepareFavouritesMenu(Application& app);
// Commands 503, 201, 506, 507: the secondary windows.
void OpenConversionWindow(Application& app);
void OpenPreferencesWindow(Application& app);
void OpenCreditsWindow(Application& app);
void OpenAboutWindow(Application& app);
// Command 103 while a conversion runs: asks the worker to stop. False when none runs.
bool CancelConversion(Application& app);

// After a change of language: the group shown again with its pictures'
// states and scroll position kept.
void RestoreIconViewInLanguage(Application& app);

}  // namespace zx
