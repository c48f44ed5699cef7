// Owners of Windows handles: each closes what it holds when it goes away.
#pragma once

#include <windows.h>
#include <commctrl.h>

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

struct GdiObjectTraits {
  static HGDIOBJ Invalid() { return nullptr; }
  static bool IsValid(HGDIOBJ h) { return h != nullptr; }
  static void Close(HGDIOBJ h) { DeleteObject(h); }
};
struct IconTraits {
  static HICON Invalid() { return nullptr; }
  static bool IsValid(HICON h) { return h != nullptr; }
  static void Close(HICON h) { DestroyIcon(h); }
};
struct ImageListTraits {
  static HIMAGELIST Invalid() { return nullptr; }
  static bool IsValid(HIMAGELIST h) { return h != nullptr; }
  static void Close(HIMAGELIST h) { ImageList_Destroy(h); }
};
struct WindowTraits {
  static HWND Invalid() { return nullptr; }
  static bool IsValid(HWND h) { return h != nullptr && IsWindow(h); }
  static void Close(HWND h) { DestroyWindow(h); }
};
struct DeviceContextTraits {
  static HDC Invalid() { return nullptr; }
  static bool IsValid(HDC h) { return h != nullptr; }
  static void Close(HDC h) { DeleteDC(h); }
};

// A file, process or other kernel handle (CreateFileW's INVALID_HANDLE_VALUE counts as empty).
using UniqueHandle = UniqueOwner<HANDLE, FileHandleTraits>;
// A module from LoadLibrary(Ex)W.
using UniqueModule = UniqueOwner<HMODULE, ModuleTraits>;
// A font, bitmap, brush or pen.
using UniqueGdiObject = UniqueOwner<HGDIOBJ, GdiObjectTraits>;
using UniqueIcon = UniqueOwner<HICON, IconTraits>;
using UniqueImageList = UniqueOwner<HIMAGELIST, ImageListTraits>;
// A top-level window this code created (children go with their parent).
using UniqueWindow = UniqueOwner<HWND, WindowTraits>;
// A memory device context from CreateCompatibleDC.
using UniqueDeviceContext = UniqueOwner<HDC, DeviceContextTraits>;

// Selects an object into a device context and puts the previous one back.
class SelectedObject {
 public:
  SelectedObject(HDC dc, HGDIOBJ object) : dc_(dc), previous_(SelectObject(dc, object)) {}
  ~SelectedObject() {
    if (previous_) SelectObject(dc_, previous_);
  }
  SelectedObject(const SelectedObject&) = delete;
  SelectedObject& operator=(const SelectedObject&) = delete;

 private:
  HDC dc_;
  HGDIOBJ previous_;
};

}  // namespace zx
