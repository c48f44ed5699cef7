// One-line wrappers over the rebar's messages.
#pragma once

#include <windows.h>
#include <commctrl.h>

namespace zx {

class Rebar {
 public:
  explicit Rebar(HWND window = nullptr) : window_(window) {}
  HWND Handle() const { return window_; }
  bool InsertBand(const REBARBANDINFOW& band) const {
    return SendMessageW(window_, RB_INSERTBANDW, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(&band)) != 0;
  }
  int BandCount() const { return static_cast<int>(SendMessageW(window_, RB_GETBANDCOUNT, 0, 0)); }
  int RowCount() const { return static_cast<int>(SendMessageW(window_, RB_GETROWCOUNT, 0, 0)); }
  int RowHeight(int row) const { return static_cast<int>(SendMessageW(window_, RB_GETROWHEIGHT, row, 0)); }
  int Height() const { return static_cast<int>(SendMessageW(window_, RB_GETBARHEIGHT, 0, 0)); }
  bool SetBandWidth(int band, int width) const {
    REBARBANDINFOW info = {sizeof(info), RBBIM_SIZE};
    info.cx = width;
    return SendMessageW(window_, RB_SETBANDINFOW, band, reinterpret_cast<LPARAM>(&info)) != 0;
  }
  int BandWidth(int band) const {
    REBARBANDINFOW info = {sizeof(info), RBBIM_SIZE};
    SendMessageW(window_, RB_GETBANDINFOW, band, reinterpret_cast<LPARAM>(&info));
    return static_cast<int>(info.cx);
  }
  bool SetBandText(int band, const wchar_t* text) const {
    REBARBANDINFOW info = {sizeof(info), RBBIM_TEXT};
    info.lpText = const_cast<wchar_t*>(text);
    return SendMessageW(window_, RB_SETBANDINFOW, band, reinterpret_cast<LPARAM>(&info)) != 0;
  }
  RECT BandRect(int band) const {
    RECT rect = {};
    SendMessageW(window_, RB_GETRECT, band, reinterpret_cast<LPARAM>(&rect));
    return rect;
  }

 private:
  HWND window_;
};

}  // namespace zx
