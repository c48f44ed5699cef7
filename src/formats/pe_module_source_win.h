// The icon groups of an opened PE document, for the writers, read through
// the loader from the module the document holds.
#pragma once

#include "core/icon_document.h"
#include "formats/icon_module_source.h"

namespace zx {

class PeModuleSource final : public IconModuleSource {
 public:
  explicit PeModuleSource(const IconDocument& doc) : doc_(doc) {}
  int ForEachGroup(ThreadContext& ctx,
                   const std::function<int(const PeResourceName&)>& visit) override;
  int GroupDirectory(ThreadContext& ctx, const PeResourceName& group, const uint8_t*& data,
                     uint64_t& size) override;
  int IconData(ThreadContext& ctx, int id, const uint8_t*& data, uint64_t& size) override;

 private:
  const IconDocument& doc_;
};

}  // namespace zx
