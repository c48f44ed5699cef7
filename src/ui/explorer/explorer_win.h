// The folder explorer: the folder tree, the format filter, the recent-folder
// box and the file list working together, the Open command, and the display
// of a file the program has just created.
#pragma once

#include <windows.h>

#include <string>

#include "prefs/preference_values.h"
#include "ui/iconview/icon_view_win.h"
#include "ui/main/main_window_win.h"

namespace zx {

// The tree's change event, posted to the main window.
constexpr UINT kFolderTreeChanged = WM_APP + 768;

struct Explorer {
  MainWindow* main = nullptr;
  IconView* view = nullptr;
  PreferenceValues* preferences = nullptr;
  // Fallbacks for a tree path that is no folder.
  std::u16string programFolder;
  // The details view's column widths while another view shows.
  int savedColumnWidths[5] = {};
  bool haveSavedWidths = false;
  // Set while the program itself moves the tree or the list selection.
  bool quiet = false;
};

void AttachExplorer(Explorer& explorer, MainWindow& main, IconView& view, PreferenceValues& preferences,
                    const std::u16string& programPath);
// Fills the tree and points it at the selected recent folder.
void StartExplorer(Explorer& explorer);

// The chosen filter's pattern and the tree's folder.
std::u16string ChosenPattern(const Explorer& explorer);
std::u16string RecentFolder(const Explorer& explorer);

void FolderChanged(Explorer& explorer);
void AddRecentFolder(Explorer& explorer, const std::u16string& folder);
void OpenCommand(Explorer& explorer);
void OpenChosenFile(Explorer& explorer, const std::u16string& path);
void OpenSelectedFile(Explorer& explorer);
// -1: the path's folder is not the tree's; -2: it is but the file is not listed.
int FindListedFile(const Explorer& explorer, const std::u16string& path);
void ShowCreatedFile(Explorer& explorer, const std::u16string& path, int extensionKind, FileOptions displayBit);
void UpdateListedFile(Explorer& explorer, const std::u16string& path, int row);
void RerenderDates(Explorer& explorer, int dateFormat);
// `listViewMode` is the list view's current LV_VIEW_* value: the next view follows it.
void SetFileView(Explorer& explorer, int listViewMode);
void ApplyListLanguage(Explorer& explorer);

// Events of controls 3-6 and the tree's change event; true when handled.
bool OnExplorerNotify(Explorer& explorer, UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result);

}  // namespace zx
