// The menus of the main window: the system menu, the image pane menu (23),
// the group list menu (1), the file list menu (48), the file view (44) and
// language (41) drop-downs, the preferences drop-down (200) and the
// favourites drop-down (105).
#pragma once

#include <windows.h>

#include "core/win_handles.h"
#include "ui/menus/menu_facility_win.h"

namespace zx {

enum MainMenu : int {
  kGroupListMenu = 1,
  kImagePaneMenu = 23,
  kLanguageMenu = 41,
  kFileViewMenu = 44,
  kFileListMenu = 48,
  kFavouritesMenu = 105,
  kPreferencesMenu = 200,
};

// The pictures of the entries: the packed icons by number (20-48).
struct MenuPictureSource {
  const UniqueIcon* packedIcons;
};

// Builds (or rebuilds after a change of language) the system menu and menus
// 23, 1, 48, 44 and 41. `fileView` (1, 2 or 4) and `language` choose the checks.
void BuildMenus(MenuFacility& facility, HWND window, MenuPictureSource pictures, int language, int fileView);
// Menu 200, owned by the preferences.
void BuildPreferencesMenu(MenuFacility& facility, MenuPictureSource pictures, int language);
// Menu 105 with its fixed entries; the favourites themselves are added by their owner.
void BuildFavouritesMenu(MenuFacility& facility, MenuPictureSource pictures, int language);

// The checks of menus 44 and 41.
void CheckFileViewEntry(MenuFacility& facility, int fileView);
void CheckLanguageEntry(MenuFacility& facility, int language);

}  // namespace zx
