#include "prefs/preference_store_win.h"

#include <windows.h>

#include "core/messages.h"
#include "core/win_handles.h"
#include "core/win_text.h"

namespace zx {
namespace {

// Larger files are not preference files; reading stops short of them.
constexpr DWORD kLargestPreferenceFile = 16 * 1024 * 1024;

std::u16string EnvironmentValue(const wchar_t* name) {
  const DWORD length = GetEnvironmentVariableW(name, nullptr, 0);
  if (length == 0) return {};
  std::wstring value(length, L'\0');
  const DWORD copied = GetEnvironmentVariableW(name, value.data(), length);
  value.resize(copied < length ? copied : 0);
  return FromWide(value);
}

std::u16string CurrentDirectory() {
  const DWORD length = GetCurrentDirectoryW(0, nullptr);
  if (length == 0) return {};
  std::wstring folder(length, L'\0');
  const DWORD copied = GetCurrentDirectoryW(length, folder.data());
  folder.resize(copied < length ? copied : 0);
  return FromWide(folder);
}

bool IsFolder(const std::u16string& path) { return PathKindOnDisk(path) == PathKind::kFolder; }

// Creates every missing level of the folder, shortest first.
void CreateFolderLevels(const std::u16string& folder) {
  for (const std::u16string& level : PreferenceFolderLevels(folder)) {
    if (!IsFolder(level)) CreateDirectoryW(Wide(level), nullptr);
  }
}

}  // namespace

std::u16string PreferenceFolder() { return PreferenceFolderFrom(EnvironmentValue(L"APPDATA")); }

std::u16string PreferenceFile(const std::u16string& folder) { return PreferenceFilePath(folder); }

PathKind PathKindOnDisk(const std::u16string& path) {
  if (path.empty()) return PathKind::kMissing;
  const DWORD attributes = GetFileAttributesW(Wide(path));
  if (attributes == INVALID_FILE_ATTRIBUTES) return PathKind::kMissing;
  return (attributes & FILE_ATTRIBUTE_DIRECTORY) ? PathKind::kFolder : PathKind::kFile;
}

std::optional<std::vector<uint8_t>> ReadPreferenceBytes(const std::u16string& file) {
  if (PathKindOnDisk(file) != PathKind::kFile) return std::nullopt;
  UniqueHandle handle(CreateFileW(Wide(file), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                  FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!handle) return std::nullopt;
  LARGE_INTEGER size = {};
  if (!GetFileSizeEx(handle.get(), &size) || size.QuadPart > kLargestPreferenceFile) return std::nullopt;
  std::vector<uint8_t> bytes(static_cast<size_t>(size.QuadPart));
  DWORD read = 0;
  if (!bytes.empty() &&
      (!ReadFile(handle.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &read, nullptr) ||
       read != bytes.size())) {
    return std::nullopt;
  }
  return bytes;
}

int64_t ReadLanguageEarly(const std::u16string& folder) {
  if (folder.empty()) return ReadLanguageEarly(std::nullopt);
  const auto bytes = ReadPreferenceBytes(PreferenceFile(folder));
  if (!bytes) return ReadLanguageEarly(std::nullopt);
  return ReadLanguageEarly(std::span<const uint8_t>(*bytes));
}

PreferenceValues ReadPreferences(const std::u16string& folder, uint16_t userLanguage) {
  PreferenceEnvironment environment;
  environment.pathKind = PathKindOnDisk;
  environment.userDefaultLanguage = userLanguage;
  environment.currentDirectory = CurrentDirectory();
  const auto bytes = folder.empty() ? std::nullopt : ReadPreferenceBytes(PreferenceFile(folder));
  if (!bytes) return ReadPreferenceValues(std::nullopt, environment);
  return ReadPreferenceValues(std::span<const uint8_t>(*bytes), environment);
}

int EnsurePreferenceFolder(ThreadContext& ctx, const std::u16string& folder, int site) {
  if (!RequirePreferenceFolder(ctx, folder)) return 0;
  if (!IsFolder(folder)) CreateFolderLevels(folder);
  return IsFolder(folder) ? 1 : Fail(ctx, kMsgPreferenceFolder, site);
}

int WritePreferences(ThreadContext& ctx, const std::u16string& folder, const PreferenceValues& values,
                     int windowWidth) {
  if (!EnsurePreferenceFolder(ctx, folder, 4)) return 0;

  const std::vector<uint8_t> bytes = BuildPreferenceFile(values, windowWidth);
  UniqueHandle file(CreateFileW(Wide(PreferenceFile(folder)), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file) return 1;
  DWORD written = 0;
  WriteFile(file.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
  return 1;
}

}  // namespace zx
