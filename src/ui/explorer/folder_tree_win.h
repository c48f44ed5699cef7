// A folder-only tree of the file system in the tree view (control 5): the
// drives at the root, folders listed when their parent first opens. The
// program asks it for its path, gives it a path to go to, and hears of every
// change of the selected folder.
#pragma once

#include <windows.h>
#include <commctrl.h>

#include <string>

namespace zx {

// Fills the root with the drives.
void FillFolderTree(HWND tree);
// The selected folder's path with a trailing separator, or empty.
std::u16string FolderTreePath(HWND tree);
// Opens the folders down to `folder` and selects the deepest one found.
// True when the whole path was found.
bool SetFolderTreePath(HWND tree, const std::u16string& folder);
// The first child of the root (the first drive), or empty.
std::u16string FirstFolderTreeRoot(HWND tree);
// TVN_ITEMEXPANDING: lists the item's folders the first time it opens.
void ExpandFolderTreeItem(HWND tree, HTREEITEM item);

}  // namespace zx
