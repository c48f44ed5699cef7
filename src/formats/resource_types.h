// Resource types and names as icon modules use them, shared by the readers
// and the writers of PE and NE modules.
#pragma once

#include <string>

namespace zx {

constexpr int kPeTypeIcon = 3;
constexpr int kPeTypeGroup = 14;
// The group names of PE icon libraries: resource type 301, name 1.
constexpr int kPeTypeIclNames = 301;
constexpr int kPeIclNamesId = 1;

// A resource's name: a number, or a string (then `text` is not empty).
struct PeResourceName {
  int id = 0;
  std::u16string text;
  bool IsString() const { return !text.empty(); }
};

}  // namespace zx
