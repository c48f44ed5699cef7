// Entry point of the Windows test program. Besides running the tests it can
// act as "another process" for the tests that need one:
//   zx_tests.exe --hold-file PATH   holds PATH open without sharing until its input closes;
//   zx_tests.exe --try-access PATH  exits with bits: 1 read, 2 write, 4 rename, 8 delete allowed.
#include <windows.h>
#include <shellapi.h>

#include <gtest/gtest.h>

#include <cstring>
#include <string>

namespace {

int HoldFile(const wchar_t* path) {
  HANDLE file = CreateFileW(path, GENERIC_READ, 0, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return 2;
  // Tell the parent the file is held, then wait for it to close our input.
  DWORD written = 0;
  WriteFile(GetStdHandle(STD_OUTPUT_HANDLE), "held\n", 5, &written, nullptr);
  char byte;
  DWORD read = 0;
  while (ReadFile(GetStdHandle(STD_INPUT_HANDLE), &byte, 1, &read, nullptr) && read > 0) {
  }
  CloseHandle(file);
  return 0;
}

int TryAccess(const std::wstring& path) {
  int allowed = 0;
  HANDLE h = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                         nullptr, OPEN_EXISTING, 0, nullptr);
  if (h != INVALID_HANDLE_VALUE) allowed |= 1, CloseHandle(h);
  h = CreateFileW(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                  nullptr, OPEN_EXISTING, 0, nullptr);
  if (h != INVALID_HANDLE_VALUE) allowed |= 2, CloseHandle(h);
  const std::wstring renamed = path + L".renamed";
  if (MoveFileW(path.c_str(), renamed.c_str())) {
    allowed |= 4;
    MoveFileW(renamed.c_str(), path.c_str());
  }
  // Deleting is tried last, on the real file; the caller checks whether it survived.
  if (DeleteFileW(path.c_str())) allowed |= 8;
  return allowed;
}

}  // namespace

int main(int argc, char** argv) {
  int wargc = 0;
  wchar_t** wargv = CommandLineToArgvW(GetCommandLineW(), &wargc);
  if (wargc == 3 && std::wstring(wargv[1]) == L"--hold-file") return HoldFile(wargv[2]);
  if (wargc == 3 && std::wstring(wargv[1]) == L"--try-access") return TryAccess(wargv[2]);
  testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
