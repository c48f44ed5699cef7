// The texts an error report shows, built from the catalogue. Kept apart from
// the windows that show them so they can be checked on their own.
#pragma once

#include <cstdint>
#include <string>

#include "core/catalogue.h"
#include "core/icon_document.h"

namespace zx {

// "Error 4 / Sub Error 171", or "Error 207" when there is no site.
std::u16string NumberText(const TextLookup& lookup, int language, int message, int site);

// The message's text in the language; "??" for a language outside the table.
std::u16string ErrorTextFor(const TextLookup& lookup, int language, int message);

// Message box form: the text padded with spaces to 55 characters, a line feed,
// then the number text in parentheses.
std::u16string MessageBoxReportText(const TextLookup& lookup, int language, int message, int site);

// Fatal form (messages 200..234). French users get the English text as well.
std::u16string FatalReportText(const TextLookup& lookup, int language, int message);

// The error panel's lines in one language.
struct ErrorPanelLines {
  std::u16string messageLine;
  std::u16string fileLine;
  std::u16string fileAndFormatLine;
  std::u16string numberLine;
};

// Fills `lines` for one language. The file-and-format line is left as it was
// for message 38, and for message 39 unless the document is an .ico or NE file.
void FillErrorPanelLines(const TextLookup& lookup, int language, int message, int site,
                         const std::u16string& documentPath, ContainerKind container,
                         ErrorPanelLines& lines);

constexpr bool IsFatalMessage(int message) { return message >= 200 && message <= 234; }

}  // namespace zx
