#include "convert/conversion_log_lines.h"

#include "core/messages.h"
#include "core/report_text.h"
#include "core/thread_context.h"

namespace zx {

std::u16string ConversionHeaderLine(const TextLookup& lookup, int language,
                                    const std::u16string& architectureTag) {
  return TrimSpaces(lookup(4003, language)) + u"  " + architectureTag;
}

std::u16string ConversionMessageLine(const TextLookup& lookup, int language, int64_t error) {
  const int message = ErrorMessage(error);
  if (message == kMsgNoIcon) return u"Info : " + ErrorTextFor(lookup, language, message);
  return ErrorTextFor(lookup, language, message) + u" (" +
         NumberText(lookup, language, message, ErrorSite(error)) + u")";
}

std::vector<std::u16string> ConversionProblemLines(const TextLookup& lookup, int language,
                                                   const std::u16string& sourcePath, int64_t error) {
  return {sourcePath, ConversionMessageLine(lookup, language, error), std::u16string()};
}

}  // namespace zx
