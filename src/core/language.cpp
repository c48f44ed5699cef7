#include "core/language.h"

namespace zx {

int LanguageFor(int choice, int userDefaultLangId) {
  switch (choice & 3) {
    case kLanguageChoiceFrench: return 1036;
    case kLanguageChoiceEnglish: return 2057;
    default:
      // The primary language is the low 10 bits; 0x0C is French.
      return (userDefaultLangId & 0x3FF) == 0x0C ? 1036 : 2057;
  }
}

}  // namespace zx
