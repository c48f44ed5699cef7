#include "convert/converter_table_win.h"

#include "convert/conversion_rules.h"
#include "core/messages.h"
#include "ops/icon_writers_win.h"

namespace zx {
namespace {

SaveTarget SaveTargetOf(ConversionTarget target) {
  switch (target) {
    case ConversionTarget::kIco: return SaveTarget::kIco;
    case ConversionTarget::kNeIcl: return SaveTarget::kNeIcl;
    case ConversionTarget::kPeDll: return SaveTarget::kPeDll;
    case ConversionTarget::kPeIcl: return SaveTarget::kPeIcl;
  }
  return SaveTarget::kIco;
}

}  // namespace

int ConvertDocument(ThreadContext& ctx, IconDocument& doc, int command, const std::u16string& path,
                    const std::vector<uint8_t>& moduleTemplate) {
  ConversionTarget target;
  int mode = kVistaKeep;
  if (!TargetOfSaveCommand(command, target, mode)) return Fail(ctx, kMsgInternalError, 720);
  // Every entry of an .ico file, every group of a module.
  const int64_t count = doc.container == kContainerIco ? doc.iconCount : doc.groupCount;
  if (count < 1) return Fail(ctx, kMsgInternalError, 721);
  IconSelection all;
  for (int64_t n = 1; n <= count; ++n) all.push_back(n);
  return WriteSelectionAs(ctx, doc, SaveTargetOf(target), mode, all, true, path, moduleTemplate);
}

}  // namespace zx
