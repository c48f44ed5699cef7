// One Zorvex per logon session: the named mutex "Zorvex" marks a running
// instance, and the registered message "QOR_ALREADY_EXIST" asks it forward.
#pragma once

#include <windows.h>

#include "core/win_handles.h"

namespace zx {

struct InstanceMark {
  UniqueHandle mutex;
  // 0 when the message could not be registered (the check is then skipped).
  UINT activateMessage = 0;
};

// True when this is the only instance. Otherwise the running one has been
// asked forward and this one must end without a window.
bool ClaimSingleInstance(InstanceMark& mark);

}  // namespace zx
