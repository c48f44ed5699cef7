// Owners of Windows handles: each closes what it holds when it goes away.
#pragma once

#include <windows.h>

#include <utility>

namespace zx {

template <typename T, typename Traits>
class UniqueOwner {
 public:
  UniqueOwner() = default;
  explicit UniqueOwner(T value) : value_(value) {}
  UniqueOwner(const UniqueOwner&) = delete;
  UniqueOwner& operator=(const UniqueOwner&) = delete;
  UniqueOwner(UniqueOwner&& other) noexcept : value_(other.Release()) {}
  UniqueOwner& operator=(UniqueOwner&& other) noexcept {
    if (this != &other) Reset(other.Release());
    return *this;
  }
  ~UniqueOwner() { Reset(); }

  T get() const { return value_; }
  bool valid() const { return Traits::IsValid(value_); }
  explicit operator bool() const { return valid(); }
  T Release() { return std::exchange(value_, Traits::Invalid()); }
  void Reset(T value = Traits::Invalid()) {
    if (Traits::IsValid(value_)) Traits::Close(value_);
    value_ = value;
  }

 private:
  T value_ = Traits::Invalid();
};

struct FileHandleTraits {
  static HANDLE Invalid() { return INVALID_HANDLE_VALUE; }
  static bool IsValid(HANDLE h) { return h != INVALID_HANDLE_VALUE && h != nullptr; }
  static void Close(HANDLE h) { CloseHandle(h); }
};
struct ModuleTraits {
  static HMODULE Invalid() { return nullptr; }
  static bool IsValid(HMODULE h) { return h != nullptr; }
  static void Close(HMODULE h) { FreeLibrary(h); }
};

// A file, process or other kernel handle (CreateFileW's INVALID_HANDLE_VALUE counts as empty).
using UniqueHandle = UniqueOwner<HANDLE, FileHandleTraits>;
// A module from LoadLibrary(Ex)W.
using UniqueModule = UniqueOwner<HMODULE, ModuleTraits>;

}  // namespace zx
