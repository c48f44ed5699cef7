#include "core/block_registry.h"

#include <new>

#include "core/messages.h"
#include "core/thread_context.h"

namespace zx {

uint8_t* BlockRegistry::Allocate(ThreadContext& ctx, int64_t size) {
  if (size <= 0) {
    Fail(ctx, kMsgNoMemory, 46);
    return nullptr;
  }
  if (static_cast<uint64_t>(size) > SIZE_MAX / 2) {
    Fail(ctx, kMsgNoMemory, 48);
    return nullptr;
  }
  std::unique_ptr<uint8_t[]> block(new (std::nothrow) uint8_t[static_cast<size_t>(size)]());
  if (!block) {
    Fail(ctx, kMsgNoMemory, 48);
    return nullptr;
  }
  uint8_t* address = block.get();
  try {
    blocks_.emplace(address, std::move(block));
  } catch (...) {
    Fail(ctx, kMsgNoMemory, 47);
    return nullptr;
  }
  return address;
}

void BlockRegistry::Release(const void* block) {
  if (block) blocks_.erase(block);
}

bool BlockRegistry::IsRegistered(const void* block) const {
  return block && blocks_.count(block) != 0;
}

}  // namespace zx
