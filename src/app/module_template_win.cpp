#include "app/module_template_win.h"

#include <windows.h>

#include <string>

#include "core/embedded_items_win.h"
#include "core/ui_text_win.h"
#include "formats/module_template.h"

namespace zx {
namespace {

constexpr int kModuleTemplateItem = 60;
constexpr int kFatalModuleTemplate = 223;
constexpr int kAboutLine = 3012;

// The first characters of the French about line in the system's ANSI code page.
std::string AboutLineBytes() {
  const std::u16string line = UiText(kAboutLine, 1036).substr(0, kStubMessageCharacters);
  if (line.empty()) return {};
  const auto* wide = reinterpret_cast<const wchar_t*>(line.c_str());
  const int length = WideCharToMultiByte(CP_ACP, 0, wide, static_cast<int>(line.size()), nullptr, 0, nullptr, nullptr);
  std::string bytes(static_cast<size_t>(std::max(length, 0)), '\0');
  WideCharToMultiByte(CP_ACP, 0, wide, static_cast<int>(line.size()), bytes.data(), length, nullptr, nullptr);
  return bytes;
}

}  // namespace

int LoadModuleTemplate(ThreadContext& ctx, std::vector<uint8_t>& moduleTemplate) {
  if (!InflateZlib(ctx, EmbeddedItem(kModuleTemplateItem), kModuleTemplateLimit, moduleTemplate) ||
      !StampAboutLine(moduleTemplate, AboutLineBytes())) {
    moduleTemplate.clear();
    return Fail(ctx, kFatalModuleTemplate);
  }
  return 1;
}

}  // namespace zx
