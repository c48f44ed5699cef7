// Reporting the error held in a thread's slot: a fatal box followed by
// shutdown, a message box, or the icon view's error panel.
#pragma once

#include <windows.h>

#include <functional>

#include "core/icon_document.h"
#include "core/report_text.h"
#include "core/thread_context.h"

namespace zx {

// The error panel's lines in both languages. The icon view's captions and
// status texts share them, so a language switch shows the error again.
struct ErrorPanelTexts {
  ErrorPanelLines english;
  ErrorPanelLines french;
  ErrorPanelLines& For(int language) { return language == 1036 ? french : english; }
};

// Where the panel form of a report goes (the icon view, once it exists).
class ErrorPanelView {
 public:
  virtual ~ErrorPanelView() = default;
  // Discard the image pane's pictures, show the lines in the status bar and
  // the group list's caption.
  virtual void ShowErrorPanel(const ErrorPanelLines& lines) = 0;
};

class ErrorReporter {
 public:
  ErrorReporter(ThreadContext& ctx, const IconDocument& document) : ctx_(ctx), document_(document) {}

  void SetPanel(ErrorPanelView* panel) { panel_ = panel; }
  // Called after a fatal message has been shown; it must not return.
  void SetFatalHandler(std::function<void()> shutdown) { shutdown_ = std::move(shutdown); }
  // Re-reads the language before a fatal message (the language preference).
  void SetLanguageChoice(int choice) { languageChoice_ = choice; }

  // Reports and clears the slot. True when there was nothing to report.
  bool ReportError();

  ErrorPanelTexts panelTexts;

 private:
  ThreadContext& ctx_;
  const IconDocument& document_;
  ErrorPanelView* panel_ = nullptr;
  std::function<void()> shutdown_;
  int languageChoice_ = 0;
};

// The worker's report: always a message box, in the worker's language.
bool ReportBatchError(ThreadContext& batch);

// Sets the context's language from a language choice and the user's language.
void SelectLanguage(ThreadContext& ctx, int choice);

}  // namespace zx
