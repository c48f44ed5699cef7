#pragma once

namespace zx {

// Bits 0-1 of the language preference: 0 automatic, 1 French, 2 English
// (3, read from a file, counts as automatic).
enum LanguageChoice : int { kLanguageAutomatic = 0, kLanguageChoiceFrench = 1, kLanguageChoiceEnglish = 2 };

// 1036 or 2057 for a choice and the user's default language identifier.
int LanguageFor(int choice, int userDefaultLangId);

}  // namespace zx
