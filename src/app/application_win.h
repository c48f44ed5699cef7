// The process's life: start-up checks, the single instance, the main window
// and its event loop, the preferences written after a normal end, and the
// release of everything in a fixed order.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "app/platform_functions_win.h"
#include "app/single_instance_win.h"
#include "core/error_report_win.h"
#include "core/icon_document.h"
#include "core/thread_context.h"
#include "core/win_handles.h"
#include "imaging/thread_services_win.h"
#include "prefs/preference_values.h"
#include "ui/explorer/explorer_win.h"
#include "ui/iconview/icon_view_win.h"
#include "ui/main/main_window_panel_win.h"
#include "ui/main/main_window_win.h"
#include "ui/menus/menu_facility_win.h"

namespace zx {

struct Application {
  ThreadContext ui;
  // The conversion worker's own copies.
  ThreadContext batch;
  IconDocument document;
  ErrorReporter reporter{ui, document};
  // Each thread's scratch streams and GDI+ entry points.
  ThreadServices uiServices{ui};
  ThreadServices batchServices{batch, ThreadRole::kConversion};

  InstanceMark instance;
  PlatformFunctions functions;
  HCURSOR waitCursor = nullptr;
  HCURSOR arrowCursor = nullptr;
  UniqueGdiObject startupFont;
  HINSTANCE instanceHandle[2] = {};
  // The IStorage interface identifier, one per thread (RCDATA 70 and 71).
  GUID storageId[2] = {};
  // One per thread.
  std::vector<uint8_t> moduleTemplate[2];
  std::u16string programPath;
  bool comStarted = false;

  PreferenceValues preferences;
  MainWindow main;
  MainWindowErrorPanel errorPanel{main, reporter};
  IconView iconView;
  Explorer explorer;
  HACCEL accelerators = nullptr;
  bool quitRequested = false;
  // Set while the program itself changes the group list's selection.
  bool suppressGroupChange = false;
  MenuFacility menus;
};

// The process entry: never returns.
[[noreturn]] void Main();

// The language of both threads and of the reports, from a `LanguageChoice`.
void SetLanguage(Application& app, int choice);

// Start-up before the main window; fatal errors stop the process.
void Initialise(Application& app);
// Builds and shows the main window and runs the event loop until the user quits.
void RunMainWindow(Application& app);
// Writes the preferences after a normal end; a failure is shown in a message box.
void SavePreferences(Application& app);
// Releases whatever exists and ends the process with exit code 0.
[[noreturn]] void Shutdown(Application& app);

}  // namespace zx
