#include "prefs/preference_rules.h"

#include <algorithm>

#include "core/messages.h"
#include "prefs/preference_file.h"

namespace zx {
namespace {

constexpr int64_t kFileOptionsWhenKeyMissing = static_cast<int64_t>(kFileOptionsWritten);
constexpr int64_t kLanguageWhenKeyMissing = kLanguageChoiceEnglish;
constexpr int64_t kEarlyLanguageWhenKeyMissing = kLanguageChoiceFrench;
constexpr uint16_t kPrimaryLanguageFrench = 0x0C;
// Window width (980) plus the 5 pixels of slack above which a remembered
// window counts as maximised.
constexpr int kRememberedMaximisedWidth = 985;

// Choice 3 means nothing; it reads as automatic with the other bits kept.
int64_t SettleLanguageValue(int64_t value) {
  if ((value & kLanguageChoiceMask) == kLanguageChoiceMask) value &= ~kLanguageChoiceMask;
  return value;
}

bool IsKnownDateFormat(int format) {
  return format == kDateFrench || format == kDateEnglish || format == kDateUs;
}

bool IsWithinMaxRecents(int32_t value) { return value >= 1 && value <= kMaxRecentsLimit; }

PathKind KindOf(const PreferenceEnvironment& environment, const std::u16string& path) {
  return environment.pathKind ? environment.pathKind(path) : PathKind::kMissing;
}

char16_t LowerAscii(char16_t c) { return (c >= u'A' && c <= u'Z') ? c + (u'a' - u'A') : c; }

void ReadRecentFolders(const PreferenceGroup& group, const PreferenceEnvironment& environment,
                       PreferenceValues& values) {
  if (!IsWithinMaxRecents(values.maxRecents)) values.maxRecents = kMaxRecentsLimit;
  values.recentFolders.clear();
  for (const PreferenceEntry& entry : group.entries) {
    if (values.recentFolders.size() >= static_cast<size_t>(values.maxRecents)) break;
    if (KindOf(environment, entry.value) == PathKind::kFolder) {
      values.recentFolders.push_back(entry.value);
    }
  }
}

void ReadFavourites(const PreferenceGroup& group, const PreferenceEnvironment& environment,
                    PreferenceValues& values) {
  for (const PreferenceEntry& entry : group.entries) {
    const PathKind kind = KindOf(environment, entry.value);
    if (kind == PathKind::kFolder) {
      values.favouriteFolders.push_back(entry.value);
    } else if (kind == PathKind::kFile && IsFavouriteFileName(entry.value)) {
      values.favouriteFiles.push_back(entry.value);
    }
  }
}

}  // namespace

int64_t ReadLanguageEarly(std::optional<std::span<const uint8_t>> fileBytes) {
  if (!fileBytes) return kLanguageAutomatic;
  const PreferenceDocument document = ParsePreferenceFile(*fileBytes);
  const PreferenceGroup* group = FindPreferenceGroup(document, u"Langues");
  if (!group) return kLanguageAutomatic;
  return SettleLanguageValue(ReadPreferenceQuad(group, u"Parametres", kEarlyLanguageWhenKeyMissing));
}

PreferenceValues ReadPreferenceValues(std::optional<std::span<const uint8_t>> fileBytes,
                                      const PreferenceEnvironment& environment) {
  PreferenceValues values;
  bool filterSeen = false;
  bool fileOptionsSeen = false;
  bool languageSeen = false;

  if (fileBytes) {
    const PreferenceDocument document = ParsePreferenceFile(*fileBytes);
    // The limit is needed before the recent folders, wherever its group is.
    values.maxRecents = ReadPreferenceLong(FindPreferenceGroup(document, u"Recents_maxi"),
                                           u"Nombre", kMaxRecentsLimit);
    // Groups in file order: a repeated group is read again, the last one winning
    // (recent folders start over, favourites add up).
    for (const PreferenceGroup& group : document.groups) {
      if (SamePreferenceName(group.name, u"Dossier source conversion")) {
        values.conversionSource = ReadPreferenceText(&group, u"Source");
      } else if (SamePreferenceName(group.name, u"Dossier cible conversion")) {
        values.conversionTarget = ReadPreferenceText(&group, u"Cible");
      } else if (SamePreferenceName(group.name, u"Filtre")) {
        values.formatFilterIndex = ReadPreferenceLong(&group, u"Selection", 0);
        filterSeen = true;
      } else if (SamePreferenceName(group.name, u"Recents")) {
        ReadRecentFolders(group, environment, values);
      } else if (SamePreferenceName(group.name, u"Favoris")) {
        ReadFavourites(group, environment, values);
      } else if (SamePreferenceName(group.name, u"Fichiers")) {
        values.fileOptions = static_cast<FileOptions>(
            ReadPreferenceQuad(&group, u"Parametres", kFileOptionsWhenKeyMissing));
        fileOptionsSeen = true;
      } else if (SamePreferenceName(group.name, u"Langues")) {
        values.languageValue =
            SettleLanguageValue(ReadPreferenceQuad(&group, u"Parametres", kLanguageWhenKeyMissing));
        languageSeen = true;
      }
    }
  }

  // The filter box has ten entries; an index past them would select nothing
  // and leave the file list without a pattern.
  if (!filterSeen || values.formatFilterIndex < 0 ||
      values.formatFilterIndex >= kFormatFilterCount) {
    values.formatFilterIndex = 0;
  }
  if (values.recentFolders.empty() && !environment.currentDirectory.empty()) {
    std::u16string folder = environment.currentDirectory;
    if (folder.back() != u'\\') folder.push_back(u'\\');
    values.recentFolders.push_back(folder);
  }
  if (!IsWithinMaxRecents(values.maxRecents)) values.maxRecents = kMaxRecentsLimit;
  if (!languageSeen) values.languageValue &= ~kLanguageChoiceMask;
  if (!fileOptionsSeen) values.fileOptions |= kFirstRunOptions;
  if (!IsKnownDateFormat(DateFormatOf(values.fileOptions))) {
    values.fileOptions = WithDateFormat(
        values.fileOptions,
        DefaultDateFormat(LanguageChoiceOf(values.languageValue), environment.userDefaultLanguage));
  }
  values.fileOptions |= kFileOptionsWritten;
  return values;
}

bool IsFavouriteFileName(std::u16string_view path) {
  if (path.size() < 4) return false;
  std::u16string tail(path.substr(path.size() - 4));
  std::transform(tail.begin(), tail.end(), tail.begin(), LowerAscii);
  for (std::u16string_view kind : {u".icl", u".ico", u".exe", u".dll", u".drv", u".cpl", u".ocx",
                                   u".scr"}) {
    if (tail == kind) return true;
  }
  return false;
}

int DefaultDateFormat(int languageChoice, uint16_t userDefaultLanguage) {
  if (languageChoice == kLanguageChoiceFrench) return kDateFrench;
  if (languageChoice == kLanguageChoiceEnglish) return kDateEnglish;
  if ((userDefaultLanguage & 0x3FF) == kPrimaryLanguageFrench) return kDateFrench;
  const int subLanguage = userDefaultLanguage >> 10;
  // English (United States) and English (Canada) write the month first.
  if (subLanguage == 1 || subLanguage == 4) return kDateUs;
  return kDateEnglish;
}

FileOptions FileOptionsForWriting(FileOptions options, int windowWidth) {
  const int mode = StartModeOf(options);
  if (mode != kStartNormal && mode != kStartMaximised) {
    options = WithStartMode(options, windowWidth > kRememberedMaximisedWidth
                                         ? kStartRememberedMaximised
                                         : kStartRememberedNormal);
  }
  return options | kFileOptionsWritten;
}

StartDecision DecideStartMode(FileOptions options) {
  const int mode = StartModeOf(options);
  if (mode == kStartNormal) return {false, options};
  if (mode == kStartMaximised || mode == kStartRememberedMaximised) return {true, options};
  return {false, WithStartMode(options, kStartRememberedNormal)};
}

std::vector<uint8_t> BuildPreferenceFile(const PreferenceValues& values, int windowWidth) {
  PreferenceDocumentBuilder file;
  file.Group(u"Version").Text(u"QOR", kPreferenceVersionText);
  file.Group(u"Filtre").Number(u"Selection", values.formatFilterIndex);

  file.Group(u"Recents");
  const size_t recentCount =
      std::min(values.recentFolders.size(), static_cast<size_t>(std::max(values.maxRecents, 0)));
  for (size_t i = 0; i < recentCount; ++i) {
    file.Text(u"Path_" + FormatPreferenceNumber(static_cast<int64_t>(i)), values.recentFolders[i]);
  }
  file.Group(u"Recents_maxi").Number(u"Nombre", values.maxRecents);

  // Folders first, then files, numbered on across both.
  file.Group(u"Favoris");
  int64_t item = 0;
  for (const PathList* list : {&values.favouriteFolders, &values.favouriteFiles}) {
    for (const std::u16string& path : *list) {
      file.Text(u"Item_" + FormatPreferenceNumber(item++), path);
    }
  }

  file.Group(u"Dossier source conversion").Text(u"Source", values.conversionSource);
  file.Group(u"Dossier cible conversion").Text(u"Cible", values.conversionTarget);
  file.Group(u"Fichiers")
      .Number(u"Parametres", static_cast<int64_t>(FileOptionsForWriting(values.fileOptions, windowWidth)));
  file.Group(u"Langues").Number(u"Parametres", values.languageValue);
  return SerialisePreferenceFile(file.Document());
}

std::u16string PreferenceFolderFrom(std::u16string_view appData) {
  if (appData.empty()) return {};
  std::u16string folder(appData);
  if (folder.back() != u'\\') folder.push_back(u'\\');
  folder += u"Zorvex\\";
  return folder;
}

std::u16string PreferenceFilePath(std::u16string_view folder) {
  return std::u16string(folder) + std::u16string(kPreferenceFileName);
}

std::vector<std::u16string> PreferenceFolderLevels(std::u16string_view folder) {
  std::vector<std::u16string> levels;
  for (size_t i = 0; i < folder.size(); ++i) {
    if (folder[i] == u'\\' && i > 0) levels.emplace_back(folder.substr(0, i));
  }
  return levels;
}

int RequirePreferenceFolder(ThreadContext& ctx, std::u16string_view folder) {
  if (folder.empty()) return Fail(ctx, kMsgPreferenceFolder, 3);
  return 1;
}

}  // namespace zx
