#include "ui/controls/container_win.h"

#include <commctrl.h>

#include <algorithm>

#include "ui/controls/window_class_win.h"

namespace zx {
namespace {

constexpr wchar_t kContainerClass[] = L"ZorvexContainer";
constexpr wchar_t kScrollAreaClass[] = L"ZorvexScrollArea";

// Scroll area state, kept in the window's user data.
struct ScrollArea {
  int innerWidth = 0;
  int innerHeight = 1;
  int step = 1;
  int offset = 0;
};

LRESULT CALLBACK ContainerProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_SIZE:
      // A rebar child keeps itself at the top, as wide as the container.
      for (HWND child = GetWindow(window, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
        wchar_t name[32] = {};
        GetClassNameW(child, name, 32);
        if (lstrcmpiW(name, REBARCLASSNAMEW) == 0) SendMessageW(child, WM_SIZE, wParam, lParam);
      }
      return 0;
  }
  if (IsChildNotification(message)) return SendMessageW(GetParent(window), message, wParam, lParam);
  return DefWindowProcW(window, message, wParam, lParam);
}

void UpdateScrollBar(HWND window, ScrollArea& area) {
  RECT client;
  GetClientRect(window, &client);
  area.offset = std::max(0, std::min(area.offset, area.innerHeight - static_cast<int>(client.bottom)));
  SCROLLINFO info = {sizeof(info), SIF_RANGE | SIF_PAGE | SIF_POS | SIF_DISABLENOSCROLL};
  info.nMax = std::max(0, area.innerHeight - 1);
  info.nPage = static_cast<UINT>(client.bottom);
  info.nPos = area.offset;
  SetScrollInfo(window, SB_VERT, &info, TRUE);
}

LRESULT CALLBACK ScrollAreaProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  auto* area = reinterpret_cast<ScrollArea*>(GetWindowLongPtrW(window, GWLP_USERDATA));
  switch (message) {
    case WM_NCDESTROY:
      delete area;
      SetWindowLongPtrW(window, GWLP_USERDATA, 0);
      break;
    case WM_SIZE:
      if (area) UpdateScrollBar(window, *area);
      return 0;
    case WM_VSCROLL:
      if (area) {
        RECT client;
        GetClientRect(window, &client);
        const int before = area->offset;
        switch (LOWORD(wParam)) {
          case SB_LINEUP: area->offset -= area->step; break;
          case SB_LINEDOWN: area->offset += area->step; break;
          case SB_PAGEUP: area->offset -= client.bottom; break;
          case SB_PAGEDOWN: area->offset += client.bottom; break;
          case SB_THUMBTRACK:
          case SB_THUMBPOSITION: area->offset = HIWORD(wParam); break;
        }
        UpdateScrollBar(window, *area);
        ScrollWindowEx(window, 0, before - area->offset, nullptr, nullptr, nullptr, nullptr,
                       SW_INVALIDATE | SW_ERASE | SW_SCROLLCHILDREN);
      }
      return 0;
  }
  if (IsChildNotification(message)) return SendMessageW(GetParent(window), message, wParam, lParam);
  return DefWindowProcW(window, message, wParam, lParam);
}

void RegisterClasses() {
  static const bool registered =
      RegisterProgramClass(kContainerClass, ContainerProcedure, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH))) &&
      RegisterProgramClass(kScrollAreaClass, ScrollAreaProcedure, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
  (void)registered;
}

HMENU IdOf(int id) { return reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)); }

}  // namespace

HWND CreateContainer(HWND parent, int id, const RECT& bounds) {
  RegisterClasses();
  return CreateWindowExW(0, kContainerClass, L"", WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN | WS_CLIPSIBLINGS,
                         bounds.left, bounds.top, bounds.right - bounds.left, bounds.bottom - bounds.top, parent,
                         IdOf(id), GetModuleHandleW(nullptr), nullptr);
}

HWND CreateScrollArea(HWND parent, int id, const RECT& bounds, int innerWidth, int step) {
  RegisterClasses();
  HWND window = CreateWindowExW(0, kScrollAreaClass, L"", WS_CHILD | WS_VISIBLE | WS_VSCROLL | WS_CLIPCHILDREN,
                                bounds.left, bounds.top, bounds.right - bounds.left, bounds.bottom - bounds.top,
                                parent, IdOf(id), GetModuleHandleW(nullptr), nullptr);
  if (!window) return nullptr;
  // Attached once the window exists; WM_NCDESTROY frees it.
  auto* area = new ScrollArea{innerWidth, 1, std::max(1, step), 0};
  SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(area));
  UpdateScrollBar(window, *area);
  return window;
}

void SetScrollAreaInnerHeight(HWND window, int height) {
  auto* area = reinterpret_cast<ScrollArea*>(GetWindowLongPtrW(window, GWLP_USERDATA));
  if (!area) return;
  area->innerHeight = std::max(1, height);
  UpdateScrollBar(window, *area);
}

}  // namespace zx
