// The pictures of the two tool bars: the ten 32 x 32 pictures of tool bar 1
// (embedded PNG items 0-9) and the packed 16 x 16 icons.
#pragma once

#include <windows.h>
#include <commctrl.h>

#include "core/thread_context.h"

namespace zx {

// Adds the ten pictures of tool bar 1 to `list`, picture i for button 500 + i.
// 0 with fatal 203 (an item missing), 204 (not a picture) or 205 (not added).
int AddToolBarPictures(ThreadContext& ctx, HIMAGELIST list);

// A blank white picture of `size` pixels, added to `list` (the group list's
// placeholder). 0 with fatal 204 or 205.
int AddBlankPicture(ThreadContext& ctx, HIMAGELIST list, int size);

}  // namespace zx
