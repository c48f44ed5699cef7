// The icon groups of an opened NE document, for the writers.
#pragma once

#include "core/icon_document.h"
#include "formats/icon_module_source.h"

namespace zx {

class NeModuleSource final : public IconModuleSource {
 public:
  explicit NeModuleSource(IconDocument& doc) : doc_(doc) {}
  int ForEachGroup(ThreadContext& ctx,
                   const std::function<int(const PeResourceName&)>& visit) override;
  int GroupDirectory(ThreadContext& ctx, const PeResourceName& group, const uint8_t*& data,
                     uint64_t& size) override;
  int IconData(ThreadContext& ctx, int id, const uint8_t*& data, uint64_t& size) override;

 private:
  int Resource(ThreadContext& ctx, int type, int id, const uint8_t*& data, uint64_t& size,
               int site);
  IconDocument& doc_;
};

}  // namespace zx
