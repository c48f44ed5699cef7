#include "core/error_report_win.h"

#include "core/language.h"
#include "core/messages.h"
#include "core/message_box_win.h"
#include "core/ui_text_win.h"
#include "core/win_text.h"

namespace zx {
namespace {

// The window in front when it is one of this program's own; a box owned by
// another program's window would come and go with that program.
HWND ProgramForegroundWindow() {
  HWND window = GetForegroundWindow();
  DWORD process = 0;
  if (window) GetWindowThreadProcessId(window, &process);
  return process == GetCurrentProcessId() ? window : nullptr;
}

}  // namespace

void SelectLanguage(ThreadContext& ctx, int choice) {
  ctx.language = LanguageFor(choice, GetUserDefaultLangID());
}

bool ErrorReporter::ReportError() {
  const int message = ErrorMessage(ctx_.error);
  const int site = ErrorSite(ctx_.error);
  if (message == 0) {
    ctx_.error = 0;
    ctx_.reportInMessageBox = false;
    return true;
  }
  ctx_.error = message;
  const TextLookup lookup = UiTextLookup();

  if (IsFatalMessage(message)) {
    SelectLanguage(ctx_, languageChoice_);
    if (message != kMsgThemeChanged) ctx_.error = kMsgFirstFatal;
    const std::u16string text = FatalReportText(lookup, ctx_.language, message);
    MessageBoxW(ProgramForegroundWindow(), Wide(text), Wide(UiText(30000, 0)), MB_ICONERROR);
    if (shutdown_) shutdown_();
    ExitProcess(0);
  }

  for (int language : kLanguageTable) {
    FillErrorPanelLines(lookup, language, message, site, document_.path, document_.container,
                        panelTexts.For(language));
  }
  if (ctx_.reportInMessageBox) {
    ShowMessageBox(MessageBoxReportText(lookup, ctx_.language, message, site), MB_ICONERROR, nullptr);
  } else if (panel_) {
    panel_->ShowErrorPanel(panelTexts.For(ctx_.language));
  }
  ctx_.reportInMessageBox = false;
  ctx_.error = 0;
  return false;
}

bool ReportBatchError(ThreadContext& batch) {
  const int message = ErrorMessage(batch.error);
  const int site = ErrorSite(batch.error);
  if (message == 0) {
    batch.error = 0;
    return true;
  }
  ShowMessageBox(MessageBoxReportText(UiTextLookup(), batch.language, message, site), MB_ICONERROR,
                 nullptr);
  batch.error = 0;
  return false;
}

}  // namespace zx
