// The per-thread list of live working blocks. Every buffer a reader or writer
// allocates is registered here; releasing frees only registered blocks, so a
// stray or repeated release is harmless, and whatever is left is freed when the
// registry goes away.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <unordered_map>

namespace zx {

struct ThreadContext;

class BlockRegistry {
 public:
  BlockRegistry() = default;
  BlockRegistry(const BlockRegistry&) = delete;
  BlockRegistry& operator=(const BlockRegistry&) = delete;

  // A zero-filled block of `size` bytes, or nullptr with message 1 in the
  // context (site 46 for a size <= 0, 47 when the block cannot be recorded,
  // 48 when the heap refuses).
  uint8_t* Allocate(ThreadContext& ctx, int64_t size);
  // Frees the block when it is registered; anything else is ignored.
  void Release(const void* block);
  bool IsRegistered(const void* block) const;
  size_t LiveCount() const { return blocks_.size(); }
  // Frees every block still registered (at shutdown).
  void ReleaseAll() { blocks_.clear(); }

 private:
  std::unordered_map<const void*, std::unique_ptr<uint8_t[]>> blocks_;
};

// Owner of one registered block: releases it through the registry when it
// goes out of scope, unless ownership was handed on with Take().
class RegisteredBlock {
 public:
  RegisteredBlock() = default;
  RegisteredBlock(BlockRegistry& registry, uint8_t* block) : registry_(&registry), block_(block) {}
  RegisteredBlock(RegisteredBlock&& other) noexcept
      : registry_(other.registry_), block_(other.Take()) {}
  RegisteredBlock& operator=(RegisteredBlock&& other) noexcept {
    if (this != &other) {
      Reset();
      registry_ = other.registry_;
      block_ = other.Take();
    }
    return *this;
  }
  ~RegisteredBlock() { Reset(); }

  uint8_t* get() const { return block_; }
  explicit operator bool() const { return block_ != nullptr; }
  uint8_t* Take() {
    uint8_t* b = block_;
    block_ = nullptr;
    return b;
  }
  void Reset() {
    if (block_ && registry_) registry_->Release(block_);
    block_ = nullptr;
  }

 private:
  BlockRegistry* registry_ = nullptr;
  uint8_t* block_ = nullptr;
};

}  // namespace zx
