#include "app/application_win.h"

#include <commctrl.h>
#include <objbase.h>

#include <algorithm>
#include <cstring>

#include "app/command_dispatch_win.h"
#include "app/module_template_win.h"
#include "app/windows_version_win.h"
#include "core/embedded_items_win.h"
#include "core/message_box_win.h"
#include "core/messages.h"
#include "core/ui_text_win.h"
#include "core/win_text.h"
#include "ops/icon_document_ops.h"
#include "prefs/preference_store_win.h"
#include "ui/controls/list_view_win.h"
#include "ui/main/main_window_texts_win.h"

namespace zx {
namespace {

constexpr int kFatalCommonControlsInit = 207;
constexpr int kFatalOldWindows = 208;
constexpr int kFatalNoTheme = 218;
constexpr int kFatalCursors = 219;
constexpr int kStartupFontPoints = 11;

[[noreturn]] void StopWithFatalError(Application& app) {
  app.reporter.ReportError();
  Shutdown(app);
}

void Require(Application& app, int ok) {
  if (!ok) StopWithFatalError(app);
}

int LoadStorageIds(Application& app) {
  for (int copy = 0; copy < 2; ++copy) {
    const auto item = EmbeddedItem(70 + copy);
    if (item.size() < sizeof(GUID)) return Fail(app.ui, kMsgFirstFatal);
    std::memcpy(&app.storageId[copy], item.data(), sizeof(GUID));
  }
  return 1;
}

HFONT CreateStartupFont() {
  HDC screen = GetDC(nullptr);
  const int height = -MulDiv(kStartupFontPoints, GetDeviceCaps(screen, LOGPIXELSY), 72);
  ReleaseDC(nullptr, screen);
  return CreateFontW(height, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS,
                     CLIP_DEFAULT_PRECIS, CLEARTYPE_QUALITY, DEFAULT_PITCH, L"ARIAL");
}

HACCEL CreateShortcuts() {
  ACCEL keys[] = {
      {FVIRTKEY | FCONTROL, 'A', 101},
      {FVIRTKEY | FCONTROL, 'T', 102},
      {FVIRTKEY, VK_ESCAPE, 103},
      {FVIRTKEY, VK_DELETE, 104},
  };
  return CreateAcceleratorTableW(keys, 4);
}

// The remembered values shown in the window: the recent folders, the format
// filter and the file list's view.
void ApplyPreferences(Application& app) {
  MainWindow& main = app.main;
  SendMessageW(main.recentBox, CB_RESETCONTENT, 0, 0);
  for (const std::u16string& folder : app.preferences.recentFolders) {
    SendMessageW(main.recentBox, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(Wide(folder)));
  }
  SendMessageW(main.recentBox, CB_SETCURSEL, 0, 0);
  FillFormatFilterBox(main, app.ui.language, app.preferences.formatFilterIndex);
  // The view menu stores tiles for any view it does not know.
  app.preferences.fileOptions = NormaliseFileView(app.preferences.fileOptions);
  const int view = FileViewOf(app.preferences.fileOptions);
  ShowFileViewPicture(main, view);
  ListView(main.fileList)
      .SetView(view == kFileViewDetails ? LV_VIEW_DETAILS : view == kFileViewSmallIcons ? LV_VIEW_SMALLICON
                                                                                        : LV_VIEW_TILE);
}

// What the window holds of the preferences at closing.
void CollectPreferences(Application& app) {
  MainWindow& main = app.main;
  if (!main.recentBox) return;
  PathList folders;
  const int count = static_cast<int>(SendMessageW(main.recentBox, CB_GETCOUNT, 0, 0));
  for (int i = 0; i < count; ++i) {
    const int length = static_cast<int>(SendMessageW(main.recentBox, CB_GETLBTEXTLEN, i, 0));
    if (length < 0) continue;
    std::wstring text(static_cast<size_t>(length) + 1, L'\0');
    SendMessageW(main.recentBox, CB_GETLBTEXT, i, reinterpret_cast<LPARAM>(text.data()));
    text.resize(static_cast<size_t>(length));
    folders.push_back(FromWide(text));
  }
  app.preferences.recentFolders = folders;
  const int filter = static_cast<int>(SendMessageW(main.formatBox, CB_GETCURSEL, 0, 0));
  if (filter >= 0) app.preferences.formatFilterIndex = filter;
}

}  // namespace

void SetLanguage(Application& app, int choice) {
  SelectLanguage(app.ui, choice);
  SelectLanguage(app.batch, choice);
  app.reporter.SetLanguageChoice(choice);
}

void Main() {
  static Application app;
  app.reporter.SetFatalHandler([] { Shutdown(app); });
  Initialise(app);
  RunMainWindow(app);
  SavePreferences(app);
  Shutdown(app);
}

void Initialise(Application& app) {
  app.menus.Prepare();
  if (!ClaimSingleInstance(app.instance)) Shutdown(app);
  app.main.activateMessage = app.instance.activateMessage;

  ResolveThemeFunctions(app.functions);
  // GDI+ is started only around each decoding; a missing GDI+ stops the start
  // in the theme check.
  ResolveGdiplus(app.uiServices.gdiplus());

  app.ui.preferenceFolder = PreferenceFolder();
  app.batch.preferenceFolder = app.ui.preferenceFolder;
  app.preferences.languageValue = ReadLanguageEarly(app.ui.preferenceFolder);
  SetLanguage(app, LanguageChoiceOf(app.preferences.languageValue));

  INITCOMMONCONTROLSEX controls = {sizeof(controls), ICC_COOL_CLASSES | ICC_BAR_CLASSES};
  if (!InitCommonControlsEx(&controls)) Require(app, Fail(app.ui, kFatalCommonControlsInit));

  app.comStarted =
      SUCCEEDED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE | COINIT_SPEED_OVER_MEMORY));

  app.waitCursor = static_cast<HCURSOR>(LoadImageW(nullptr, IDC_WAIT, IMAGE_CURSOR, 0, 0, LR_SHARED | LR_DEFAULTSIZE));
  app.arrowCursor = static_cast<HCURSOR>(LoadImageW(nullptr, IDC_ARROW, IMAGE_CURSOR, 0, 0, LR_SHARED | LR_DEFAULTSIZE));
  if (!app.waitCursor || !app.arrowCursor) Require(app, Fail(app.ui, kFatalCursors));

  if (!IsRunningWindowsSupported()) Require(app, Fail(app.ui, kFatalOldWindows));

  Require(app, ResolveKernelFunctions(app.ui, app.functions));
  Require(app, ResolveCommonControlsFunctions(app.ui, app.functions));
  SetTaskDialogFunction(reinterpret_cast<TaskDialogIndirectFunction>(
      reinterpret_cast<void*>(app.functions.taskDialogIndirect)));
  Require(app, ResolveOleFunctions(app.ui, app.uiServices.scratchStreams(), app.batchServices.scratchStreams()));

  Require(app, LoadStorageIds(app));
  app.instanceHandle[0] = GetModuleHandleW(nullptr);
  app.instanceHandle[1] = GetModuleHandleW(nullptr);
  app.startupFont.Reset(CreateStartupFont());
  if (!app.instanceHandle[0] || !app.instanceHandle[1] || !app.startupFont) {
    Require(app, Fail(app.ui, kMsgFirstFatal));
  }

  Require(app, LoadModuleTemplate(app.ui, app.moduleTemplate[0]));
  app.moduleTemplate[1] = app.moduleTemplate[0];

  wchar_t path[MAX_PATH] = {};
  GetModuleFileNameW(nullptr, path, MAX_PATH);
  app.programPath = FromWide(path);
}

void RunMainWindow(Application& app) {
  SetLanguage(app, LanguageChoiceOf(app.preferences.languageValue));
  MainWindow& main = app.main;
  main.ctx = &app.ui;
  main.reporter = &app.reporter;
  main.startupFont = static_cast<HFONT>(app.startupFont.get());
  ConnectMainWindow(app);

  Require(app, CreateMainWindow(app.ui, main, WindowTitle(1, app.ui.language) + u" - " + ArchitectureTag()));
  Require(app, BuildMainWindow(app.ui, main, app.functions.setWindowTheme, app.ui.language));
  app.reporter.SetPanel(&app.errorPanel);
  if (!HasThemeAndGdiplusFunctions(app.functions, app.uiServices.gdiplus()) || !MainWindowHasTheme(main, app.functions.getWindowTheme)) {
    Require(app, Fail(app.ui, kFatalNoTheme));
  }

  app.accelerators = CreateShortcuts();
  app.preferences = ReadPreferences(app.ui.preferenceFolder, GetUserDefaultLangID());
  ApplyPreferences(app);
  AttachIconView(app.iconView, main, app.ui, app.document, app.reporter);
  AttachExplorer(app.explorer, main, app.iconView, app.preferences, app.programPath);
  main.host.viewEvent = [&app](UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) {
    return OnExplorerNotify(app.explorer, message, wParam, lParam, result) ||
           OnIconViewNotify(app.iconView, message, wParam, lParam, result);
  };
  ApplyLanguage(app);

  for (HWND list : {main.fileList, main.groupList}) {
    ListView(list).SetExtendedStyle(LVS_EX_DOUBLEBUFFER, LVS_EX_DOUBLEBUFFER);
  }
  TreeView_SetExtendedStyle(main.tree, TVS_EX_DOUBLEBUFFER | TVS_EX_AUTOHSCROLL,
                            TVS_EX_DOUBLEBUFFER | TVS_EX_AUTOHSCROLL);

  const StartDecision start = DecideStartMode(app.preferences.fileOptions);
  app.preferences.fileOptions = start.options;
  ShowWindow(main.window, start.maximised ? SW_SHOWMAXIMIZED : SW_SHOWDEFAULT);
  UpdateWindow(main.window);
  StartExplorer(app.explorer);

  RunEventLoop(app);
}

void SavePreferences(Application& app) {
  CollectPreferences(app);
  // The window is about to close: a failure is worth a message box, as the
  // status bar would never be seen.
  app.ui.reportInMessageBox = true;
  if (!WritePreferences(app.ui, app.ui.preferenceFolder, app.preferences, MainClientWidth(app.main))) {
    ShowWindow(app.main.window, SW_HIDE);
    app.reporter.ReportError();
  }
  app.ui.reportInMessageBox = false;
}

void Shutdown(Application& app) {
  if (app.arrowCursor) SetCursor(app.arrowCursor);
  app.menus.Teardown();
  if (app.main.window && IsWindow(app.main.window)) DestroyWindow(app.main.window);
  app.main.window = nullptr;
  app.startupFont.Reset();
  ClearPanePictures(app.iconView);
  CloseDocument(app.ui, &app.document);
  app.main.list85.Reset();
  app.main.list86.Reset();
  app.main.list48.Reset();
  for (UniqueIcon& icon : app.main.packedIcons) icon.Reset();
  if (app.accelerators) DestroyAcceleratorTable(app.accelerators);
  app.accelerators = nullptr;
  ReleasePlatformFunctions(app.functions);
  for (ThreadServices* services : {&app.uiServices, &app.batchServices}) {
    services->scratchStreams().ole32.Reset();
    services->scratchStreams().createStorage = nullptr;
  }
  app.uiServices.gdiplus().ready = false;
  app.uiServices.gdiplus().module.Reset();
  app.ui.blocks.ReleaseAll();
  app.batch.blocks.ReleaseAll();
  app.uiServices.scratchStreams().ReleaseAll();
  app.batchServices.scratchStreams().ReleaseAll();
  app.instance.mutex.Reset();
  if (app.comStarted) CoUninitialize();
  app.comStarted = false;
  ExitProcess(0);
}

}  // namespace zx
