// Benchmark (not a test): how long the views take from the folder tree's
// change event to the first file's thumbnails on screen, for a folder of
// 500 .ico files, and how long one file of 200 groups (entries) takes to
// open into the icon view. Prints the median and fastest of each, in ms.
//
//   wine64 build/bin/bench_folder_view.exe [ROUNDS]
#include <windows.h>
#include <commctrl.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "app/platform_functions_win.h"
#include "core/win_text.h"
#include "imaging/thread_services_win.h"
#include "ui/explorer/explorer_win.h"
#include "ui/explorer/folder_tree_win.h"
#include "ui/iconview/icon_view_win.h"
#include "ui/main/main_window_panel_win.h"
#include "ui/main/main_window_win.h"

namespace {

void Put(std::vector<uint8_t>& b, size_t at, uint32_t v, int bytes) {
  if (b.size() < at + bytes) b.resize(at + bytes);
  for (int i = 0; i < bytes; ++i) b[at + i] = static_cast<uint8_t>(v >> (8 * i));
}

// An .ico file of `entries` 32-bit images of `side` pixels with a gradient.
std::vector<uint8_t> IcoFile(int entries, int side) {
  const size_t image = 40 + side * side * 4 + ((side + 31) / 32) * 4 * side;
  std::vector<uint8_t> file;
  Put(file, 0, 0x00010000, 4);
  Put(file, 4, entries, 2);
  size_t offset = 6 + 16 * entries;
  file.resize(offset + image * entries, 0);
  for (int i = 0; i < entries; ++i) {
    const size_t entry = 6 + 16 * i;
    file[entry] = static_cast<uint8_t>(side);
    file[entry + 1] = static_cast<uint8_t>(side);
    Put(file, entry + 4, 1, 2);
    Put(file, entry + 6, 32, 2);
    Put(file, entry + 8, static_cast<uint32_t>(image), 4);
    Put(file, entry + 12, static_cast<uint32_t>(offset), 4);
    Put(file, offset, 40, 4);
    Put(file, offset + 4, side, 4);
    Put(file, offset + 8, side * 2, 4);
    Put(file, offset + 12, 1, 2);
    Put(file, offset + 14, 32, 2);
    for (int p = 0; p < side * side; ++p) {
      uint8_t* pixel = &file[offset + 40 + p * 4];
      pixel[0] = static_cast<uint8_t>(p * 7 + i);
      pixel[1] = static_cast<uint8_t>(p / side * 9);
      pixel[2] = static_cast<uint8_t>(i * 5);
      pixel[3] = 255;
    }
    offset += image;
  }
  return file;
}

void SaveBytes(const std::wstring& path, const std::vector<uint8_t>& bytes) {
  HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  DWORD written = 0;
  WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
  CloseHandle(file);
}

double Now() {
  static LARGE_INTEGER frequency = [] {
    LARGE_INTEGER f;
    QueryPerformanceFrequency(&f);
    return f;
  }();
  LARGE_INTEGER counter;
  QueryPerformanceCounter(&counter);
  return static_cast<double>(counter.QuadPart) / static_cast<double>(frequency.QuadPart);
}

void Report(const char* what, std::vector<double> times) {
  std::sort(times.begin(), times.end());
  std::printf("%-48s median %8.1f ms  fastest %8.1f ms\n", what, times[times.size() / 2] * 1000, times.front() * 1000);
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  const int rounds = argc > 1 ? std::max(1, _wtoi(argv[1])) : 5;
  INITCOMMONCONTROLSEX controls = {sizeof(controls), ICC_COOL_CLASSES | ICC_BAR_CLASSES};
  InitCommonControlsEx(&controls);
  zx::ThreadContext ctx;
  zx::ThreadServices services{ctx};
  zx::ResolveGdiplus(services.gdiplus());
  zx::PlatformFunctions functions;
  zx::ResolveThemeFunctions(functions);
  zx::IconDocument document;
  zx::ErrorReporter reporter{ctx, document};
  zx::MainWindow main;
  main.ctx = &ctx;
  main.reporter = &reporter;
  zx::MainWindowErrorPanel panel(main, reporter);
  reporter.SetPanel(&panel);
  if (!zx::CreateMainWindow(ctx, main, u"Zorvex views benchmark") ||
      !zx::BuildMainWindow(ctx, main, functions.setWindowTheme, 2057)) {
    std::printf("main window: error %lld\n", static_cast<long long>(ctx.error));
    return 1;
  }
  ShowWindow(main.window, SW_SHOW);

  wchar_t temp[MAX_PATH] = {};
  GetTempPathW(MAX_PATH, temp);
  const std::wstring folder = std::wstring(temp) + L"zorvex_bench_views\\";
  CreateDirectoryW(folder.c_str(), nullptr);
  const std::vector<uint8_t> small = IcoFile(1, 32);
  for (int i = 0; i < 500; ++i) SaveBytes(folder + L"file" + std::to_wstring(i) + L".ico", small);
  const std::wstring big = std::wstring(temp) + L"zorvex_bench_200_groups.ico";
  SaveBytes(big, IcoFile(200, 32));

  zx::IconView view;
  zx::AttachIconView(view, main, ctx, document, reporter);
  zx::PreferenceValues preferences;
  preferences.fileOptions = static_cast<zx::FileOptions>(zx::kDateEnglish) << zx::kDateFormatShift;
  zx::Explorer explorer;
  zx::AttachExplorer(explorer, main, view, preferences, u"C:\\");
  SendMessageW(main.formatBox, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(L"all icons formats"));
  SendMessageW(main.formatBox, CB_SETCURSEL, 0, 0);
  zx::FillFolderTree(main.tree);

  std::vector<double> folderTimes;
  std::vector<double> openTimes;
  for (int round = 0; round < rounds; ++round) {
    zx::SetFolderTreePath(main.tree, zx::FromWide(folder));
    const double start = Now();
    zx::FolderChanged(explorer);
    UpdateWindow(main.groupList);
    folderTimes.push_back(Now() - start);
    const int listed = static_cast<int>(SendMessageW(main.fileList, LVM_GETITEMCOUNT, 0, 0));
    const int groups = static_cast<int>(SendMessageW(main.groupList, LVM_GETITEMCOUNT, 0, 0));
    if (listed != 500 || groups != 1) std::printf("round %d: %d files listed, %d groups\n", round, listed, groups);

    const double open = Now();
    zx::OpenIconFile(view, zx::FromWide(big));
    UpdateWindow(main.groupList);
    openTimes.push_back(Now() - open);
    if (SendMessageW(main.groupList, LVM_GETITEMCOUNT, 0, 0) != 200) std::printf("round %d: 200 groups not shown\n", round);
  }
  Report("tree change -> first file shown (500 files)", folderTimes);
  Report("open a file of 200 groups", openTimes);

  zx::CloseViewDocument(view, true);
  DestroyWindow(main.window);
  for (int i = 0; i < 500; ++i) DeleteFileW((folder + L"file" + std::to_wstring(i) + L".ico").c_str());
  RemoveDirectoryW(folder.c_str());
  DeleteFileW(big.c_str());
  return 0;
}
