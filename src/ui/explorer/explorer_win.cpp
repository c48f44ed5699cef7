#include "ui/explorer/explorer_win.h"

#include <commctrl.h>
#include <commdlg.h>

#include <algorithm>

#include "core/messages.h"
#include "core/ui_text_win.h"
#include "core/win_text.h"
#include "ops/icon_document_ops.h"
#include "ui/controls/list_view_win.h"
#include "ui/explorer/file_list_win.h"
#include "ui/explorer/folder_tree_win.h"
#include "ui/explorer/list_rules.h"

namespace zx {
namespace {

constexpr int kFormatFilterFirstText = 16000;
constexpr int kAllIconsFilter = 0;
// The requester stays this far inside the work area.
constexpr int kWorkAreaMargin = 5;

int DateFormatOf(const Explorer& explorer) {
  return static_cast<int>((explorer.preferences->fileOptions & kDateFormatMask) >> kDateFormatShift);
}

int Language(const Explorer& explorer) { return explorer.view->ctx->language; }

bool IsFolder(const std::u16string& path) {
  if (path.empty()) return false;
  const DWORD attributes = GetFileAttributesW(Wide(path));
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

bool IsFile(const std::u16string& path) {
  const DWORD attributes = GetFileAttributesW(Wide(path));
  return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

std::u16string FolderPart(const std::u16string& path) {
  const size_t slash = path.find_last_of(u"\\/");
  return slash == std::u16string::npos ? u"" : path.substr(0, slash + 1);
}

std::u16string BoxText(HWND box, int index) {
  const int length = static_cast<int>(SendMessageW(box, CB_GETLBTEXTLEN, index, 0));
  if (length <= 0) return u"";
  std::wstring text(static_cast<size_t>(length) + 1, L'\0');
  SendMessageW(box, CB_GETLBTEXT, index, reinterpret_cast<LPARAM>(text.data()));
  text.resize(static_cast<size_t>(length));
  return FromWide(text);
}

void CloseAndClear(Explorer& explorer) {
  CloseViewDocument(*explorer.view, FileRowCount(explorer.main->fileList) == 0);
  ResetDocument(*explorer.view->ctx, *explorer.view->document);
  InvalidateRect(explorer.main->imagePane, nullptr, TRUE);
}

void Refill(Explorer& explorer, const std::u16string& folder) {
  FillFileList(explorer.main->fileList, folder, ChosenPattern(explorer), Language(explorer), DateFormatOf(explorer));
}

void PostTreeChange(const Explorer& explorer) { PostMessageW(explorer.main->window, kFolderTreeChanged, 0, 0); }

void PumpPendingEvents() {
  MSG message;
  while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE | PM_NOYIELD)) {
    if (message.message == kFolderTreeChanged || message.message == WM_QUIT) {
      // Kept for the main loop: a new folder starts over after this one.
      PostMessageW(message.hwnd, message.message, message.wParam, message.lParam);
      break;
    }
    TranslateMessage(&message);
    DispatchMessageW(&message);
  }
}

// Moves the tree without hearing its own change.
void MoveTree(Explorer& explorer, const std::u16string& folder) {
  explorer.quiet = true;
  SetFolderTreePath(explorer.main->tree, folder);
  explorer.quiet = false;
}

// The open requester's own window, centred on the main window and kept
// inside the work area, as it is created.
HWND g_requesterOwner = nullptr;
HHOOK g_requesterHook = nullptr;

LRESULT CALLBACK PlaceRequester(int code, WPARAM wParam, LPARAM lParam) {
  if (code == HCBT_CREATEWND) {
    const auto* create = reinterpret_cast<CBT_CREATEWNDW*>(lParam);
    if (create->lpcs->lpszClass == MAKEINTATOM(32770) ||
        (!IS_INTRESOURCE(create->lpcs->lpszClass) && lstrcmpW(create->lpcs->lpszClass, L"#32770") == 0)) {
      RECT owner = {};
      GetWindowRect(g_requesterOwner, &owner);
      RECT work = {};
      SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
      int x = owner.left + (owner.right - owner.left - create->lpcs->cx) / 2;
      int y = owner.top + (owner.bottom - owner.top - create->lpcs->cy) / 2;
      x = std::max<int>(work.left + kWorkAreaMargin, std::min<int>(x, work.right - kWorkAreaMargin - create->lpcs->cx));
      y = std::max<int>(work.top + kWorkAreaMargin, std::min<int>(y, work.bottom - kWorkAreaMargin - create->lpcs->cy));
      create->lpcs->x = x;
      create->lpcs->y = y;
    }
  }
  return CallNextHookEx(g_requesterHook, code, wParam, lParam);
}

// Inserts a created file's row at its place in the directory walk.
void InsertAtWalkPlace(Explorer& explorer, const std::u16string& path) {
  const std::u16string folder = WithSeparator(FolderPart(path));
  const std::u16string name = FileNamePart(path);
  const std::u16string pattern = ChosenPattern(explorer);
  WIN32_FIND_DATAW found;
  HANDLE walk = FindFirstFileW(Wide(folder + u"*.*"), &found);
  if (walk == INVALID_HANDLE_VALUE) return;
  int place = 0;
  do {
    if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) continue;
    const std::u16string each = FromWide(found.cFileName);
    if (!ListFilterKeeps(each, pattern)) continue;
    if (SamePathText(each, name)) {
      FileRow row = DescribeFile(folder + each, found, Language(explorer), DateFormatOf(explorer));
      InsertFileRow(explorer.main->fileList, place, row);
      if (row.icon) DestroyIcon(row.icon);
      break;
    }
    ++place;
  } while (FindNextFileW(walk, &found));
  FindClose(walk);
}

const wchar_t* const kKindExtensions[] = {L"", L"ico", L"icl", L"dll", L"drv", L"exe", L"ocx", L"cpl", L"scr"};

void AddCreatedFile(Explorer& explorer, const std::u16string& path, int kind) {
  const std::u16string pattern = ChosenPattern(explorer);
  const bool shown = SamePathText(WithSeparator(FolderPart(path)), RecentFolder(explorer));
  bool insert = shown;
  if (IsSinglePattern(pattern) && pattern != u"*.*") {
    insert = shown && kind >= 1 && kind <= 8 && SamePathText(pattern.substr(2), FromWide(kKindExtensions[kind]));
  }
  if (insert) {
    InsertAtWalkPlace(explorer, path);
  } else {
    OpenChosenFile(explorer, path);
  }
}

}  // namespace

void AttachExplorer(Explorer& explorer, MainWindow& main, IconView& view, PreferenceValues& preferences,
                    const std::u16string& programPath) {
  explorer.main = &main;
  explorer.view = &view;
  explorer.preferences = &preferences;
  explorer.programFolder = FolderPart(programPath);
}

void StartExplorer(Explorer& explorer) {
  FillFolderTree(explorer.main->tree);
  MoveTree(explorer, RecentFolder(explorer));
  PostTreeChange(explorer);
}

std::u16string ChosenPattern(const Explorer& explorer) {
  int index = static_cast<int>(SendMessageW(explorer.main->formatBox, CB_GETCURSEL, 0, 0));
  if (index < 0 || index >= kFormatFilterCount) index = kAllIconsFilter;
  return UiText(kFormatFilterFirstText + index, kLangNeutral);
}

std::u16string RecentFolder(const Explorer& explorer) {
  const int selected = static_cast<int>(SendMessageW(explorer.main->recentBox, CB_GETCURSEL, 0, 0));
  return WithSeparator(BoxText(explorer.main->recentBox, selected < 0 ? 0 : selected));
}

void FolderChanged(Explorer& explorer) {
  MainWindow& main = *explorer.main;
  IconView& view = *explorer.view;
  SetCursor(LoadCursorW(nullptr, IDC_WAIT));
  ClearViewCaptions(view);
  ClearStatus(main.status);
  std::u16string folder = FolderTreePath(main.tree);
  if (!IsFolder(folder)) {
    for (const std::u16string& fallback :
         {FirstFolderTreeRoot(main.tree), explorer.programFolder, FolderPart(view.ctx->preferenceFolder)}) {
      if (!IsFolder(fallback)) continue;
      MoveTree(explorer, fallback);
      PostTreeChange(explorer);
      SetCursor(LoadCursorW(nullptr, IDC_ARROW));
      return;
    }
    SetCursor(LoadCursorW(nullptr, IDC_ARROW));
    return;
  }
  EnableWindow(main.window, FALSE);
  explorer.quiet = true;
  Refill(explorer, folder);
  PumpPendingEvents();
  AddRecentFolder(explorer, folder);
  PumpPendingEvents();
  if (FileRowCount(main.fileList) == 0) {
    CloseAndClear(explorer);
    EnableWindow(main.window, TRUE);
    SetFocus(main.tree);
  } else {
    SelectFileRow(main.fileList, 0);
    const std::u16string name = FileRowName(main.fileList, 0);
    if (IsValidFileName(name)) OpenIconFile(view, RecentFolder(explorer) + name);
    EnableWindow(main.window, TRUE);
  }
  explorer.quiet = false;
  SetCursor(LoadCursorW(nullptr, IDC_ARROW));
}

void AddRecentFolder(Explorer& explorer, const std::u16string& folder) {
  if (!IsFolder(folder)) return;
  HWND box = explorer.main->recentBox;
  std::vector<std::u16string> recents;
  for (int i = 0, count = static_cast<int>(SendMessageW(box, CB_GETCOUNT, 0, 0)); i < count; ++i) {
    recents.push_back(BoxText(box, i));
  }
  // A folder already listed keeps the spelling it was listed with.
  std::u16string entry = WithSeparator(folder);
  for (const std::u16string& listed : recents) {
    if (SamePathText(WithSeparator(listed), entry)) entry = listed;
  }
  AddRecentFolderTo(recents, entry, explorer.preferences->maxRecents);
  SendMessageW(box, CB_RESETCONTENT, 0, 0);
  for (const std::u16string& listed : recents) SendMessageW(box, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(Wide(listed)));
  SendMessageW(box, CB_SETCURSEL, 0, 0);
}

void OpenCommand(Explorer& explorer) {
  MainWindow& main = *explorer.main;
  int index = static_cast<int>(SendMessageW(main.formatBox, CB_GETCURSEL, 0, 0));
  if (index < 0) index = kAllIconsFilter;
  const std::u16string filter = UiText(kFormatFilterFirstText + index, Language(explorer)) + u'\0' +
                                ChosenPattern(explorer) + u'\0' + u'\0';
  const std::u16string title = ProductTitle();
  wchar_t file[32768] = {};
  OPENFILENAMEW request = {};
  request.lStructSize = sizeof(request);
  request.hwndOwner = main.window;
  request.lpstrFilter = Wide(filter);
  request.lpstrFile = file;
  request.nMaxFile = 32768;
  request.lpstrTitle = Wide(title);
  request.Flags = OFN_EXPLORER | OFN_HIDEREADONLY | OFN_ENABLESIZING;
  g_requesterOwner = main.window;
  g_requesterHook = SetWindowsHookExW(WH_CBT, PlaceRequester, nullptr, GetCurrentThreadId());
  const BOOL chosen = GetOpenFileNameW(&request);
  if (g_requesterHook) UnhookWindowsHookEx(g_requesterHook);
  g_requesterHook = nullptr;
  if (!chosen) return;
  const std::u16string path = FromWide(file);
  if (!IsFile(path)) {
    Fail(*explorer.view->ctx, kMsgBadFileName, 0);
    explorer.view->reporter->ReportError();
    return;
  }
  OpenChosenFile(explorer, path);
}

void OpenChosenFile(Explorer& explorer, const std::u16string& path) {
  MainWindow& main = *explorer.main;
  SetCursor(LoadCursorW(nullptr, IDC_WAIT));
  EnableWindow(main.window, FALSE);
  if (!SamePathText(u"*." + ExtensionOf(FileNamePart(path)), ChosenPattern(explorer))) {
    SendMessageW(main.formatBox, CB_SETCURSEL, kAllIconsFilter, 0);
  }
  const std::u16string folder = WithSeparator(FolderPart(path));
  explorer.quiet = true;
  if (!SamePathText(folder, FolderTreePath(main.tree))) {
    MoveTree(explorer, folder);
    explorer.quiet = true;
    const HTREEITEM selected = TreeView_GetSelection(main.tree);
    if (selected) TreeView_Select(main.tree, selected, TVGN_FIRSTVISIBLE);
  }
  Refill(explorer, folder);
  PumpPendingEvents();
  AddRecentFolder(explorer, folder);
  const std::u16string name = FileNamePart(path);
  int found = -1;
  for (int row = 0, count = FileRowCount(main.fileList); row < count; ++row) {
    if (SamePathText(FileRowName(main.fileList, row), name)) {
      found = row;
      break;
    }
  }
  if (found >= 0) {
    SelectFileRow(main.fileList, found);
    SendMessageW(main.fileList, LVM_ENSUREVISIBLE, found, FALSE);
    OpenIconFile(*explorer.view, path);
  }
  RedrawWindow(main.tree, nullptr, nullptr, RDW_INVALIDATE);
  EnableWindow(main.window, TRUE);
  SetCursor(LoadCursorW(nullptr, IDC_ARROW));
  explorer.quiet = false;
  if (SelectedFileRow(main.fileList) < 0) {
    CloseAndClear(explorer);
    Fail(*explorer.view->ctx, kMsgInternalError, 82);
    explorer.view->reporter->ReportError();
  }
}

void OpenSelectedFile(Explorer& explorer) {
  MainWindow& main = *explorer.main;
  IconDocument& doc = *explorer.view->document;
  const int row = SelectedFileRow(main.fileList);
  if (row < 0) {
    const int listed = doc.path.empty() ? -1 : FindListedFile(explorer, doc.path);
    if (listed >= 0 && IsFile(doc.path)) {
      explorer.quiet = true;
      SelectFileRow(main.fileList, listed);
      explorer.quiet = false;
    } else {
      CloseAndClear(explorer);
    }
    return;
  }
  const std::u16string path = RecentFolder(explorer) + FileRowName(main.fileList, row);
  if (SamePathText(path, doc.path) && doc.base) return;
  OpenIconFile(*explorer.view, path);
  ShowFileTexts(*explorer.view);
}

int FindListedFile(const Explorer& explorer, const std::u16string& path) {
  if (!SamePathText(WithSeparator(FolderPart(path)), FolderTreePath(explorer.main->tree))) return -1;
  const std::u16string name = FileNamePart(path);
  for (int row = 0, count = FileRowCount(explorer.main->fileList); row < count; ++row) {
    if (SamePathText(FileRowName(explorer.main->fileList, row), name)) return row;
  }
  return -2;
}

void ShowCreatedFile(Explorer& explorer, const std::u16string& path, int extensionKind, FileOptions displayBit) {
  int row = FindListedFile(explorer, path);
  if (explorer.preferences->fileOptions & displayBit) {
    if (row < 0) {
      AddCreatedFile(explorer, path, extensionKind);
      row = FindListedFile(explorer, path);
    }
    if (row >= 0) {
      UpdateListedFile(explorer, path, row);
      SelectFileRow(explorer.main->fileList, row);
      SetFocus(explorer.main->fileList);
    }
    return;
  }
  if (row >= 0) {
    UpdateListedFile(explorer, path, row);
  } else if (row == -2) {
    AddCreatedFile(explorer, path, extensionKind);
  }
}

void UpdateListedFile(Explorer& explorer, const std::u16string& path, int row) {
  FileRow described;
  if (!DescribeFileAt(path, Language(explorer), DateFormatOf(explorer), described)) return;
  UpdateFileRow(explorer.main->fileList, row, described);
  if (described.icon) DestroyIcon(described.icon);
}

void RerenderDates(Explorer& explorer, int dateFormat) { RerenderDates(explorer.main->fileList, dateFormat); }

void SetFileView(Explorer& explorer, int listViewMode) {
  HWND list = explorer.main->fileList;
  const ListView view(list);
  int next = 0;
  int stored = 0;
  if (listViewMode == LV_VIEW_DETAILS) {
    next = LV_VIEW_LIST;
    stored = kFileViewSmallIcons;
  } else if (listViewMode == LV_VIEW_LIST) {
    next = LV_VIEW_TILE;
    stored = kFileViewTiles;
  } else if (listViewMode == LV_VIEW_TILE) {
    next = LV_VIEW_DETAILS;
    stored = kFileViewDetails;
  } else {
    return;
  }
  if (view.View() == LV_VIEW_DETAILS) {
    for (int column = 0; column < kFileListColumns; ++column) explorer.savedColumnWidths[column] = view.ColumnWidth(column);
    explorer.haveSavedWidths = true;
  }
  view.SetView(next);
  if (next == LV_VIEW_LIST) view.SetColumnWidth(0, explorer.main->listColumnZeroWidth);
  if (next == LV_VIEW_DETAILS && explorer.haveSavedWidths) {
    for (int column = 0; column < kFileListColumns; ++column) view.SetColumnWidth(column, explorer.savedColumnWidths[column]);
  }
  explorer.preferences->fileOptions = (explorer.preferences->fileOptions & ~kFileViewMask) | static_cast<FileOptions>(stored);
  // Tool bar 2's view button shows the view's picture (2 details, 3 small icons, 4 tiles).
  const int picture = stored == kFileViewDetails ? 2 : stored == kFileViewSmallIcons ? 3 : 4;
  TBBUTTONINFOW button = {};
  button.cbSize = sizeof(button);
  button.dwMask = TBIF_IMAGE;
  button.iImage = picture;
  SendMessageW(explorer.main->toolBar2, TB_SETBUTTONINFOW, 512, reinterpret_cast<LPARAM>(&button));
}

void ApplyListLanguage(Explorer& explorer) { ApplyListLanguage(explorer.main->fileList, Language(explorer)); }

bool OnExplorerNotify(Explorer& explorer, UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) {
  if (!explorer.main) return false;
  MainWindow& main = *explorer.main;
  result = 0;
  if (message == kFolderTreeChanged) {
    FolderChanged(explorer);
    return true;
  }
  if (message == WM_COMMAND && HIWORD(wParam) == CBN_SELCHANGE) {
    const HWND box = reinterpret_cast<HWND>(lParam);
    if (box == main.formatBox) {
      PostTreeChange(explorer);
      return true;
    }
    if (box == main.recentBox) {
      const int selected = static_cast<int>(SendMessageW(box, CB_GETCURSEL, 0, 0));
      MoveTree(explorer, BoxText(box, selected));
      PostTreeChange(explorer);
      return true;
    }
    return false;
  }
  if (message != WM_NOTIFY) return false;
  const auto* header = reinterpret_cast<const NMHDR*>(lParam);
  if (header->hwndFrom == main.tree) {
    if (header->code == TVN_ITEMEXPANDINGW) {
      const auto* change = reinterpret_cast<const NMTREEVIEWW*>(lParam);
      if (change->action & TVE_EXPAND) ExpandFolderTreeItem(main.tree, change->itemNew.hItem);
      return true;
    }
    if (header->code == TVN_SELCHANGEDW) {
      if (!explorer.quiet) PostTreeChange(explorer);
      return true;
    }
    return false;
  }
  if (header->hwndFrom == main.fileList && header->code == LVN_ITEMCHANGED) {
    const auto* change = reinterpret_cast<const NMLISTVIEW*>(lParam);
    const bool selectionChanged =
        (change->uChanged & LVIF_STATE) && ((change->uNewState ^ change->uOldState) & LVIS_SELECTED);
    if (selectionChanged && !explorer.quiet && (change->uNewState & LVIS_SELECTED)) OpenSelectedFile(explorer);
    return true;
  }
  return false;
}

}  // namespace zx
