#include "wine/wine_support.h"

#include <algorithm>
#include <atomic>

#include "core/win_text.h"

namespace zx::testing {

TempFolder::TempFolder() {
  static std::atomic<int> counter{0};
  wchar_t base[MAX_PATH];
  GetTempPathW(MAX_PATH, base);
  path_ = FromWide(base) + u"zx_test_" + FromWide(std::to_wstring(GetCurrentProcessId())) + u"_" +
          FromWide(std::to_wstring(counter++)) + u"\\";
  CreateDirectoryW(Wide(path_), nullptr);
}

namespace {

// Removes a folder with everything in it, subfolders included.
void RemoveTree(const std::u16string& folder) {
  WIN32_FIND_DATAW found;
  HANDLE find = FindFirstFileW(Wide(folder + u"*"), &found);
  if (find != INVALID_HANDLE_VALUE) {
    do {
      const std::u16string name = FromWide(found.cFileName);
      if (name == u"." || name == u"..") continue;
      SetFileAttributesW(Wide(folder + name), FILE_ATTRIBUTE_NORMAL);
      if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
        RemoveTree(folder + name + u"\\");
      } else {
        DeleteFileW(Wide(folder + name));
      }
    } while (FindNextFileW(find, &found));
    FindClose(find);
  }
  RemoveDirectoryW(Wide(folder));
}

}  // namespace

TempFolder::~TempFolder() { RemoveTree(path_); }

std::u16string TempFolder::Write(const std::u16string& name, const std::vector<uint8_t>& bytes) const {
  const std::u16string full = path_ + name;
  HANDLE file = CreateFileW(Wide(full), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  DWORD written = 0;
  if (!bytes.empty()) WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
  CloseHandle(file);
  return full;
}

std::vector<uint8_t> ReadFileBytes(const std::u16string& path) {
  std::vector<uint8_t> bytes;
  HANDLE file = CreateFileW(Wide(path), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                            OPEN_EXISTING, 0, nullptr);
  if (file == INVALID_HANDLE_VALUE) return bytes;
  bytes.resize(GetFileSize(file, nullptr));
  DWORD read = 0;
  if (!bytes.empty()) ReadFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &read, nullptr);
  CloseHandle(file);
  return bytes;
}

std::vector<std::u16string> FolderNames(const std::u16string& folder) {
  std::vector<std::u16string> names;
  WIN32_FIND_DATAW found;
  HANDLE search = FindFirstFileW(Wide(folder + u"*"), &found);
  if (search == INVALID_HANDLE_VALUE) return names;
  do {
    const std::u16string name = FromWide(found.cFileName);
    if (name != u"." && name != u"..") names.push_back(name);
  } while (FindNextFileW(search, &found));
  FindClose(search);
  std::sort(names.begin(), names.end());
  return names;
}

ChildProcess::ChildProcess(const std::wstring& arguments) {
  SECURITY_ATTRIBUTES inherit = {sizeof(inherit), nullptr, TRUE};
  HANDLE childInput = nullptr, childOutput = nullptr;
  if (!CreatePipe(&childInput, &input_, &inherit, 0)) return;
  if (!CreatePipe(&output_, &childOutput, &inherit, 0)) return;
  SetHandleInformation(input_, HANDLE_FLAG_INHERIT, 0);
  SetHandleInformation(output_, HANDLE_FLAG_INHERIT, 0);
  wchar_t self[MAX_PATH];
  GetModuleFileNameW(nullptr, self, MAX_PATH);
  std::wstring command = L"\"" + std::wstring(self) + L"\" " + arguments;
  STARTUPINFOW startup = {};
  startup.cb = sizeof(startup);
  startup.dwFlags = STARTF_USESTDHANDLES;
  startup.hStdInput = childInput;
  startup.hStdOutput = childOutput;
  startup.hStdError = GetStdHandle(STD_ERROR_HANDLE);
  PROCESS_INFORMATION info = {};
  if (CreateProcessW(nullptr, command.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr, &startup, &info)) {
    process_ = info.hProcess;
    CloseHandle(info.hThread);
  }
  CloseHandle(childInput);
  CloseHandle(childOutput);
}

ChildProcess::~ChildProcess() {
  Finish();
  if (output_) CloseHandle(output_);
}

std::string ChildProcess::ReadLine() {
  std::string line;
  char c;
  DWORD read = 0;
  while (ReadFile(output_, &c, 1, &read, nullptr) && read == 1 && c != '\n') line += c;
  return line;
}

DWORD ChildProcess::Finish() {
  if (input_) {
    CloseHandle(input_);
    input_ = nullptr;
  }
  DWORD code = 0xFFFFFFFF;
  if (process_) {
    WaitForSingleObject(process_, 30000);
    GetExitCodeProcess(process_, &code);
    CloseHandle(process_);
    process_ = nullptr;
    exitCode_ = code;
  }
  return exitCode_;
}

}  // namespace zx::testing
