// Small PE modules for the tests: a copy of one of the system's own modules,
// its resources replaced through the resource-update service by the icon
// groups, images and name tables a test asks for.
#pragma once

#include <string>
#include <vector>

#include "wine/wine_support.h"

namespace zx::testing {

struct PeFixtureIcon {
  int id;
  std::vector<uint8_t> bytes;
  int bitCount;  // written into the group entries that list this icon
};

struct PeFixtureGroup {
  int id;                 // used when `name` is empty
  std::u16string name;    // a string-named group
  std::vector<int> iconIds;
  int countOverride = -1;  // a count to write instead of the number of entries
  uint32_t header = 0x00010000;
};

struct PeFixtureNameTable {
  int id;
  std::string bytes;
};

struct PeFixture {
  std::vector<PeFixtureIcon> icons;
  std::vector<PeFixtureGroup> groups;
  std::vector<PeFixtureNameTable> nameTables;
};

// A small module of the system (PE32+) that carries no icon.
std::u16string SystemModuleWithoutIcons();

// Copies the system module to `name` in the folder and gives it exactly the
// fixture's resources. Empty on failure.
std::u16string BuildPeModule(const TempFolder& folder, const std::u16string& name, const PeFixture& fixture);

}  // namespace zx::testing
