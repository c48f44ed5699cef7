#include "ops/save_naming.h"

#include "core/icon_document.h"
#include "core/messages.h"

namespace zx {

int SaveTargetPath(ThreadContext& ctx, const std::u16string& chosen, const std::u16string& extension,
                   std::u16string& path) {
  path = WithoutTrailingDots(chosen);
  const std::u16string name = FileNamePart(path);
  const size_t dot = name.rfind(u'.');
  if (name.empty()) return Fail(ctx, kMsgBadFileName, 0);
  if (dot == std::u16string::npos) {
    path += u"." + extension;
    return 1;
  }
  std::u16string given = name.substr(dot + 1);
  for (char16_t& c : given) {
    if (c >= u'A' && c <= u'Z') c = static_cast<char16_t>(c - u'A' + u'a');
  }
  return given == extension ? 1 : Fail(ctx, kMsgBadFileName, 0);
}

}  // namespace zx
