// The module template: the empty 32-bit resource-only DLL that every written
// .dll and PE .icl starts from. It is stored compressed in the program's
// resources and carries the program's about line in its DOS stub message.
#pragma once

#include <cstdint>
#include <string_view>
#include <vector>

namespace zx {

// Size of the stored template and the most the inflated item may hold.
constexpr size_t kModuleTemplateSize = 1536;
constexpr size_t kModuleTemplateLimit = 2500;
// The DOS stub's message area, 0x4E up to the build-tool block at 0x80.
constexpr size_t kStubMessageOffset = 0x4E;
constexpr size_t kStubMessageEnd = 0x80;
// Characters of the about line that go into the stub.
constexpr size_t kStubMessageCharacters = 34;

// Writes the ANSI bytes of the about line at 0x4E followed by a zero byte.
// Nothing is written for an empty line; a line whose bytes would reach the
// build-tool block is cut to fit with its zero byte. 0 when the template is
// too short to hold the area.
int StampAboutLine(std::vector<uint8_t>& moduleTemplate, std::string_view ansiLine);

}  // namespace zx
