// A splitter: a window holding two panes, side by side or one above the
// other, with a bar between them that the user drags. The splitter sizes its
// panes; the program hears of every move through a callback.
#pragma once

#include <windows.h>

#include <functional>

namespace zx {

enum class SplitDirection { kSideBySide, kAboveBelow };

// Called after the bar has moved (by the user, or by SetSplitterPosition)
// with the sizes of the first and second part. Returning false refuses the
// move: the bar and the panes go back where they were.
using SplitterMovedCallback = std::function<bool(HWND splitter, int first, int second)>;

struct SplitterSettings {
  SplitDirection direction = SplitDirection::kSideBySide;
  int barWidth = 3;
};

// Creates splitter `id` on `parent` and makes `first` and `second` its
// children. Null when the window cannot be created.
HWND CreateSplitter(HWND parent, int id, const RECT& bounds, HWND first, HWND second,
                    const SplitterSettings& settings);

// The size of the first part; the bar follows it.
int SplitterPosition(HWND splitter);
// Moves the bar (kept inside the splitter) and tells the callback.
void SetSplitterPosition(HWND splitter, int position);
// The smallest sizes the user may drag either part to; the program itself
// places the bar where it wants.
void SetSplitterMinimumSizes(HWND splitter, int firstMinimum, int secondMinimum);
void SetSplitterCallback(HWND splitter, SplitterMovedCallback callback);
int SplitterBarWidth(HWND splitter);
// The width of the frame drawn around each pane; this splitter draws none.
int SplitterBorder(HWND splitter);

}  // namespace zx
