// The entry points whose work is still to come do nothing yet.
#include "ui/main/command_entry_points_win.h"

#include "app/application_win.h"
#include "ui/explorer/explorer_win.h"
#include "ui/iconview/icon_view_win.h"

namespace zx {

void SaveGroupSelection(Application&, SaveTarget, int) {}
void SavePictureSelection(Application&, SaveTarget, int) {}
void SaveWholeFile(Application&, SaveTarget, int) {}
void RemoveSelectedGroups(Application&) {}
void RemoveSelectedPictures(Application&) {}
void DeleteSelectedFile(Application&) {}
void GroupSelectionChanged(Application&) {}
void SelectAllPictures(Application&) {}
void UnselectAllPictures(Application&) {}
void ToggleSelection(Application&) {}
void PaneCaption(Application&) {}
void NavigatePicture(Application&, int, bool) {}
bool HasFocusedSelectedPicture(Application&) { return false; }
void ResetPictures(Application&) {}
void OpenSelectedFileIfOther(Application&) {}
void OpenCommand(Application&) {}
void SetFileView(Application&, int) {}
void ShowFolderInTree(Application&, const std::u16string&) {}
void OnExplorerEvent(Application&, int, int) {}
void FavouriteCommand(Application&, int) {}
void PrepareFavouritesMenu(Application&) {}
void OpenConversionWindow(Application&) {}
void OpenPreferencesWindow(Application&) {}
void OpenCreditsWindow(Application&) {}
void OpenAboutWindow(Application&) {}
bool CancelConversion(Application&) { return false; }
void RestoreIconViewInLanguage(Application& app) {
  ApplyListLanguage(app.explorer);
  ApplyViewLanguage(app.iconView);
}

}  // namespace zx
