#include "ui/controls/window_class_win.h"

namespace zx {

bool RegisterProgramClass(const wchar_t* name, WNDPROC procedure, HBRUSH background) {
  WNDCLASSEXW type = {};
  type.cbSize = sizeof(type);
  type.lpfnWndProc = procedure;
  type.hInstance = GetModuleHandleW(nullptr);
  type.hCursor = LoadCursorW(nullptr, IDC_ARROW);
  type.hbrBackground = background;
  type.lpszClassName = name;
  return RegisterClassExW(&type) != 0 || GetLastError() == ERROR_CLASS_ALREADY_EXISTS;
}

}  // namespace zx
