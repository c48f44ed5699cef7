// Helpers for the tests that start zorvex.exe itself: each run gets its own
// APPDATA (and so its own preference file), tests that start the program take
// turns, and the program's windows are looked at from outside.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

namespace zx::testing {

// Zorvex allows one instance per session: tests that start it hold this lock
// (a named mutex shared by every test process) while the program runs.
class ProgramLock {
 public:
  ProgramLock();
  ~ProgramLock();
  ProgramLock(const ProgramLock&) = delete;
  ProgramLock& operator=(const ProgramLock&) = delete;

 private:
  HANDLE mutex_;
};

// zorvex.exe started with APPDATA set to `appData` (empty: set but empty)
// and `folder` as its current folder. Wine gives it the user's language of
// this process's Unix locale (the Wine tests run with LC_ALL=en_GB.UTF-8).
class ProgramRun {
 public:
  ProgramRun(const std::u16string& appData, const std::u16string& folder);
  ~ProgramRun();
  bool started() const { return info_.hProcess != nullptr; }
  DWORD processId() const { return info_.dwProcessId; }
  // The program's visible top-level window of that title, or null after `ms`.
  HWND WaitForWindow(const std::u16string& title, int ms = 20000) const;
  // True when the process has ended within `ms`; its exit code is then kept.
  bool WaitForExit(int ms = 20000);
  DWORD exitCode() const { return exitCode_; }

 private:
  PROCESS_INFORMATION info_ = {};
  DWORD exitCode_ = 0xFFFFFFFF;
};

// A visible top-level window of `process` titled `title`, or null after `ms`.
HWND WaitForProcessWindow(DWORD process, const std::u16string& title, int ms);

// The title of the main window: "Zorvex version 2.00 beta 2 - (x64)".
std::u16string MainWindowTitle();
// Full path of a program next to the test program.
std::u16string ProgramPath(const std::u16string& name);

// The control of `id` anywhere below `window`, or null.
HWND FindControl(HWND window, int id);
// The window's rectangle in the client coordinates of `reference`.
RECT RectIn(HWND window, HWND reference);
// Every text of the child windows of a dialog.
std::vector<std::u16string> DialogTexts(HWND dialog);
bool AnyContains(const std::vector<std::u16string>& texts, const std::u16string& wanted);

// Sends a message whose parameter points to a buffer, through memory of the
// window's own process: `bytes` go in and come back as the control left them.
LRESULT SendWithBuffer(HWND window, UINT message, WPARAM wParam, std::vector<uint8_t>& bytes);

// A text that a control writes through a pointer inside a structure: the
// structure and a text buffer go to the window's process together, the
// pointer at `pointerOffset` aimed at the buffer and the buffer's length in
// characters written as a 32-bit value at `lengthOffset`.
std::u16string ReadTextThroughStructure(HWND window, UINT message, WPARAM wParam, std::vector<uint8_t> structure,
                                        size_t pointerOffset, size_t lengthOffset);
// A list view item's text and a rebar band's text, read from outside.
std::u16string ListItemText(HWND list, int item, int column = 0);
std::u16string BandText(HWND rebar, int band);

// Saves the whole X screen as a PNG with xwd and ImageMagick's convert.
bool SaveScreenshot(const std::string& unixPath);

// HKCU's visual style: on (Wine's light style) or off (the classic look).
void SetVisualStyle(bool on);

}  // namespace zx::testing

namespace zx::testing {

// Sends a message whose parameter is the structure `structure`, which holds at
// `pointerOffset` the address of a text buffer of `chars` characters; both
// live in the window's process for the call. Returns the text.
std::u16string SendForText(HWND window, UINT message, WPARAM wParam, std::vector<uint8_t> structure,
                           size_t pointerOffset, int chars);

// Every visible top-level window of `process` but `except`, or null after `ms`.
HWND WaitForOtherWindow(DWORD process, HWND except, int ms = 20000);

}  // namespace zx::testing

namespace zx::testing {

// Saves `base` with `overlay` on top, each as the window itself holds it (the
// X screen may not show every window), as a PNG through ImageMagick's convert.
bool SaveWindowPicture(HWND base, HWND overlay, const std::string& unixPath);

}  // namespace zx::testing
