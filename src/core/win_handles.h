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

// Handles whose empty value is null, closed by one function.
template <typename T, auto Closer>
struct NullableTraits {
  static T Invalid() { return nullptr; }
  static bool IsValid(T h) { return h != nullptr; }
  static void Close(T h) { Closer(h); }
};

// A file, process or other kernel handle (CreateFileW's INVALID_HANDLE_VALUE counts as empty).
using UniqueHandle = UniqueOwner<HANDLE, FileHandleTraits>;
struct FindHandleTraits {
  static HANDLE Invalid() { return INVALID_HANDLE_VALUE; }
  static bool IsValid(HANDLE h) { return h != INVALID_HANDLE_VALUE && h != nullptr; }
  static void Close(HANDLE h) { FindClose(h); }
};
// A directory listing from FindFirstFileW.
using UniqueFind = UniqueOwner<HANDLE, FindHandleTraits>;
// A module from LoadLibrary(Ex)W.
using UniqueModule = UniqueOwner<HMODULE, NullableTraits<HMODULE, FreeLibrary>>;
// A pen, brush, font or other GDI object.
using UniqueGdiObject = UniqueOwner<HGDIOBJ, NullableTraits<HGDIOBJ, DeleteObject>>;
// A bitmap or DIB section.
using UniqueBitmap = UniqueOwner<HBITMAP, NullableTraits<HBITMAP, DeleteObject>>;
// An icon from CreateIconIndirect or CreateIconFromResourceEx.
using UniqueIcon = UniqueOwner<HICON, NullableTraits<HICON, DestroyIcon>>;
// An image list from ImageList_Create.
using UniqueImageList = UniqueOwner<HIMAGELIST, NullableTraits<HIMAGELIST, ImageList_Destroy>>;
// A memory device context from CreateCompatibleDC.
using UniqueMemoryDc = UniqueOwner<HDC, NullableTraits<HDC, DeleteDC>>;

// A window this code created (children go with their parent); a window
// already gone is not destroyed again.
struct WindowTraits {
  static HWND Invalid() { return nullptr; }
  static bool IsValid(HWND h) { return h != nullptr && IsWindow(h); }
  static void Close(HWND h) { DestroyWindow(h); }
};
using UniqueWindow = UniqueOwner<HWND, WindowTraits>;

// The screen's device context, given back when the owner goes away.
class ScreenDc {
 public:
  ScreenDc() : dc_(GetDC(nullptr)) {}
  ScreenDc(const ScreenDc&) = delete;
  ScreenDc& operator=(const ScreenDc&) = delete;
  ~ScreenDc() {
    if (dc_) ReleaseDC(nullptr, dc_);
  }
  HDC get() const { return dc_; }
  explicit operator bool() const { return dc_ != nullptr; }

 private:
  HDC dc_;
};

// Selects an object into a device context and puts the previous one back.
class SelectedObject {
 public:
  SelectedObject(HDC dc, HGDIOBJ object) : dc_(dc), previous_(SelectObject(dc, object)) {}
  SelectedObject(const SelectedObject&) = delete;
  SelectedObject& operator=(const SelectedObject&) = delete;
  ~SelectedObject() {
    if (previous_ && previous_ != HGDI_ERROR) SelectObject(dc_, previous_);
  }
  bool ok() const { return previous_ != nullptr && previous_ != HGDI_ERROR; }

 private:
  HDC dc_;
  HGDIOBJ previous_;
};

// A COM interface pointer, released with the owner.
template <typename T>
class ComPtr {
 public:
  ComPtr() = default;
  explicit ComPtr(T* p) : p_(p) {}
  ComPtr(const ComPtr&) = delete;
  ComPtr& operator=(const ComPtr&) = delete;
  ComPtr(ComPtr&& other) noexcept : p_(std::exchange(other.p_, nullptr)) {}
  ComPtr& operator=(ComPtr&& other) noexcept {
    if (this != &other) Reset(std::exchange(other.p_, nullptr));
    return *this;
  }
  ~ComPtr() { Reset(); }
  T* get() const { return p_; }
  T* operator->() const { return p_; }
  T** Put() {
    Reset();
    return &p_;
  }
  T* Detach() { return std::exchange(p_, nullptr); }
  void Reset(T* p = nullptr) {
    if (p_) p_->Release();
    p_ = p;
  }
  explicit operator bool() const { return p_ != nullptr; }

 private:
  T* p_ = nullptr;
};

}  // namespace zx
