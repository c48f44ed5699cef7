// One-line wrappers over the list view's messages.
#pragma once

#include <windows.h>
#include <commctrl.h>

namespace zx {

class ListView {
 public:
  explicit ListView(HWND window = nullptr) : window_(window) {}
  HWND Handle() const { return window_; }
  bool InsertColumn(int index, const wchar_t* title, int width, int format = LVCFMT_LEFT) const {
    LVCOLUMNW column = {LVCF_TEXT | LVCF_WIDTH | LVCF_FMT | LVCF_SUBITEM};
    column.fmt = format;
    column.cx = width;
    column.pszText = const_cast<wchar_t*>(title);
    column.iSubItem = index;
    return SendMessageW(window_, LVM_INSERTCOLUMNW, index, reinterpret_cast<LPARAM>(&column)) >= 0;
  }
  bool SetColumnWidth(int index, int width) const {
    return SendMessageW(window_, LVM_SETCOLUMNWIDTH, index, MAKELPARAM(width, 0)) != 0;
  }
  int ColumnWidth(int index) const { return static_cast<int>(SendMessageW(window_, LVM_GETCOLUMNWIDTH, index, 0)); }
  int SelectedCount() const { return static_cast<int>(SendMessageW(window_, LVM_GETSELECTEDCOUNT, 0, 0)); }
  int View() const { return static_cast<int>(SendMessageW(window_, LVM_GETVIEW, 0, 0)); }
  void SetView(int view) const { SendMessageW(window_, LVM_SETVIEW, view, 0); }
  void SetExtendedStyle(DWORD mask, DWORD style) const {
    SendMessageW(window_, LVM_SETEXTENDEDLISTVIEWSTYLE, mask, style);
  }
  void SetImageList(HIMAGELIST list, int kind) const {
    SendMessageW(window_, LVM_SETIMAGELIST, kind, reinterpret_cast<LPARAM>(list));
  }
  void SetBackgroundColour(COLORREF colour) const {
    SendMessageW(window_, LVM_SETBKCOLOR, 0, colour);
    SendMessageW(window_, LVM_SETTEXTBKCOLOR, 0, colour);
  }
  void SetIconSpacing(int width, int height) const {
    SendMessageW(window_, LVM_SETICONSPACING, 0, MAKELPARAM(width, height));
  }
  int ClientWidth() const {
    RECT client;
    GetClientRect(window_, &client);
    return client.right;
  }

 private:
  HWND window_;
};

}  // namespace zx
