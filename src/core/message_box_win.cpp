#include "core/message_box_win.h"

#include <commctrl.h>

#include <vector>

#include "core/ui_text_win.h"
#include "core/win_text.h"

namespace zx {
namespace {

TaskDialogIndirectFunction g_taskDialog = nullptr;

std::vector<std::u16string> SplitAtLineFeeds(const std::u16string& text) {
  std::vector<std::u16string> pieces;
  size_t start = 0;
  for (;;) {
    const size_t feed = text.find(u'\n', start);
    pieces.push_back(text.substr(start, feed == std::u16string::npos ? feed : feed - start));
    if (feed == std::u16string::npos) break;
    start = feed + 1;
  }
  return pieces;
}

PCWSTR TaskDialogIcon(UINT type) {
  switch (type & 0xF0) {
    case MB_ICONERROR: return MAKEINTRESOURCEW(0xFFF9);
    case MB_ICONWARNING: return MAKEINTRESOURCEW(0xFFFA);
    case MB_ICONINFORMATION: return MAKEINTRESOURCEW(0xFFF8);
    default: return MAKEINTRESOURCEW(0xFFFB);
  }
}

}  // namespace

void SetTaskDialogFunction(TaskDialogIndirectFunction function) { g_taskDialog = function; }
TaskDialogIndirectFunction TaskDialogFunction() { return g_taskDialog; }

std::u16string MessageBoxTitle() { return WindowTitle(1, 0) + u" - " + ArchitectureTag(); }

int ShowMessageBox(const std::u16string& text, UINT type, HWND owner) {
  const std::u16string title = MessageBoxTitle();
  if (g_taskDialog) {
    static_assert(sizeof(TASKDIALOGCONFIG) == 160, "task dialog configuration of a 64-bit build");
    const std::vector<std::u16string> pieces = SplitAtLineFeeds(text);
    TASKDIALOGCONFIG config = {};
    config.cbSize = sizeof(config);
    config.hwndParent = owner;
    config.dwFlags = TDF_ENABLE_HYPERLINKS | TDF_EXPAND_FOOTER_AREA | TDF_POSITION_RELATIVE_TO_WINDOW;
    config.pszWindowTitle = Wide(title);
    config.pszMainIcon = TaskDialogIcon(type);
    switch (type & 0xF) {
      case MB_YESNO: config.dwCommonButtons = TDCBF_YES_BUTTON | TDCBF_NO_BUTTON; break;
      case MB_YESNOCANCEL:
        config.dwCommonButtons = TDCBF_YES_BUTTON | TDCBF_NO_BUTTON | TDCBF_CANCEL_BUTTON;
        break;
      default: config.dwCommonButtons = TDCBF_OK_BUTTON; break;
    }
    config.pszMainInstruction = Wide(pieces[0]);
    if (pieces.size() > 1) config.pszContent = Wide(pieces[1]);
    if (pieces.size() > 2) config.pszExpandedInformation = Wide(pieces[2]);
    int button = 0;
    if (SUCCEEDED(g_taskDialog(&config, &button, nullptr, nullptr))) {
      switch (button) {
        case IDYES: return 6;
        case IDNO: return 7;
        case IDCANCEL: return 2;
        default: return 0;
      }
    }
    // A task dialog that could not be shown must not swallow the message:
    // fall through to the plain box.
  }
  const int answer = MessageBoxW(owner, Wide(text), Wide(title), type);
  switch (answer) {
    case IDYES: return 6;
    case IDNO: return 7;
    case IDCANCEL: return 2;
    default: return 0;
  }
}

}  // namespace zx
