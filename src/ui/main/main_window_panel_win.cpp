#include "ui/main/main_window_panel_win.h"

#include "core/win_text.h"
#include "ui/controls/container_win.h"
#include "ui/controls/rebar_win.h"

namespace zx {

void SetGroupListCaption(const MainWindow& main, const std::u16string& caption) {
  Rebar(main.groupCaption).SetBandText(0, Wide(caption));
}

void MainWindowErrorPanel::ShowErrorPanel(const ErrorPanelLines& lines) {
  // The status bar keeps both languages, so a change of language shows the error again.
  for (int language : {2057, 1036}) {
    const ErrorPanelLines& panel = language == 1036 ? reporter_.panelTexts.french : reporter_.panelTexts.english;
    main_.status.For(language) = {panel.fileAndFormatLine, panel.numberLine};
  }
  SetScrollAreaInnerHeight(main_.imagePane, 1);
  ShowStatus(main_.status, main_.ctx ? main_.ctx->language : 2057);
  SetGroupListCaption(main_, lines.messageLine);
}

}  // namespace zx
