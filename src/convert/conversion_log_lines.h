// The lines of the conversion log and work list: the header, and the three
// lines of each logged problem.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "core/catalogue.h"

namespace zx {

// "Conversion  (x64)".
std::u16string ConversionHeaderLine(const TextLookup& lookup, int language,
                                    const std::u16string& architectureTag);

// The message line of a problem: "Info : The file has no icon" for message
// 54, otherwise "text (Error m / Sub Error s)".
std::u16string ConversionMessageLine(const TextLookup& lookup, int language, int64_t error);

// The source path, the message line and an empty line.
std::vector<std::u16string> ConversionProblemLines(const TextLookup& lookup, int language,
                                                   const std::u16string& sourcePath, int64_t error);

}  // namespace zx
