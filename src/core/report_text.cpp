#include "core/report_text.h"

namespace zx {

std::u16string NumberText(const TextLookup& lookup, int language, int message, int site) {
  std::u16string text = lookup(20008, language) + DecimalText(message);
  if (site != 0) text += u" / " + lookup(20009, language) + DecimalText(site);
  return text;
}

std::u16string ErrorTextFor(const TextLookup& lookup, int language, int message) {
  for (int known : kLanguageTable) {
    if (language == known) return lookup(message, language);
  }
  return u"??";
}

std::u16string MessageBoxReportText(const TextLookup& lookup, int language, int message, int site) {
  std::u16string text = ErrorTextFor(lookup, language, message);
  if (text.size() < 55) text.append(55 - text.size(), u' ');
  return text + u"\n(" + NumberText(lookup, language, message, site) + u")";
}

std::u16string FatalReportText(const TextLookup& lookup, int language, int message) {
  if (message == 201) {
    std::u16string text = ErrorTextFor(lookup, language, 201) + u"\n";
    if (language == 1036) text += u"\n" + ErrorTextFor(lookup, 2057, 201) + u"\n";
    return text;
  }
  // Every other fatal message is shown as message 200 with its own number.
  std::u16string text = ErrorTextFor(lookup, language, 200) + u"\n(" +
                        NumberText(lookup, language, message, 0) + u")\n";
  if (language == 1036) {
    text += u"\n" + ErrorTextFor(lookup, 2057, 200) + u"\n(" + NumberText(lookup, 2057, message, 0) +
            u")\n";
  }
  return text;
}

void FillErrorPanelLines(const TextLookup& lookup, int language, int message, int site,
                         const std::u16string& documentPath, ContainerKind container,
                         ErrorPanelLines& lines) {
  lines.messageLine = u"  " + lookup(message, language);
  lines.fileLine = lookup(2012, language) + FileNamePart(documentPath);
  const bool keepFormatLine =
      message == 38 || (message == 39 && container != kContainerIco && container != kContainerNe);
  if (!keepFormatLine) {
    std::u16string format;
    switch (container) {
      case kContainerPe: format = lookup(2017, language); break;
      case kContainerNe: format = lookup(2020, language); break;
      case kContainerIco: format = lookup(2014, language); break;
      default: break;
    }
    lines.fileAndFormatLine = lines.fileLine + format;
  }
  if (message == 0 || (message == 54 && site == 50)) {
    lines.numberLine.clear();
  } else {
    lines.numberLine = NumberText(lookup, language, message, site);
  }
}

}  // namespace zx
