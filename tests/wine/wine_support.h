// Helpers for the tests that run under Wine: temporary folders and files, and
// a second process that holds or probes a file.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

namespace zx::testing {

// A fresh folder under the temporary folder, removed with its files at the end.
class TempFolder {
 public:
  TempFolder();
  ~TempFolder();
  std::u16string path() const { return path_; }
  // Writes a file in the folder and returns its full path.
  std::u16string Write(const std::u16string& name, const std::vector<uint8_t>& bytes) const;

 private:
  std::u16string path_;
};

std::vector<uint8_t> ReadFileBytes(const std::u16string& path);

// The names of the files in a folder (given with its trailing separator), sorted.
std::vector<std::u16string> FolderNames(const std::u16string& folder);

// This test program started again with arguments; the child's input and output are pipes.
class ChildProcess {
 public:
  explicit ChildProcess(const std::wstring& arguments);
  ~ChildProcess();
  bool started() const { return process_ != nullptr; }
  // Reads one line the child writes.
  std::string ReadLine();
  // Closes the child's input and waits for its exit code.
  DWORD Finish();

 private:
  HANDLE process_ = nullptr;
  HANDLE input_ = nullptr;
  HANDLE output_ = nullptr;
  DWORD exitCode_ = 0xFFFFFFFF;
};

}  // namespace zx::testing
