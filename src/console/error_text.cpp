#include "console/error_text.h"

#include "core/report_text.h"
#include "core/ui_text_win.h"
#include "core/utf8.h"

namespace zx {

std::string ErrorLineText(const ThreadContext& ctx) {
  const int message = ErrorMessage(ctx.error);
  const int site = ErrorSite(ctx.error);
  return ToUtf8(UiText(message, ctx.language)) + " (" +
         ToUtf8(NumberText(UiTextLookup(), ctx.language, message, site)) + ")";
}

}  // namespace zx
