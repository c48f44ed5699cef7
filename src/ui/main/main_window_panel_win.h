// The error panel on the main window: a report that does not go to a message
// box shows its message as the group list's caption and its file and number
// lines in the status bar, and the image pane is emptied.
#pragma once

#include <string>

#include "core/error_report_win.h"
#include "ui/main/main_window_win.h"

namespace zx {

class MainWindowErrorPanel : public ErrorPanelView {
 public:
  MainWindowErrorPanel(MainWindow& main, const ErrorReporter& reporter) : main_(main), reporter_(reporter) {}
  void ShowErrorPanel(const ErrorPanelLines& lines) override;

 private:
  MainWindow& main_;
  const ErrorReporter& reporter_;
};

// The caption above the group list.
void SetGroupListCaption(const MainWindow& main, const std::u16string& caption);

}  // namespace zx
