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
  // Wine starts Unix programs given by their Unix path, but the process it
  // hands back may end before the program does: the picture is written under
  // a passing name and moved into place, and the test waits for that name.
  const std::wstring path(unixPath.begin(), unixPath.end());
  const std::wstring windowsPath = L"Z:" + path;
  DeleteFileW(windowsPath.c_str());
  std::wstring command = L"/bin/sh -c \"mkdir -p \\\"$(dirname '" + path + L"')\\\" && xwd -root -silent | convert xwd:- '" +
                         path + L".part.png' && mv '" + path + L".part.png' '" + path + L"'\"";
  STARTUPINFOW startup = {};
  startup.cb = sizeof(startup);
  PROCESS_INFORMATION info = {};
  if (!CreateProcessW(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &info)) {
    return false;
  }
  WaitForSingleObject(info.hProcess, 60000);
  CloseHandle(info.hProcess);
  CloseHandle(info.hThread);
  for (int waited = 0; waited < 60000; waited += 50) {
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

namespace zx::testing {

std::u16string SendForText(HWND window, UINT message, WPARAM wParam, std::vector<uint8_t> structure,
                           size_t pointerOffset, int chars) {
  DWORD processId = 0;
  GetWindowThreadProcessId(window, &processId);
  HANDLE process = OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE, FALSE, processId);
  if (!process) return u"";
  const size_t total = structure.size() + static_cast<size_t>(chars) * sizeof(wchar_t);
  auto* remote = static_cast<uint8_t*>(VirtualAllocEx(process, nullptr, total, MEM_COMMIT, PAGE_READWRITE));
  std::u16string text;
  if (remote) {
    void* textAddress = remote + structure.size();
    std::memcpy(structure.data() + pointerOffset, &textAddress, sizeof(textAddress));
    std::vector<uint8_t> zeros(total - structure.size(), 0);
    WriteProcessMemory(process, remote, structure.data(), structure.size(), nullptr);
    WriteProcessMemory(process, textAddress, zeros.data(), zeros.size(), nullptr);
    SendMessageW(window, message, wParam, reinterpret_cast<LPARAM>(remote));
    std::vector<char16_t> buffer(static_cast<size_t>(chars), u'\0');
    ReadProcessMemory(process, textAddress, buffer.data(), buffer.size() * sizeof(char16_t), nullptr);
    buffer.back() = u'\0';
    text = buffer.data();
    VirtualFreeEx(process, remote, 0, MEM_RELEASE);
  }
  CloseHandle(process);
  return text;
}

HWND WaitForOtherWindow(DWORD process, HWND except, int ms) {
  struct Search {
    DWORD process;
    HWND except;
    HWND found;
  } search = {process, except, nullptr};
  for (int waited = 0; waited <= ms; waited += 50) {
    EnumWindows(
        [](HWND window, LPARAM data) -> BOOL {
          auto* s = reinterpret_cast<Search*>(data);
          DWORD owner = 0;
          GetWindowThreadProcessId(window, &owner);
          if (owner == s->process && window != s->except && IsWindowVisible(window)) {
            s->found = window;
            return FALSE;
          }
          return TRUE;
        },
        reinterpret_cast<LPARAM>(&search));
    if (search.found) return search.found;
    Sleep(50);
  }
  return nullptr;
}

}  // namespace zx::testing

namespace zx::testing {

bool SaveWindowPicture(HWND base, HWND overlay, const std::string& unixPath) {
  RECT frame = {}, top = {};
  GetWindowRect(base, &frame);
  GetWindowRect(overlay, &top);
  const int width = frame.right - frame.left, height = frame.bottom - frame.top;
  HDC screen = GetDC(nullptr);
  HDC memory = CreateCompatibleDC(screen);
  HBITMAP picture = CreateCompatibleBitmap(screen, width, height);
  HGDIOBJ previous = SelectObject(memory, picture);
  for (HWND window : {base, overlay}) {
    RECT at = {};
    GetWindowRect(window, &at);
    HDC source = GetWindowDC(window);
    BitBlt(memory, at.left - frame.left, at.top - frame.top, at.right - at.left, at.bottom - at.top, source, 0, 0,
           SRCCOPY);
    ReleaseDC(window, source);
  }
  SelectObject(memory, previous);
  BITMAPINFOHEADER header = {sizeof(header), width, height, 1, 24, BI_RGB};
  const int rowBytes = (width * 3 + 3) & ~3;
  std::vector<uint8_t> pixels(static_cast<size_t>(rowBytes) * height);
  GetDIBits(memory, picture, 0, height, pixels.data(), reinterpret_cast<BITMAPINFO*>(&header), DIB_RGB_COLORS);
  DeleteObject(picture);
  DeleteDC(memory);
  ReleaseDC(nullptr, screen);

  BITMAPFILEHEADER file = {0x4D42, 0, 0, 0, sizeof(BITMAPFILEHEADER) + sizeof(BITMAPINFOHEADER)};
  file.bfSize = file.bfOffBits + static_cast<DWORD>(pixels.size());
  std::vector<uint8_t> bytes(reinterpret_cast<uint8_t*>(&file), reinterpret_cast<uint8_t*>(&file) + sizeof(file));
  bytes.insert(bytes.end(), reinterpret_cast<uint8_t*>(&header), reinterpret_cast<uint8_t*>(&header) + sizeof(header));
  bytes.insert(bytes.end(), pixels.begin(), pixels.end());
  const std::string bmp = unixPath + ".bmp";
  // The folder is made from here: a Unix helper's process handle may come
  // back before the helper has done its work.
  const std::wstring dosFolder = L"Z:" + std::wstring(unixPath.begin(), unixPath.begin() + unixPath.rfind('/'));
  for (size_t at = dosFolder.find(L'/', 3); ; at = dosFolder.find(L'/', at + 1)) {
    CreateDirectoryW(dosFolder.substr(0, at).c_str(), nullptr);
    if (at == std::wstring::npos) break;
  }
  const std::wstring dosBmp = L"Z:" + std::wstring(bmp.begin(), bmp.end());
  HANDLE out = CreateFileW(dosBmp.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (out == INVALID_HANDLE_VALUE) return false;
  DWORD written = 0;
  WriteFile(out, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
  CloseHandle(out);
  // The picture is converted under a passing name and moved into place, so
  // that it exists only once it is whole.
  const std::wstring wideBmp(bmp.begin(), bmp.end()), widePng(unixPath.begin(), unixPath.end());
  const std::wstring dosPng = L"Z:" + widePng;
  DeleteFileW(dosPng.c_str());
  std::wstring command = L"/bin/sh -c \"convert '" + wideBmp + L"' '" + widePng + L".part.png' && mv '" + widePng +
                         L".part.png' '" + widePng + L"' && rm -f '" + wideBmp + L"'\"";
  STARTUPINFOW startup = {sizeof(startup)};
  PROCESS_INFORMATION info = {};
  if (!CreateProcessW(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &info)) return false;
  WaitForSingleObject(info.hProcess, 60000);
  CloseHandle(info.hProcess);
  CloseHandle(info.hThread);
  for (int waited = 0; waited < 60000; waited += 50) {
    if (GetFileAttributesW(dosPng.c_str()) != INVALID_FILE_ATTRIBUTES) return true;
    Sleep(50);
  }
  return false;
}

}  // namespace zx::testing
