#include "core/icon_document.h"

namespace zx {

std::u16string FileNamePart(const std::u16string& path) {
  const size_t slash = path.find_last_of(u"\\/");
  return slash == std::u16string::npos ? path : path.substr(slash + 1);
}

std::u16string WithoutTrailingDots(const std::u16string& path) {
  size_t end = path.size();
  while (end > 0 && path[end - 1] == u'.') --end;
  return path.substr(0, end);
}

ExtensionKind ExtensionKindOf(const std::u16string& path) {
  const std::u16string name = FileNamePart(path);
  if (name.size() < 4) return kExtensionOther;
  std::u16string tail = name.substr(name.size() - 4);
  for (char16_t& c : tail) {
    if (c >= u'A' && c <= u'Z') c = static_cast<char16_t>(c - u'A' + u'a');
  }
  static const struct {
    const char16_t* extension;
    ExtensionKind kind;
  } kTable[] = {
      {u".ico", kExtensionIco}, {u".icl", kExtensionIcl}, {u".exe", kExtensionExe},
      {u".dll", kExtensionDll}, {u".drv", kExtensionDrv}, {u".cpl", kExtensionCpl},
      {u".ocx", kExtensionOcx}, {u".scr", kExtensionScr},
  };
  for (const auto& row : kTable) {
    if (tail == row.extension) return row.kind;
  }
  return kExtensionOther;
}

}  // namespace zx
