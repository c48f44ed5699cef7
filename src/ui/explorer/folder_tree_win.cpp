#include "ui/explorer/folder_tree_win.h"

#include <commctrl.h>

#include <vector>

#include "core/win_text.h"
#include "ui/explorer/list_rules.h"

namespace zx {
namespace {

// Items whose folders have been listed carry this in their data.
constexpr LPARAM kListed = 1;

std::u16string ItemText(HWND tree, HTREEITEM item) {
  wchar_t text[MAX_PATH] = {};
  TVITEMW data = {};
  data.mask = TVIF_TEXT;
  data.hItem = item;
  data.pszText = text;
  data.cchTextMax = MAX_PATH;
  TreeView_GetItem(tree, &data);
  return FromWide(text);
}

HTREEITEM AddFolderItem(HWND tree, HTREEITEM parent, const std::u16string& name) {
  TVINSERTSTRUCTW insert = {};
  insert.hParent = parent;
  insert.hInsertAfter = TVI_LAST;
  insert.item.mask = TVIF_TEXT | TVIF_CHILDREN | TVIF_PARAM;
  insert.item.pszText = const_cast<wchar_t*>(Wide(name));
  // Every folder may hold folders until it is opened.
  insert.item.cChildren = 1;
  insert.item.lParam = 0;
  return TreeView_InsertItem(tree, &insert);
}

std::u16string ItemPath(HWND tree, HTREEITEM item) {
  std::u16string path;
  for (HTREEITEM at = item; at; at = TreeView_GetParent(tree, at)) path = WithSeparator(ItemText(tree, at)) + path;
  return path;
}

std::vector<std::u16string> PathParts(const std::u16string& folder) {
  std::vector<std::u16string> parts;
  std::u16string part;
  for (char16_t c : folder) {
    if (c == u'\\' || c == u'/') {
      if (!part.empty()) parts.push_back(part);
      part.clear();
    } else {
      part += c;
    }
  }
  if (!part.empty()) parts.push_back(part);
  return parts;
}

}  // namespace

void FillFolderTree(HWND tree) {
  TreeView_DeleteAllItems(tree);
  const DWORD drives = GetLogicalDrives();
  for (int letter = 0; letter < 26; ++letter) {
    if (!(drives & (1u << letter))) continue;
    std::u16string root = {static_cast<char16_t>(u'A' + letter), u':'};
    AddFolderItem(tree, TVI_ROOT, root);
  }
}

void ExpandFolderTreeItem(HWND tree, HTREEITEM item) {
  TVITEMW data = {};
  data.mask = TVIF_PARAM;
  data.hItem = item;
  TreeView_GetItem(tree, &data);
  if (data.lParam == kListed) return;
  const std::u16string path = ItemPath(tree, item);
  WIN32_FIND_DATAW found;
  HANDLE walk = FindFirstFileExW(Wide(path + u"*"), FindExInfoBasic, &found, FindExSearchLimitToDirectories, nullptr, 0);
  int added = 0;
  if (walk != INVALID_HANDLE_VALUE) {
    do {
      if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) continue;
      if (lstrcmpW(found.cFileName, L".") == 0 || lstrcmpW(found.cFileName, L"..") == 0) continue;
      AddFolderItem(tree, item, FromWide(found.cFileName));
      ++added;
    } while (FindNextFileW(walk, &found));
    FindClose(walk);
  }
  data.mask = TVIF_PARAM | TVIF_CHILDREN;
  data.lParam = kListed;
  data.cChildren = added > 0 ? 1 : 0;
  TreeView_SetItem(tree, &data);
  if (added > 1) TreeView_SortChildren(tree, item, FALSE);
}

std::u16string FolderTreePath(HWND tree) {
  const HTREEITEM selected = TreeView_GetSelection(tree);
  return selected ? ItemPath(tree, selected) : u"";
}

bool SetFolderTreePath(HWND tree, const std::u16string& folder) {
  HTREEITEM parent = TVI_ROOT;
  HTREEITEM deepest = nullptr;
  bool whole = true;
  for (const std::u16string& part : PathParts(folder)) {
    if (deepest) {
      ExpandFolderTreeItem(tree, deepest);
      TreeView_Expand(tree, deepest, TVE_EXPAND);
    }
    HTREEITEM match = nullptr;
    for (HTREEITEM child = parent == TVI_ROOT ? TreeView_GetRoot(tree) : TreeView_GetChild(tree, parent); child;
         child = TreeView_GetNextSibling(tree, child)) {
      if (SamePathText(ItemText(tree, child), part)) {
        match = child;
        break;
      }
    }
    if (!match) {
      whole = false;
      break;
    }
    deepest = match;
    parent = match;
  }
  if (deepest) {
    TreeView_SelectItem(tree, deepest);
    TreeView_EnsureVisible(tree, deepest);
  }
  return whole && deepest;
}

std::u16string FirstFolderTreeRoot(HWND tree) {
  const HTREEITEM first = TreeView_GetRoot(tree);
  return first ? ItemPath(tree, first) : u"";
}

}  // namespace zx
