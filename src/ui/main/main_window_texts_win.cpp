#include "ui/main/main_window_texts_win.h"

#include <commctrl.h>

#include "core/messages.h"
#include "core/ui_text_win.h"
#include "core/win_text.h"
#include "prefs/preference_values.h"
#include "ui/controls/rebar_win.h"
#include "ui/controls/tool_bar_win.h"

namespace zx {
namespace {

constexpr int kFormatNameText = 16000;
constexpr int kFormatFilterNames = 10;
constexpr int kToolBar1Text = 4000;
constexpr int kColumnTitleText = 20000;
constexpr int kMissingToolBarSite = 60;
constexpr int kFirstToolTipText = 30016;
constexpr int kFrenchToolTipOffset = 4;

}  // namespace

void FillFormatFilterBox(const MainWindow& main, int language, int selected) {
  SendMessageW(main.formatBox, CB_RESETCONTENT, 0, 0);
  for (int entry = 0; entry < kFormatFilterNames; ++entry) {
    const std::u16string name = UiText(kFormatNameText + entry, language);
    SendMessageW(main.formatBox, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(Wide(name)));
  }
  SendMessageW(main.formatBox, CB_SETCURSEL, selected, 0);
}

int RelabelMainWindow(ThreadContext& ctx, const MainWindow& main, int language) {
  if (!main.toolBar1 || !IsWindow(main.toolBar1)) return Fail(ctx, kMsgInternalError, kMissingToolBarSite);
  const ToolBar bar(main.toolBar1);
  for (int button = 0; button < 10; ++button) {
    const std::u16string caption = UiText(kToolBar1Text + button, language);
    if (!bar.SetButtonText(500 + button, Wide(caption))) return Fail(ctx, kMsgFirstFatal);
  }
  bar.AutoSize();

  const int selected = static_cast<int>(SendMessageW(main.formatBox, CB_GETCURSEL, 0, 0));
  FillFormatFilterBox(main, language, selected < 0 ? 0 : selected);
  const Rebar rebar(main.rebar);
  rebar.SetBandText(1, Wide(UiText(20013, language)));
  rebar.SetBandText(3, Wide(UiText(20012, language)));

  ToolBar(main.toolBar2).SetButtonImage(kLanguageButton, language == kLangFrench ? kFrenchPicture : kEnglishPicture);

  for (int column = 0; column < 5; ++column) {
    const std::u16string title = UiText(kColumnTitleText + column, language);
    LVCOLUMNW info = {LVCF_TEXT};
    info.pszText = const_cast<wchar_t*>(Wide(title));
    SendMessageW(main.fileList, LVM_SETCOLUMNW, column, reinterpret_cast<LPARAM>(&info));
  }
  RedrawWindow(main.window, nullptr, nullptr, RDW_INVALIDATE | RDW_ALLCHILDREN);
  return 1;
}

std::u16string ToolBar2Tip(int command, int language) {
  if (command < 510 || command > 513) return u"";
  const int offset = language == kLangFrench ? kFrenchToolTipOffset : 0;
  return UiText(kFirstToolTipText + offset + command - 510, kLangNeutral);
}

void ShowFileViewPicture(const MainWindow& main, int fileView) {
  const int picture = fileView == kFileViewDetails ? 2 : fileView == kFileViewSmallIcons ? 3 : 4;
  ToolBar(main.toolBar2).SetButtonImage(kFileViewButton, picture);
}

}  // namespace zx
