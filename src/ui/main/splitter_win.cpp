#include "ui/main/splitter_win.h"

#include <windowsx.h>

#include <algorithm>

#include "ui/controls/window_class_win.h"

namespace zx {
namespace {

constexpr wchar_t kSplitterClass[] = L"ZorvexSplitter";

struct Splitter {
  HWND window = nullptr;
  HWND panes[2] = {};
  SplitterSettings settings;
  int position = 0;
  int minimum[2] = {0, 0};
  SplitterMovedCallback moved;
  bool dragging = false;
  // Distance from the bar's leading edge to the pointer when a drag starts.
  int grip = 0;
};

Splitter* From(HWND window) { return reinterpret_cast<Splitter*>(GetWindowLongPtrW(window, GWLP_USERDATA)); }

bool SideBySide(const Splitter& s) { return s.settings.direction == SplitDirection::kSideBySide; }

// The splitter's length along the direction it splits.
int Extent(const Splitter& s) {
  RECT client;
  GetClientRect(s.window, &client);
  return SideBySide(s) ? client.right : client.bottom;
}

// Within the splitter, and for the user's drags within the minimum sizes too.
int Clamp(const Splitter& s, int position, bool byUser) {
  const int least = byUser ? s.minimum[0] : 0;
  const int most = Extent(s) - s.settings.barWidth - (byUser ? s.minimum[1] : 0);
  return std::max(least, std::min(position, std::max(most, least)));
}

void PlacePanes(const Splitter& s) {
  RECT client;
  GetClientRect(s.window, &client);
  const int second = s.position + s.settings.barWidth;
  if (SideBySide(s)) {
    MoveWindow(s.panes[0], 0, 0, s.position, client.bottom, TRUE);
    MoveWindow(s.panes[1], second, 0, std::max(0L, client.right - second), client.bottom, TRUE);
  } else {
    MoveWindow(s.panes[0], 0, 0, client.right, s.position, TRUE);
    MoveWindow(s.panes[1], 0, second, client.right, std::max(0L, client.bottom - second), TRUE);
  }
}

void MoveBar(Splitter& s, int position, bool byUser) {
  const int previous = s.position;
  s.position = Clamp(s, position, byUser);
  PlacePanes(s);
  const int second = std::max(0, Extent(s) - s.position - s.settings.barWidth);
  if (s.moved && !s.moved(s.window, s.position, second)) {
    s.position = previous;
    PlacePanes(s);
  }
  InvalidateRect(s.window, nullptr, TRUE);
}

RECT BarRect(const Splitter& s) {
  RECT client;
  GetClientRect(s.window, &client);
  if (SideBySide(s)) return {s.position, 0, s.position + s.settings.barWidth, client.bottom};
  return {0, s.position, client.right, s.position + s.settings.barWidth};
}

LRESULT CALLBACK SplitterProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  Splitter* s = From(window);
  switch (message) {
    case WM_NCDESTROY:
      delete s;
      SetWindowLongPtrW(window, GWLP_USERDATA, 0);
      break;
    case WM_SIZE:
      if (s) {
        // The bar keeps its place while it fits.
        s->position = Clamp(*s, s->position, false);
        PlacePanes(*s);
      }
      return 0;
    case WM_SETCURSOR:
      if (s && LOWORD(lParam) == HTCLIENT && reinterpret_cast<HWND>(wParam) == window) {
        SetCursor(LoadCursorW(nullptr, SideBySide(*s) ? IDC_SIZEWE : IDC_SIZENS));
        return TRUE;
      }
      break;
    case WM_LBUTTONDOWN:
      if (s) {
        const int at = SideBySide(*s) ? GET_X_LPARAM(lParam) : GET_Y_LPARAM(lParam);
        s->dragging = true;
        s->grip = at - s->position;
        SetCapture(window);
      }
      return 0;
    case WM_MOUSEMOVE:
      if (s && s->dragging) {
        const int at = SideBySide(*s) ? GET_X_LPARAM(lParam) : GET_Y_LPARAM(lParam);
        if (at - s->grip != s->position) MoveBar(*s, at - s->grip, true);
      }
      return 0;
    case WM_LBUTTONUP:
    case WM_CAPTURECHANGED:
      if (s && s->dragging) {
        s->dragging = false;
        if (message == WM_LBUTTONUP) ReleaseCapture();
      }
      return 0;
    case WM_ERASEBKGND:
      return 1;
    case WM_PAINT: {
      PAINTSTRUCT paint;
      HDC dc = BeginPaint(window, &paint);
      if (s) {
        const RECT bar = BarRect(*s);
        FillRect(dc, &bar, GetSysColorBrush(COLOR_BTNFACE));
      }
      EndPaint(window, &paint);
      return 0;
    }
  }
  if (IsChildNotification(message)) return SendMessageW(GetParent(window), message, wParam, lParam);
  return DefWindowProcW(window, message, wParam, lParam);
}

void RegisterSplitterClass() {
  static const bool registered = RegisterProgramClass(kSplitterClass, SplitterProcedure, nullptr);
  (void)registered;
}

}  // namespace

HWND CreateSplitter(HWND parent, int id, const RECT& bounds, HWND first, HWND second,
                    const SplitterSettings& settings) {
  RegisterSplitterClass();
  HWND window = CreateWindowExW(0, kSplitterClass, L"", WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN,
                                bounds.left, bounds.top, bounds.right - bounds.left,
                                bounds.bottom - bounds.top, parent,
                                reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), GetModuleHandleW(nullptr),
                                nullptr);
  if (!window) return nullptr;
  // Attached once the window exists; WM_NCDESTROY frees it.
  auto* s = new Splitter;
  s->window = window;
  s->settings = settings;
  s->panes[0] = first;
  s->panes[1] = second;
  SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(s));
  for (HWND pane : s->panes) SetParent(pane, window);
  s->position = Clamp(*s, Extent(*s) / 2, false);
  PlacePanes(*s);
  return window;
}

int SplitterPosition(HWND splitter) {
  const Splitter* s = From(splitter);
  return s ? s->position : 0;
}

void SetSplitterPosition(HWND splitter, int position) {
  if (Splitter* s = From(splitter)) MoveBar(*s, position, false);
}

void SetSplitterMinimumSizes(HWND splitter, int firstMinimum, int secondMinimum) {
  if (Splitter* s = From(splitter)) {
    s->minimum[0] = std::max(0, firstMinimum);
    s->minimum[1] = std::max(0, secondMinimum);
  }
}

void SetSplitterCallback(HWND splitter, SplitterMovedCallback callback) {
  if (Splitter* s = From(splitter)) s->moved = std::move(callback);
}

int SplitterBarWidth(HWND splitter) {
  const Splitter* s = From(splitter);
  return s ? s->settings.barWidth : 0;
}

int SplitterBorder(HWND) { return 0; }

}  // namespace zx
