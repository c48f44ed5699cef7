// The values the program remembers between runs, as they live in memory on
// the user-interface thread, with the bits of the 64-bit option field.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "core/language.h"

namespace zx {

// The 64-bit option field kept under "Fichiers"/"Parametres".
using FileOptions = uint64_t;
using PathList = std::vector<std::u16string>;

// Bits 0-2: file list view.
constexpr FileOptions kFileViewMask = 0x7;
constexpr int kFileViewDetails = 1;
constexpr int kFileViewSmallIcons = 2;
constexpr int kFileViewTiles = 4;

// Bits 3-5: select the created file in the file list after saving.
constexpr FileOptions kShowCreatedIco = 1ull << 3;
constexpr FileOptions kShowCreatedDll = 1ull << 4;
constexpr FileOptions kShowCreatedIcl = 1ull << 5;

// Bits 6-13: ask before modifying a file of this kind.
constexpr FileOptions kConfirmCpl = 1ull << 6;
constexpr FileOptions kConfirmDll = 1ull << 7;
constexpr FileOptions kConfirmDrv = 1ull << 8;
constexpr FileOptions kConfirmExe = 1ull << 9;
constexpr FileOptions kConfirmIco = 1ull << 10;
constexpr FileOptions kConfirmIcl = 1ull << 11;
constexpr FileOptions kConfirmOcx = 1ull << 12;
constexpr FileOptions kConfirmScr = 1ull << 13;

// Bits 22-24: how the main window starts.
constexpr int kStartModeShift = 22;
constexpr FileOptions kStartModeMask = 0x7ull << kStartModeShift;
constexpr int kStartNormal = 1;
constexpr int kStartMaximised = 2;
constexpr int kStartRemember = 4;
// What "remember at closing" is stored as: the window was not / was wider
// than its start width when the program closed.
constexpr int kStartRememberedNormal = 5;
constexpr int kStartRememberedMaximised = 6;

constexpr FileOptions kConfirmDelete = 1ull << 25;

// Bits 27-29: date format of the file list.
constexpr int kDateFormatShift = 27;
constexpr FileOptions kDateFormatMask = 0x7ull << kDateFormatShift;
constexpr int kDateFrench = 1;
constexpr int kDateEnglish = 2;
constexpr int kDateUs = 4;

constexpr FileOptions kSortFavourites = 1ull << 30;

// Always set in a written file, so a stored 0 can never be mistaken for it.
constexpr FileOptions kFileOptionsWritten = 1ull << 63;

// Options switched on when the file has no "Fichiers" group: show every
// created file, confirm every modification and deletion, start at 980 x 669.
constexpr FileOptions kFirstRunOptions = 0x2403FF8;

// `LanguageChoice`: bits 0-1 of the language value.
constexpr int64_t kLanguageChoiceMask = 0x3;

constexpr int kMaxRecentsLimit = 30;
constexpr int kFormatFilterCount = 10;

struct PreferenceValues {
  FileOptions fileOptions = 0;
  // 1-30.
  int32_t maxRecents = kMaxRecentsLimit;
  // The items of the recent-folder box, in order; the first is the current folder.
  PathList recentFolders;
  PathList favouriteFolders;
  PathList favouriteFiles;
  // Entry of the format filter box, 0-9.
  int32_t formatFilterIndex = 0;
  std::u16string conversionSource;
  std::u16string conversionTarget;
  // Bits 0-1 are the `LanguageChoice`; the other bits are kept as found.
  int64_t languageValue = kLanguageAutomatic;
};

inline int LanguageChoiceOf(int64_t languageValue) {
  return static_cast<int>(languageValue & kLanguageChoiceMask);
}

inline int FileViewOf(FileOptions options) { return static_cast<int>(options & kFileViewMask); }
inline int StartModeOf(FileOptions options) {
  return static_cast<int>((options & kStartModeMask) >> kStartModeShift);
}
inline int DateFormatOf(FileOptions options) {
  return static_cast<int>((options & kDateFormatMask) >> kDateFormatShift);
}

inline FileOptions WithFileView(FileOptions options, int view) {
  return (options & ~kFileViewMask) | (static_cast<FileOptions>(view) & kFileViewMask);
}
inline FileOptions WithStartMode(FileOptions options, int mode) {
  return (options & ~kStartModeMask) |
         ((static_cast<FileOptions>(mode) << kStartModeShift) & kStartModeMask);
}
inline FileOptions WithDateFormat(FileOptions options, int format) {
  return (options & ~kDateFormatMask) |
         ((static_cast<FileOptions>(format) << kDateFormatShift) & kDateFormatMask);
}

// The file list shows details (1), small icons (2) or, for any other value,
// tiles; building the view menu stores tiles as 4 so the field always names
// the view on screen.
inline FileOptions NormaliseFileView(FileOptions options) {
  const int view = FileViewOf(options);
  if (view == kFileViewDetails || view == kFileViewSmallIcons) return options;
  return WithFileView(options, kFileViewTiles);
}

}  // namespace zx
