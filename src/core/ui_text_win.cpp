#include "core/ui_text_win.h"

#include <windows.h>

#include <set>
#include <utility>

namespace zx {
namespace {

// The (block, language) pairs the program's string tables really hold. The
// loader falls back to another language when the one asked for is missing,
// and a text must only ever come from exactly the language asked for.
BOOL CALLBACK AddLanguage(HMODULE, LPCWSTR, LPCWSTR name, WORD language, LONG_PTR param) {
  auto* blocks = reinterpret_cast<std::set<std::pair<int, int>>*>(param);
  if (IS_INTRESOURCE(name)) blocks->emplace(static_cast<int>(reinterpret_cast<uintptr_t>(name)), language);
  return TRUE;
}

BOOL CALLBACK AddBlock(HMODULE module, LPCWSTR type, LPWSTR name, LONG_PTR param) {
  EnumResourceLanguagesW(module, type, name, AddLanguage, param);
  return TRUE;
}

const std::set<std::pair<int, int>>& StringBlocks() {
  static const std::set<std::pair<int, int>> blocks = [] {
    std::set<std::pair<int, int>> found;
    EnumResourceNamesW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(6), AddBlock,
                       reinterpret_cast<LONG_PTR>(&found));
    return found;
  }();
  return blocks;
}

}  // namespace

std::u16string UiText(int number, int language) {
  if (number < 0 || number > 0xFFFF) return {};
  if (!StringBlocks().count({number / 16 + 1, language})) return {};
  HMODULE self = GetModuleHandleW(nullptr);
  HRSRC found = FindResourceExW(self, MAKEINTRESOURCEW(6),  // RT_STRING
                                MAKEINTRESOURCEW(number / 16 + 1), static_cast<WORD>(language));
  if (!found) return {};
  HGLOBAL loaded = LoadResource(self, found);
  if (!loaded) return {};
  const auto* block = static_cast<const uint8_t*>(LockResource(loaded));
  const DWORD size = SizeofResource(self, found);
  if (!block || size == 0) return {};
  return FindTextInBlock(block, size, number % 16);
}

TextLookup UiTextLookup() { return [](int number, int language) { return UiText(number, language); }; }

std::u16string ProductTitle() { return UiText(30000, 0); }

std::u16string WindowTitle(int kind, int language) {
  return WindowTitleFrom(UiTextLookup(), language, kind);
}

std::u16string ArchitectureTag() { return UiText(sizeof(void*) == 8 ? 30015 : 30014, 0); }

}  // namespace zx
