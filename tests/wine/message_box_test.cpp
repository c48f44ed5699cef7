// The program's message box, answered by a watcher thread that reads what the
// box shows and presses a button, and the fatal report of the program itself.
#include <windows.h>

#include <gtest/gtest.h>

#include <atomic>
#include <string>
#include <thread>
#include <vector>

#include "core/error_report_win.h"
#include "core/message_box_win.h"
#include "core/messages.h"
#include "core/win_text.h"
#include "wine/program_support.h"

namespace zx {
namespace {

struct Seen {
  std::u16string title;
  std::vector<std::u16string> texts;
};

// Waits for the box titled like every message box of the program, records
// its texts and presses `button`.
Seen AnswerBox(DWORD process, int button) {
  Seen seen;
  HWND box = testing::WaitForProcessWindow(process, MessageBoxTitle(), 6000);
  if (!box) return seen;
  Sleep(50);
  seen.title = MessageBoxTitle();
  seen.texts = testing::DialogTexts(box);
  PostMessageW(box, WM_COMMAND, MAKEWPARAM(button, BN_CLICKED), 0);
  return seen;
}

bool Contains(const std::vector<std::u16string>& texts, const std::u16string& wanted) {
  return testing::AnyContains(texts, wanted);
}

TaskDialogIndirectFunction LoadTaskDialog() {
  HMODULE comctl = LoadLibraryW(L"comctl32.dll");
  return comctl ? reinterpret_cast<TaskDialogIndirectFunction>(GetProcAddress(comctl, "TaskDialogIndirect"))
                : nullptr;
}

class MessageBoxTest : public ::testing::TestWithParam<bool> {
 protected:
  void SetUp() override { SetTaskDialogFunction(GetParam() ? LoadTaskDialog() : nullptr); }
  void TearDown() override { SetTaskDialogFunction(nullptr); }
};

TEST_P(MessageBoxTest, MapsTheButtonPressed) {
  if (GetParam()) ASSERT_NE(TaskDialogFunction(), nullptr);
  const struct {
    UINT type;
    int button;
    int result;
  } cases[] = {
      {MB_YESNO | MB_ICONWARNING, IDYES, 6},
      {MB_YESNO | MB_ICONWARNING, IDNO, 7},
      {MB_YESNOCANCEL | MB_ICONINFORMATION, IDCANCEL, 2},
      {MB_OK | MB_ICONERROR, IDOK, 0},
  };
  for (const auto& c : cases) {
    Seen seen;
    std::thread watcher([&] { seen = AnswerBox(GetCurrentProcessId(), c.button); });
    const int result = ShowMessageBox(u"Question\nDetails here", c.type, nullptr);
    watcher.join();
    EXPECT_EQ(result, c.result) << c.button;
    EXPECT_TRUE(Contains(seen.texts, u"Question")) << c.button;
    EXPECT_TRUE(Contains(seen.texts, u"Details here")) << c.button;
    // The task dialog shows the first line as its main instruction and the
    // second as its content; the plain box shows the text whole.
    bool split = false;
    for (const auto& text : seen.texts) split = split || text == u"Question";
    EXPECT_EQ(split, GetParam()) << c.button;
  }
}

// The report of an error in a message box: padded text, then the numbers.
TEST_P(MessageBoxTest, ReportErrorShowsTheMessageAndItsNumbers) {
  ThreadContext ctx;
  ctx.language = 2057;
  IconDocument doc;
  ErrorReporter reporter(ctx, doc);
  ctx.reportInMessageBox = true;
  Fail(ctx, kMsgNullPointer, 171);
  Seen seen;
  std::thread watcher([&] { seen = AnswerBox(GetCurrentProcessId(), IDOK); });
  EXPECT_FALSE(reporter.ReportError());
  watcher.join();
  EXPECT_TRUE(Contains(seen.texts, u"The pointer value is null")) << seen.texts.size();
  EXPECT_TRUE(Contains(seen.texts, u"(Error 4 / Sub Error 171)"));
  EXPECT_EQ(ctx.error, 0);
  EXPECT_FALSE(ctx.reportInMessageBox);
  // The panel lines of both languages are ready for the icon view.
  EXPECT_EQ(reporter.panelTexts.english.numberLine, u"Error 4 / Sub Error 171");
  EXPECT_EQ(reporter.panelTexts.french.numberLine, u"Erreur 4 / Erreur secondaire 171");
  // Nothing to report: nothing shown.
  EXPECT_TRUE(reporter.ReportError());
}

INSTANTIATE_TEST_SUITE_P(TaskDialogAndPlainBox, MessageBoxTest, ::testing::Bool());

class RecordingPanel : public ErrorPanelView {
 public:
  void ShowErrorPanel(const ErrorPanelLines& lines) override { shown.push_back(lines); }
  std::vector<ErrorPanelLines> shown;
};

TEST(ReportError, PanelFormGoesToTheIconView) {
  ThreadContext ctx;
  ctx.language = 1036;
  IconDocument doc;
  doc.path = u"C:\\icons\\bad.ico";
  doc.container = kContainerIco;
  ErrorReporter reporter(ctx, doc);
  RecordingPanel panel;
  reporter.SetPanel(&panel);
  Fail(ctx, kMsgNoIcon, 50);
  EXPECT_FALSE(reporter.ReportError());
  ASSERT_EQ(panel.shown.size(), 1u);
  EXPECT_EQ(panel.shown[0].numberLine, u"");
  EXPECT_EQ(panel.shown[0].messageLine.substr(0, 2), u"  ");
  EXPECT_EQ(reporter.panelTexts.english.messageLine, u"  The file has no icon");
  EXPECT_EQ(reporter.panelTexts.english.fileAndFormatLine, u"File :bad.ico (ICO format)");
}

}  // namespace
}  // namespace zx
