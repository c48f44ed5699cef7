// The preference file on disk: where it lives (APPDATA\Zorvex\), reading it
// with the facts of this machine, and writing it once at the end of a run.
// The rules themselves are in preference_rules.h.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "core/thread_context.h"
#include "prefs/preference_rules.h"
#include "prefs/preference_values.h"

namespace zx {

// The folder from the APPDATA variable now: "...\Zorvex\", or empty when
// APPDATA is empty or unset.
std::u16string PreferenceFolder();
// The preference file inside that folder.
std::u16string PreferenceFile(const std::u16string& folder);

// The whole file, or nothing when it does not exist, is a folder or cannot be read.
std::optional<std::vector<uint8_t>> ReadPreferenceBytes(const std::u16string& file);

// What is at a path now.
PathKind PathKindOnDisk(const std::u16string& path);

// The language value of the preference file in `folder` (0, automatic, without one).
int64_t ReadLanguageEarly(const std::u16string& folder);

// Every value of the preference file in `folder`, with the defaults and rules
// applied; `userLanguage` is the user's default language identifier.
PreferenceValues ReadPreferences(const std::u16string& folder, uint16_t userLanguage);

// Makes sure the folder exists, creating each missing level: 0 with message
// 41 at site 3 when there is no folder (APPDATA empty), at `site` when it
// cannot be created.
int EnsurePreferenceFolder(ThreadContext& ctx, const std::u16string& folder, int site);

// Writes the file anew in `folder`, creating the folder level by level.
// 0 with message 41 at site 3 (no folder: APPDATA empty) or site 4 (the folder
// cannot be created). A file that cannot be created is passed over silently,
// as the user can do nothing about it at closing time.
int WritePreferences(ThreadContext& ctx, const std::u16string& folder, const PreferenceValues& values,
                     int windowWidth);

}  // namespace zx
