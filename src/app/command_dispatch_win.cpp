#include "app/command_dispatch_win.h"

#include <shellapi.h>

#include <string>

#include "app/application_win.h"
#include "core/messages.h"
#include "core/ui_text_win.h"
#include "core/win_text.h"
#include "prefs/preference_values.h"
#include "ui/controls/list_view_win.h"
#include "ui/controls/tool_bar_win.h"
#include "ui/main/command_entry_points_win.h"
#include "ui/main/main_window_texts_win.h"
#include "ui/menus/main_menus_win.h"

namespace zx {
namespace {

// Tool bar 2's menus open this much to the left of their button.
constexpr int kToolBar2MenuShift = 5;

// Sites of message 7 for a save on a document of no known container.
constexpr int kIcoSaveSite = 88;
constexpr int kPeIclSaveSite = 89;
constexpr int kDllSaveSite = 90;
constexpr int kNeIclSaveSite = 91;

// While long work runs: the window takes no input and shows the wait cursor.
class LongWork {
 public:
  explicit LongWork(Application& app) : app_(app) {
    EnableWindow(app.main.window, FALSE);
    SetCursor(app.waitCursor);
  }
  ~LongWork() {
    EnableWindow(app_.main.window, TRUE);
    SetCursor(app_.arrowCursor);
  }
  LongWork(const LongWork&) = delete;
  LongWork& operator=(const LongWork&) = delete;

 private:
  Application& app_;
};

void Post(Application& app, int command) { PostMessageW(app.main.window, WM_COMMAND, command, 0); }

// The record of what the window did, for whoever watches it from outside.
void NoteCarriedOut(Application& app, int command) {
  SetPropW(app.main.window, kLastCommandProperty, reinterpret_cast<HANDLE>(static_cast<INT_PTR>(command)));
}

// The control of the main window that has the keyboard focus, or null.
HWND ActiveControl(const MainWindow& main) {
  const HWND focus = GetFocus();
  for (HWND control : {main.groupList, main.fileList, main.imagePane}) {
    if (control && (focus == control || IsChild(control, focus))) return control;
  }
  return nullptr;
}

bool HasSelectedRow(HWND list) { return ListView(list).SelectedCount() > 0; }
bool HasOpenDocument(const Application& app) {
  const int kind = app.document.container;
  return kind == kContainerPe || kind == kContainerNe || kind == kContainerIco;
}

// Forgets what the thread believes of the keys, then asks the keyboard itself:
// a shortcut whose keys have already been let go does nothing.
bool StillHeld(int key) {
  BYTE keys[256] = {};
  SetKeyboardState(keys);
  return (GetAsyncKeyState(VK_CONTROL) & 0x8000) && (GetAsyncKeyState(key) & 0x8000);
}

SaveTarget TargetOfPair(int pair) {
  static constexpr SaveTarget kTargets[] = {SaveTarget::kIco, SaveTarget::kNeIcl, SaveTarget::kPeIcl,
                                            SaveTarget::kPeDll};
  return kTargets[pair];
}

// Commands 14-21: the group selection, refused for a document of no known container.
void SaveGroups(Application& app, int command) {
  const int pair = (command - 14) / 2;
  if (!HasOpenDocument(app)) {
    static constexpr int kSites[] = {kIcoSaveSite, kNeIclSaveSite, kPeIclSaveSite, kDllSaveSite};
    Fail(app.ui, kMsgInternalError, kSites[pair]);
    app.ui.reportInMessageBox = true;
    app.reporter.ReportError();
    app.ui.reportInMessageBox = false;
    return;
  }
  LongWork work(app);
  SaveGroupSelection(app, TargetOfPair(pair), (command - 14) % 2);
}

void SetGroupSelection(Application& app, int command) {
  const int count = static_cast<int>(SendMessageW(app.main.groupList, LVM_GETITEMCOUNT, 0, 0));
  for (int item = 0; item < count; ++item) {
    const bool selected = SendMessageW(app.main.groupList, LVM_GETITEMSTATE, item, LVIS_SELECTED) & LVIS_SELECTED;
    const bool wanted = command == 2 ? true : command == 3 ? false : !selected;
    LVITEMW state = {};
    state.stateMask = LVIS_SELECTED;
    state.state = wanted ? LVIS_SELECTED : 0;
    SendMessageW(app.main.groupList, LVM_SETITEMSTATE, item, reinterpret_cast<LPARAM>(&state));
  }
  app.suppressGroupChange = false;
  GroupSelectionChanged(app);
}

void ChooseLanguage(Application& app, int choice) {
  app.preferences.languageValue = (app.preferences.languageValue & ~kLanguageChoiceMask) | choice;
  ApplyLanguage(app);
}

void ChooseFileView(Application& app, int view) {
  app.preferences.fileOptions = WithFileView(app.preferences.fileOptions, view);
  ShowFileViewPicture(app.main, view);
  CheckFileViewEntry(app.menus, view);
  SetFileView(app, view);
}

int NextFileView(int view) {
  return view == kFileViewDetails ? kFileViewSmallIcons : view == kFileViewSmallIcons ? kFileViewTiles
                                                                                       : kFileViewDetails;
}

std::wstring Trimmed(std::wstring text) {
  const size_t first = text.find_first_not_of(L' ');
  if (first == std::wstring::npos) return L"";
  const size_t last = text.find_last_not_of(L' ');
  return text.substr(first, last - first + 1);
}

std::wstring WindowText(HWND window) {
  const int length = GetWindowTextLengthW(window);
  std::wstring text(static_cast<size_t>(length) + 1, L'\0');
  GetWindowTextW(window, text.data(), length + 1);
  text.resize(static_cast<size_t>(length));
  return text;
}

void CopyRecentFolder(Application& app) {
  const std::wstring text = Trimmed(WindowText(app.main.recentBox));
  if (!OpenClipboard(app.main.window)) return;
  EmptyClipboard();
  const size_t bytes = (text.size() + 1) * sizeof(wchar_t);
  if (HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, bytes)) {
    if (void* target = GlobalLock(memory)) {
      memcpy(target, text.c_str(), bytes);
      GlobalUnlock(memory);
      if (!SetClipboardData(CF_UNICODETEXT, memory)) GlobalFree(memory);
    } else {
      GlobalFree(memory);
    }
  }
  CloseClipboard();
}

void PasteFolder(Application& app) {
  std::wstring text;
  if (!OpenClipboard(app.main.window)) return;
  if (HANDLE data = GetClipboardData(CF_UNICODETEXT)) {
    if (const auto* chars = static_cast<const wchar_t*>(GlobalLock(data))) {
      text = chars;
      GlobalUnlock(data);
    }
  }
  CloseClipboard();
  text = Trimmed(text);
  if (text.empty()) return;
  if (text.back() != L'\\') text += L'\\';
  const DWORD attributes = GetFileAttributesW(text.c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES || !(attributes & FILE_ATTRIBUTE_DIRECTORY)) return;
  ShowFolderInTree(app, FromWide(text));
}

void OpenHelp(Application& app) {
  const size_t slash = app.programPath.find_last_of(u"\\/");
  if (app.programPath.empty() || slash == std::u16string::npos) return;
  const std::u16string help = app.programPath.substr(0, slash + 1) + u"Zorvex.chm";
  ShellExecuteW(app.main.window, L"open", Wide(help), nullptr, nullptr, SW_SHOWNORMAL);
}

void OpenPreferenceFolder(Application& app) {
  ShellExecuteW(app.main.window, L"open", Wide(app.ui.preferenceFolder), nullptr, nullptr, SW_SHOWNORMAL);
}

// Button 502 and Delete: what is removed follows the active control.
void RemoveByActiveControl(Application& app) {
  const HWND active = ActiveControl(app.main);
  if (active == app.main.groupList && HasSelectedRow(app.main.groupList)) {
    Post(app, 22);
  } else if (active == app.main.fileList && HasSelectedRow(app.main.fileList)) {
    Post(app, 40);
  } else if (HasFocusedSelectedPicture(app)) {
    Post(app, 35);
  }
}

void Escape(Application& app) {
  if (CancelConversion(app)) return;
  POINT cursor = {};
  GetCursorPos(&cursor);
  const HWND under = WindowFromPoint(cursor);
  if (ActiveControl(app.main) == app.main.groupList) {
    Post(app, 3);
  } else if (under && (under == app.main.imagePane || IsChild(app.main.imagePane, under))) {
    UnselectAllPictures(app);
  }
  PaneCaption(app);
}

void ToggleByShortcut(Application& app) {
  if (ActiveControl(app.main) == app.main.groupList) {
    app.suppressGroupChange = true;
    Post(app, 4);
  } else {
    ToggleSelection(app);
    PaneCaption(app);
  }
}

// The point below a tool bar button's left edge, in screen coordinates.
POINT BelowButton(HWND bar, int command) {
  RECT rect = {};
  SendMessageW(bar, TB_GETRECT, command, reinterpret_cast<LPARAM>(&rect));
  POINT corner = {rect.left, rect.bottom};
  ClientToScreen(bar, &corner);
  return corner;
}

}  // namespace

// The file list's menu: the selected file opened first, the save entries
// only for a list with rows and an opened document.
void ShowFileListMenu(Application& app, int x, int y) {
  OpenSelectedFileIfOther(app);
  const bool canSave = SendMessageW(app.main.fileList, LVM_GETITEMCOUNT, 0, 0) > 0 && HasOpenDocument(app);
  for (int command = 49; command <= 56; ++command) app.menus.EnableEntry(kFileListMenu, command, canSave);
  app.menus.ShowPopupMenu(kFileListMenu, app.main.window, x, y);
}

namespace {

void CarryOut(Application& app, int command) {
  if (command >= 5 && command <= 12) return Post(app, command + 9);
  if (command == 13) return Post(app, 22);
  if (command == kDeleteShortcut) return Post(app, 502);
  if (command == 513) return Post(app, app.ui.language == kLangFrench ? 42 : 43);
  if (command == kSelectAllShortcut || command == kToggleShortcut) {
    if (!StillHeld(command == kSelectAllShortcut ? 'A' : 'T')) return;
  }
  if (command == 501 || command == 504 || command == 505) return;  // drop-down only

  if (command >= 2 && command <= 4) {
    SetGroupSelection(app, command);
  } else if (command >= 14 && command <= 21) {
    SaveGroups(app, command);
  } else if (command == 22) {
    LongWork work(app);
    RemoveSelectedGroups(app);
  } else if (command == 24) {
    SelectAllPictures(app);
  } else if (command == 25) {
    UnselectAllPictures(app);
  } else if (command == 26) {
    ToggleSelection(app);
  } else if (command >= 27 && command <= 34) {
    LongWork work(app);
    SavePictureSelection(app, TargetOfPair((command - 27) / 2), (command - 27) % 2);
  } else if (command == 35) {
    LongWork work(app);
    RemoveSelectedPictures(app);
  } else if (command == 40 || command == 58) {
    LongWork work(app);
    DeleteSelectedFile(app);
  } else if (command == 42 || command == 43) {
    ChooseLanguage(app, command == 42 ? kLanguageChoiceEnglish : kLanguageChoiceFrench);
  } else if (command >= 45 && command <= 47) {
    ChooseFileView(app, command == 45 ? kFileViewDetails : command == 46 ? kFileViewSmallIcons : kFileViewTiles);
  } else if (command >= 49 && command <= 56) {
    LongWork work(app);
    SaveWholeFile(app, TargetOfPair((command - 49) / 2), (command - 49) % 2);
  } else if (command == kSelectAllShortcut) {
    SelectAllPictures(app);
  } else if (command == kToggleShortcut) {
    ToggleByShortcut(app);
  } else if (command == kEscapeShortcut) {
    Escape(app);
  } else if (command >= 106 && command < 200) {
    FavouriteCommand(app, command);
  } else if (command == 201) {
    OpenPreferencesWindow(app);
  } else if (command == 202) {
    OpenPreferenceFolder(app);
  } else if (command == 500) {
    OpenCommand(app);
  } else if (command == 502) {
    return RemoveByActiveControl(app);
  } else if (command == 503) {
    OpenConversionWindow(app);
  } else if (command == 506) {
    OpenCreditsWindow(app);
  } else if (command == 507) {
    OpenAboutWindow(app);
  } else if (command == 508) {
    OpenHelp(app);
  } else if (command == 509) {
    app.quitRequested = true;
  } else if (command == 510) {
    CopyRecentFolder(app);
  } else if (command == 511) {
    PasteFolder(app);
  } else if (command == 512) {
    ChooseFileView(app, NextFileView(FileViewOf(NormaliseFileView(app.preferences.fileOptions))));
  } else {
    return;  // 57 and every unlisted number
  }
  NoteCarriedOut(app, command);
}

}  // namespace

void DispatchCommand(Application& app, int command) {
  CarryOut(app, command);
  // Counted once handled, so that a watcher who sees the count sees its result.
  const INT_PTR handled = reinterpret_cast<INT_PTR>(GetPropW(app.main.window, kCommandCountProperty));
  SetPropW(app.main.window, kCommandCountProperty, reinterpret_cast<HANDLE>(handled + 1));
}

void DispatchControlEvent(Application& app, int control, int event) {
  if (control == kPaneContainer) {
    SetFocus(app.main.imagePane);
  } else if (control == kRecentBox || control == kFormatBox) {
    OnExplorerEvent(app, control, event);
  }
}

LRESULT DispatchNotify(Application& app, NMHDR* header) {
  MainWindow& main = app.main;
  if (header->code == TTN_GETDISPINFOW && header->idFrom >= 510 && header->idFrom <= 513) {
    // The text must outlive the notification.
    static std::u16string tip;
    tip = ToolBar2Tip(static_cast<int>(header->idFrom), app.ui.language);
    reinterpret_cast<NMTTDISPINFOW*>(header)->lpszText = const_cast<wchar_t*>(Wide(tip));
    return 0;
  }
  if (header->code == TBN_DROPDOWN && (header->hwndFrom == main.toolBar1 || header->hwndFrom == main.toolBar2)) {
    const int command = reinterpret_cast<NMTOOLBARW*>(header)->iItem;
    POINT at = BelowButton(header->hwndFrom, command);
    if (header->hwndFrom == main.toolBar2) at.x -= kToolBar2MenuShift;
    const HWND active = ActiveControl(main);
    if (command == 501) {
      if (active == main.groupList) {
        if (HasSelectedRow(main.groupList)) app.menus.ShowPopupMenu(kGroupListMenu, main.window, at.x, at.y);
      } else if (active == main.fileList) {
        ShowFileListMenu(app, at.x, at.y);
      } else if (HasFocusedSelectedPicture(app)) {
        app.menus.ShowPopupMenu(kImagePaneMenu, main.window, at.x, at.y);
      }
    } else if (command == 504) {
      PrepareFavouritesMenu(app);
      app.menus.ShowPopupMenu(kFavouritesMenu, main.window, at.x, at.y);
    } else if (command == 505) {
      app.menus.ShowPopupMenu(kPreferencesMenu, main.window, at.x, at.y);
    } else if (command == 512) {
      app.menus.ShowPopupMenu(kFileViewMenu, main.window, at.x, at.y);
    } else if (command == 513) {
      app.menus.ShowPopupMenu(kLanguageMenu, main.window, at.x, at.y);
    }
    return TBDDRET_DEFAULT;
  }
  const int control = static_cast<int>(header->idFrom);
  if (control >= kFolderTree && control <= kGroupListId) OnExplorerEvent(app, control, static_cast<int>(header->code));
  return 0;
}

void RebuildMenus(Application& app) {
  const MenuPictureSource pictures{app.main.packedIcons};
  BuildMenus(app.menus, app.main.window, pictures, app.ui.language,
             FileViewOf(NormaliseFileView(app.preferences.fileOptions)));
  BuildFavouritesMenu(app.menus, pictures, app.ui.language);
  BuildPreferencesMenu(app.menus, pictures, app.ui.language);
}

void ApplyLanguage(Application& app) {
  SetLanguage(app, LanguageChoiceOf(app.preferences.languageValue));
  const int language = app.ui.language;
  if (!RelabelMainWindow(app.ui, app.main, language)) {
    app.reporter.ReportError();
    return;
  }
  // The menus are built again, their checks included.
  RebuildMenus(app);
  ShowStatus(app.main.status, language);
  RestoreIconViewInLanguage(app);
}

}  // namespace zx
