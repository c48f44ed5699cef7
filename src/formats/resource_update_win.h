// One use of the system's resource-update service: begun on a module file,
// ended with discard unless it was committed.
#pragma once

#include <windows.h>

#include <string>
#include <utility>

#include "formats/resource_types.h"

namespace zx {

class ResourceUpdate {
 public:
  explicit ResourceUpdate(HANDLE handle) : handle_(handle) {}
  ResourceUpdate(const ResourceUpdate&) = delete;
  ResourceUpdate& operator=(const ResourceUpdate&) = delete;
  ~ResourceUpdate() {
    if (handle_) EndUpdateResourceW(handle_, TRUE);
  }
  HANDLE get() const { return handle_; }
  bool Commit() { return EndUpdateResourceW(std::exchange(handle_, nullptr), FALSE) != 0; }

 private:
  HANDLE handle_;
};

// A resource name or type as the system's resource functions take it (the
// string must outlive the call).
inline const wchar_t* ResourceName(const PeResourceName& ref) {
  return ref.IsString() ? reinterpret_cast<const wchar_t*>(ref.text.c_str())
                        : MAKEINTRESOURCEW(ref.id);
}

}  // namespace zx
