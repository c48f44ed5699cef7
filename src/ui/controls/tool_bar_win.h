// One-line wrappers over the tool bar's messages.
#pragma once

#include <windows.h>
#include <commctrl.h>

namespace zx {

class ToolBar {
 public:
  explicit ToolBar(HWND window = nullptr) : window_(window) {}
  HWND Handle() const { return window_; }
  void SetButtonStructSize() const { SendMessageW(window_, TB_BUTTONSTRUCTSIZE, sizeof(TBBUTTON), 0); }
  void SetImageList(HIMAGELIST list) const { SendMessageW(window_, TB_SETIMAGELIST, 0, reinterpret_cast<LPARAM>(list)); }
  bool SetButtonSize(int width, int height) const {
    return SendMessageW(window_, TB_SETBUTTONSIZE, 0, MAKELPARAM(width, height)) != 0;
  }
  void SetExtendedStyle(DWORD style) const { SendMessageW(window_, TB_SETEXTENDEDSTYLE, 0, style); }
  void AutoSize() const { SendMessageW(window_, TB_AUTOSIZE, 0, 0); }
  void SetIndent(int pixels) const { SendMessageW(window_, TB_SETINDENT, pixels, 0); }
  void SetPadding(int x, int y) const { SendMessageW(window_, TB_SETPADDING, 0, MAKELPARAM(x, y)); }
  bool AddButton(const TBBUTTON& button) const {
    return SendMessageW(window_, TB_ADDBUTTONSW, 1, reinterpret_cast<LPARAM>(&button)) != 0;
  }
  int ButtonCount() const { return static_cast<int>(SendMessageW(window_, TB_BUTTONCOUNT, 0, 0)); }
  bool SetButtonImage(int command, int image) const {
    return SendMessageW(window_, TB_CHANGEBITMAP, command, image) != 0;
  }
  bool SetButtonText(int command, const wchar_t* text) const {
    TBBUTTONINFOW info = {sizeof(info), TBIF_TEXT};
    info.pszText = const_cast<wchar_t*>(text);
    return SendMessageW(window_, TB_SETBUTTONINFOW, command, reinterpret_cast<LPARAM>(&info)) != 0;
  }
  // Button height in the low word of the size, width in the high.
  SIZE ButtonSize() const {
    const DWORD size = static_cast<DWORD>(SendMessageW(window_, TB_GETBUTTONSIZE, 0, 0));
    return {LOWORD(size), HIWORD(size)};
  }
  SIZE IdealSize() const {
    SIZE size = {};
    SendMessageW(window_, TB_GETMAXSIZE, 0, reinterpret_cast<LPARAM>(&size));
    return size;
  }

 private:
  HWND window_;
};

}  // namespace zx
