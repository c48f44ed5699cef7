// Zorvex entry point.
#include <windows.h>

#include "core/error_report_win.h"
#include "core/icon_document.h"
#include "core/messages.h"
#include "core/message_box_win.h"
#include "core/thread_context.h"

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
  zx::ThreadContext ui;
  zx::IconDocument document;
  zx::ErrorReporter reporter(ui, document);
  zx::SelectLanguage(ui, 0);
  // The main window is not built yet: say so the way every start-up failure does.
  zx::Fail(ui, zx::kMsgFirstFatal, 0);
  reporter.ReportError();
  return 0;
}
