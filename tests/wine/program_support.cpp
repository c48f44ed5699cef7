#include "wine/program_support.h"

#include <commctrl.h>

#include <cstddef>
#include <cstring>

#include "core/win_text.h"

namespace zx::testing {
namespace {

std::wstring ToWide(const std::u16string& text) { return std::wstring(text.begin(), text.end()); }

// The current environment with APPDATA replaced, as a CreateProcessW block.
std::wstring ProgramEnvironment(const std::u16string& appData) {
  std::wstring block;
  wchar_t* strings = GetEnvironmentStringsW();
  for (const wchar_t* entry = strings; *entry; entry += wcslen(entry) + 1) {
    if (_wcsnicmp(entry, L"APPDATA=", 8) == 0) continue;
    block += entry;
    block.push_back(L'\0');
  }
  FreeEnvironmentStringsW(strings);
  block += L"APPDATA=" + ToWide(appData);
  block.push_back(L'\0');
  block.push_back(L'\0');
  return block;
}

struct TitleSearch {
  DWORD process;
  std::u16string title;
  HWND found;
};

BOOL CALLBACK MatchTitle(HWND window, LPARAM param) {
  auto* search = reinterpret_cast<TitleSearch*>(param);
  DWORD process = 0;
  GetWindowThreadProcessId(window, &process);
  wchar_t title[256] = {};
  GetWindowTextW(window, title, 256);
  if (process == search->process && IsWindowVisible(window) && FromWide(title) == search->title) {
    search->found = window;
    return FALSE;
  }
  return TRUE;
}

struct IdSearch {
  int id;
  HWND found;
};

BOOL CALLBACK MatchId(HWND window, LPARAM param) {
  auto* search = reinterpret_cast<IdSearch*>(param);
  if (GetDlgCtrlID(window) == search->id) {
    search->found = window;
    return FALSE;
  }
  return TRUE;
}

BOOL CALLBACK CollectText(HWND child, LPARAM param) {
  wchar_t text[1024] = {};
  GetWindowTextW(child, text, 1024);
  if (text[0]) reinterpret_cast<std::vector<std::u16string>*>(param)->push_back(FromWide(text));
  return TRUE;
}

}  // namespace

ProgramLock::ProgramLock() : mutex_(CreateMutexW(nullptr, FALSE, L"ZorvexProgramTests")) {
  if (mutex_) WaitForSingleObject(mutex_, 300000);
}

ProgramLock::~ProgramLock() {
  if (mutex_) {
    ReleaseMutex(mutex_);
    CloseHandle(mutex_);
  }
}

std::u16string ProgramPath(const std::u16string& name) {
  wchar_t self[MAX_PATH] = {};
  GetModuleFileNameW(nullptr, self, MAX_PATH);
  std::u16string path = FromWide(self);
  return path.substr(0, path.find_last_of(u"\\/") + 1) + name;
}

std::u16string MainWindowTitle() { return u"Zorvex version 2.00 beta 2 - (x64)"; }

ProgramRun::ProgramRun(const std::u16string& appData, const std::u16string& folder) {
  std::wstring command = L"\"" + ToWide(ProgramPath(u"zorvex.exe")) + L"\"";
  std::wstring environment = ProgramEnvironment(appData);
  STARTUPINFOW startup = {};
  startup.cb = sizeof(startup);
  const std::wstring current = ToWide(folder);
  if (!CreateProcessW(nullptr, command.data(), nullptr, nullptr, FALSE, CREATE_UNICODE_ENVIRONMENT,
                      environment.data(), current.empty() ? nullptr : current.c_str(), &startup, &info_)) {
    info_ = {};
  }
}

ProgramRun::~ProgramRun() {
  if (!info_.hProcess) return;
  if (WaitForSingleObject(info_.hProcess, 0) == WAIT_TIMEOUT) {
    TerminateProcess(info_.hProcess, 1);
    WaitForSingleObject(info_.hProcess, 5000);
  }
  CloseHandle(info_.hProcess);
  CloseHandle(info_.hThread);
}

HWND ProgramRun::WaitForWindow(const std::u16string& title, int ms) const {
  return WaitForProcessWindow(info_.dwProcessId, title, ms);
}

HWND WaitForProcessWindow(DWORD process, const std::u16string& title, int ms) {
  TitleSearch search{process, title, nullptr};
  for (int waited = 0; waited <= ms && !search.found; waited += 20) {
    EnumWindows(MatchTitle, reinterpret_cast<LPARAM>(&search));
    if (!search.found) Sleep(20);
  }
  return search.found;
}

bool ProgramRun::WaitForExit(int ms) {
  if (!info_.hProcess || WaitForSingleObject(info_.hProcess, ms) != WAIT_OBJECT_0) return false;
  GetExitCodeProcess(info_.hProcess, &exitCode_);
  return true;
}

HWND FindControl(HWND window, int id) {
  IdSearch search{id, nullptr};
  EnumChildWindows(window, MatchId, reinterpret_cast<LPARAM>(&search));
  return search.found;
}

RECT RectIn(HWND window, HWND reference) {
  RECT rect = {};
  GetWindowRect(window, &rect);
  MapWindowPoints(nullptr, reference, reinterpret_cast<POINT*>(&rect), 2);
  return rect;
}

std::vector<std::u16string> DialogTexts(HWND dialog) {
  std::vector<std::u16string> texts;
  EnumChildWindows(dialog, CollectText, reinterpret_cast<LPARAM>(&texts));
  return texts;
}

bool AnyContains(const std::vector<std::u16string>& texts, const std::u16string& wanted) {
  for (const auto& text : texts) {
    if (text.find(wanted) != std::u16string::npos) return true;
  }
  return false;
}

LRESULT SendWithBuffer(HWND window, UINT message, WPARAM wParam, std::vector<uint8_t>& bytes) {
  DWORD processId = 0;
  GetWindowThreadProcessId(window, &processId);
  HANDLE process = OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE, FALSE, processId);
  if (!process) return 0;
  void* remote = VirtualAllocEx(process, nullptr, bytes.size(), MEM_COMMIT, PAGE_READWRITE);
  LRESULT result = 0;
  if (remote) {
    WriteProcessMemory(process, remote, bytes.data(), bytes.size(), nullptr);
    result = SendMessageW(window, message, wParam, reinterpret_cast<LPARAM>(remote));
    ReadProcessMemory(process, remote, bytes.data(), bytes.size(), nullptr);
    VirtualFreeEx(process, remote, 0, MEM_RELEASE);
  }
  CloseHandle(process);
  return result;
}

std::u16string ReadTextThroughStructure(HWND window, UINT message, WPARAM wParam, std::vector<uint8_t> structure,
                                        size_t pointerOffset, size_t lengthOffset) {
  constexpr size_t kChars = 1024;
  DWORD processId = 0;
  GetWindowThreadProcessId(window, &processId);
  HANDLE process = OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE, FALSE, processId);
  if (!process) return u"";
  const size_t total = structure.size() + kChars * sizeof(wchar_t);
  auto* remote = static_cast<uint8_t*>(VirtualAllocEx(process, nullptr, total, MEM_COMMIT, PAGE_READWRITE));
  std::u16string text;
  if (remote) {
    uint8_t* buffer = remote + structure.size();
    std::memcpy(structure.data() + pointerOffset, &buffer, sizeof(buffer));
    const uint32_t chars = kChars;
    std::memcpy(structure.data() + lengthOffset, &chars, sizeof(chars));
    std::vector<uint8_t> bytes(total, 0);
    std::memcpy(bytes.data(), structure.data(), structure.size());
    WriteProcessMemory(process, remote, bytes.data(), total, nullptr);
    SendMessageW(window, message, wParam, reinterpret_cast<LPARAM>(remote));
    ReadProcessMemory(process, remote, bytes.data(), total, nullptr);
    VirtualFreeEx(process, remote, 0, MEM_RELEASE);
    const auto* chars16 = reinterpret_cast<const char16_t*>(bytes.data() + structure.size());
    text.assign(chars16, std::char_traits<char16_t>::length(chars16));
  }
  CloseHandle(process);
  return text;
}

std::u16string ListItemText(HWND list, int item, int column) {
  LVITEMW data = {};
  data.iSubItem = column;
  std::vector<uint8_t> bytes(reinterpret_cast<uint8_t*>(&data), reinterpret_cast<uint8_t*>(&data) + sizeof(data));
  return ReadTextThroughStructure(list, LVM_GETITEMTEXTW, item, bytes, offsetof(LVITEMW, pszText),
                                  offsetof(LVITEMW, cchTextMax));
}

std::u16string BandText(HWND rebar, int band) {
  REBARBANDINFOW info = {};
  info.cbSize = sizeof(info);
  info.fMask = RBBIM_TEXT;
  std::vector<uint8_t> bytes(reinterpret_cast<uint8_t*>(&info), reinterpret_cast<uint8_t*>(&info) + sizeof(info));
  return ReadTextThroughStructure(rebar, RB_GETBANDINFOW, band, bytes, offsetof(REBARBANDINFOW, lpText),
                                  offsetof(REBARBANDINFOW, cch));
}

bool SaveScreenshot(const std::string& unixPath) {
  // Wine starts Unix programs given by their Unix path.
  std::wstring command = L"/bin/sh -c \"mkdir -p \\\"$(dirname '" + std::wstring(unixPath.begin(), unixPath.end()) +
                         L"')\\\" && xwd -root -silent | convert xwd:- '" +
                         std::wstring(unixPath.begin(), unixPath.end()) + L"'\"";
  STARTUPINFOW startup = {};
  startup.cb = sizeof(startup);
  PROCESS_INFORMATION info = {};
  if (!CreateProcessW(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &info)) {
    return false;
  }
  WaitForSingleObject(info.hProcess, 30000);
  CloseHandle(info.hProcess);
  CloseHandle(info.hThread);
  // The file appears once convert has finished.
  const std::wstring windowsPath = L"Z:" + std::wstring(unixPath.begin(), unixPath.end());
  for (int i = 0; i < 100; ++i) {
    if (GetFileAttributesW(windowsPath.c_str()) != INVALID_FILE_ATTRIBUTES) return true;
    Sleep(50);
  }
  return false;
}

void SetVisualStyle(bool on) {
  HKEY key = nullptr;
  if (RegCreateKeyExW(HKEY_CURRENT_USER, L"Software\\Microsoft\\Windows\\CurrentVersion\\ThemeManager", 0, nullptr, 0,
                      KEY_SET_VALUE, nullptr, &key, nullptr) != ERROR_SUCCESS) {
    return;
  }
  const wchar_t* active = on ? L"1" : L"0";
  RegSetValueExW(key, L"ThemeActive", 0, REG_SZ, reinterpret_cast<const BYTE*>(active),
                 static_cast<DWORD>((wcslen(active) + 1) * sizeof(wchar_t)));
  if (on) {
    const wchar_t* style = L"C:\\windows\\resources\\themes\\light\\light.msstyles";
    RegSetValueExW(key, L"DllName", 0, REG_SZ, reinterpret_cast<const BYTE*>(style),
                   static_cast<DWORD>((wcslen(style) + 1) * sizeof(wchar_t)));
  }
  RegCloseKey(key);
}

}  // namespace zx::testing
