// Catalogue lookup in the program's own string tables.
#pragma once

#include <string>

#include "core/catalogue.h"

namespace zx {

// Text `number` in exactly `language` (1036, 2057 or 0); empty when missing.
std::u16string UiText(int number, int language);
// UiText as a lookup for the portable report and title builders.
TextLookup UiTextLookup();
// "Zorvex version 2.00 beta 2".
std::u16string ProductTitle();
// The title of a top-level window of the given kind.
std::u16string WindowTitle(int kind, int language);
// The architecture tag of this build: "(x64)" or "(x86)".
std::u16string ArchitectureTag();

}  // namespace zx
