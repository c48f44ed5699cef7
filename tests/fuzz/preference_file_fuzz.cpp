// Any bytes as a preference file: parsed and written again (the written form
// must read back to itself), and read as preference values on a made-up disk
// (the values must stay within their ranges and survive write -> read -> write).
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "prefs/preference_file.h"
#include "prefs/preference_rules.h"

namespace {

void Require(bool condition) {
  if (!condition) std::abort();
}

// The same path always has the same kind, so two readings agree.
zx::PathKind MadeUpKind(const std::u16string& path) {
  uint32_t hash = 2166136261u;
  for (char16_t c : path) hash = (hash ^ c) * 16777619u;
  return static_cast<zx::PathKind>(hash % 3);
}

void CheckRanges(const zx::PreferenceValues& values) {
  Require(values.maxRecents >= 1 && values.maxRecents <= zx::kMaxRecentsLimit);
  Require(values.recentFolders.size() <= static_cast<size_t>(values.maxRecents));
  Require(values.formatFilterIndex >= 0 && values.formatFilterIndex < zx::kFormatFilterCount);
  Require((values.fileOptions & zx::kFileOptionsWritten) != 0);
  const int date = zx::DateFormatOf(values.fileOptions);
  Require(date == zx::kDateFrench || date == zx::kDateEnglish || date == zx::kDateUs);
  Require(zx::LanguageChoiceOf(values.languageValue) != 3);
  for (const std::u16string& file : values.favouriteFiles) Require(zx::IsFavouriteFileName(file));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::span<const uint8_t> bytes(data, size);

  const std::vector<uint8_t> written = zx::SerialisePreferenceFile(zx::ParsePreferenceFile(bytes));
  Require(zx::SerialisePreferenceFile(zx::ParsePreferenceFile(written)) == written);

  Require(zx::LanguageChoiceOf(zx::ReadLanguageEarly(bytes)) != 3);

  zx::PreferenceEnvironment environment;
  environment.pathKind = MadeUpKind;
  environment.userDefaultLanguage = size >= 2 ? static_cast<uint16_t>(data[0] | (data[1] << 8)) : 0;
  environment.currentDirectory = u"C:\\Fuzz";
  const int windowWidth = size >= 1 ? 900 + data[size - 1] : 980;

  const zx::PreferenceValues values = zx::ReadPreferenceValues(bytes, environment);
  CheckRanges(values);
  const std::vector<uint8_t> file = zx::BuildPreferenceFile(values, windowWidth);
  const zx::PreferenceValues reread =
      zx::ReadPreferenceValues(std::span<const uint8_t>(file), environment);
  CheckRanges(reread);
  Require(zx::BuildPreferenceFile(reread, windowWidth) == file);
  return 0;
}
