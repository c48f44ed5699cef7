// How preference values are read from and written to the preference file.
// Everything here is pure: the caller supplies the file's bytes and the facts
// of the machine (what exists on disk, the user's language, the current
// folder), and writes the bytes it gets back. Touching the disk, APPDATA and
// the window stays with the caller.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "core/thread_context.h"
#include "prefs/preference_values.h"

namespace zx {

// Text of "Version"/"QOR": the product title after "Zorvex version ".
inline constexpr std::u16string_view kPreferenceVersionText = u"2.00 beta 2";
// Fixed name of the file inside the preference folder.
inline constexpr std::u16string_view kPreferenceFileName = u"Zorvex.ini";

enum class PathKind { kMissing, kFolder, kFile };

struct PreferenceEnvironment {
  // What is at a path on disk now; without it nothing exists.
  std::function<PathKind(const std::u16string& path)> pathKind;
  // GetUserDefaultLangID.
  uint16_t userDefaultLanguage = 0;
  // Listed when no recent folder survives; a trailing "\" is added.
  std::u16string currentDirectory;
};

// The language value from the file, before anything else is set up: the first
// "Langues" group's "Parametres" (1 when the key is missing), its two low bits
// cleared when both are set. No file, or no such group: 0 (automatic).
// `fileBytes` is std::nullopt when the file does not exist.
int64_t ReadLanguageEarly(std::optional<std::span<const uint8_t>> fileBytes);

// Every value from the file (`fileBytes` std::nullopt when there is no
// readable file), with recent folders and favourites that no longer exist
// dropped, favourite files of other kinds dropped, `MaxRecents` kept within
// 1-30, a format filter index outside 0-9 read as 0, the first-run options
// when the file has no "Fichiers" group, and the date format chosen from the
// language when the file holds none. The current folder is listed when no
// recent folder is left.
PreferenceValues ReadPreferenceValues(std::optional<std::span<const uint8_t>> fileBytes,
                                      const PreferenceEnvironment& environment);

// True for the favourite file kinds: the last four characters, in lower
// case, are one of .icl .ico .exe .dll .drv .cpl .ocx .scr.
bool IsFavouriteFileName(std::u16string_view path);

// The date format a file without one gets: the chosen language's, or for the
// automatic choice French for a French user, US for sub-languages 1 and 4,
// English otherwise.
int DefaultDateFormat(int languageChoice, uint16_t userDefaultLanguage);

// The option field as written: "remember at closing" (any start mode other
// than 1 and 2) becomes 6 when the main window is wider than 985 pixels now
// and 5 otherwise; bit 63 is set.
FileOptions FileOptionsForWriting(FileOptions options, int windowWidth);

// How the main window starts from the stored mode: 1 normal size, 2 or 6
// maximised, anything else normal size with the mode set to 5.
struct StartDecision {
  bool maximised;
  FileOptions options;
};
StartDecision DecideStartMode(FileOptions options);

// The whole file for the values, in the order and layout it is written.
// `windowWidth` is the main window's width at closing.
std::vector<uint8_t> BuildPreferenceFile(const PreferenceValues& values, int windowWidth);

// APPDATA + "\" (unless it already ends with one) + "Zorvex\"; empty when
// APPDATA is empty.
std::u16string PreferenceFolderFrom(std::u16string_view appData);
// The folder followed by the file name.
std::u16string PreferenceFilePath(std::u16string_view folder);
// Every prefix of the folder that ends just before a "\", shortest first:
// the levels to create, one after the other, when the folder is missing.
std::vector<std::u16string> PreferenceFolderLevels(std::u16string_view folder);
// 1, or 0 with message 41 at site 3 when there is no preference folder to write to.
int RequirePreferenceFolder(ThreadContext& ctx, std::u16string_view folder);

}  // namespace zx
