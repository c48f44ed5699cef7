// A plain child window that holds other controls: a white background, its
// caption rebar kept as wide as itself, and its children's notifications
// passed on to its own parent.
#pragma once

#include <windows.h>

namespace zx {

// Null when the window cannot be created.
HWND CreateContainer(HWND parent, int id, const RECT& bounds);

// A child with a vertical scroll bar whose content is `innerWidth` wide and
// scrolls by `step` pixels a line. Null when it cannot be created.
HWND CreateScrollArea(HWND parent, int id, const RECT& bounds, int innerWidth, int step);
// The scrollable height of the content.
void SetScrollAreaInnerHeight(HWND area, int height);

}  // namespace zx
