#include "app/single_instance_win.h"

namespace zx {

bool ClaimSingleInstance(InstanceMark& mark) {
  mark.activateMessage = RegisterWindowMessageW(L"QOR_ALREADY_EXIST");
  if (mark.activateMessage == 0) return true;
  mark.mutex.Reset(CreateMutexW(nullptr, FALSE, L"Zorvex"));
  if (GetLastError() != ERROR_ALREADY_EXISTS) return true;
  SendMessageW(HWND_BROADCAST, mark.activateMessage, 0, 0);
  mark.mutex.Reset();
  return false;
}

}  // namespace zx
