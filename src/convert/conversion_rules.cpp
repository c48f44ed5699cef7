#include "convert/conversion_rules.h"

#include <cstdint>

namespace zx {
namespace {

char16_t Lower(char16_t c) { return c >= u'A' && c <= u'Z' ? static_cast<char16_t>(c - u'A' + u'a') : c; }

std::u16string Lowered(std::u16string text) {
  for (char16_t& c : text) c = Lower(c);
  return text;
}

struct SourceBox {
  int box;
  ContainerKind container;
  ExtensionKind kind;
  const char16_t* extension;
};

constexpr SourceBox kSourceBoxes[] = {
    {1047, kContainerPe, kExtensionCpl, u"cpl"}, {1048, kContainerPe, kExtensionDll, u"dll"},
    {1049, kContainerPe, kExtensionDrv, u"drv"}, {1050, kContainerPe, kExtensionExe, u"exe"},
    {1052, kContainerPe, kExtensionIcl, u"icl"}, {1053, kContainerPe, kExtensionOcx, u"ocx"},
    {1054, kContainerPe, kExtensionScr, u"scr"}, {1055, kContainerNe, kExtensionDll, u"dll"},
    {1056, kContainerNe, kExtensionExe, u"exe"}, {1057, kContainerNe, kExtensionIcl, u"icl"},
    {1058, kContainerIco, kExtensionIco, u"ico"},
};

bool Checked(const AcceptedSources& sources, int box) {
  for (int checked : sources) {
    if (checked == box) return true;
  }
  return false;
}

}  // namespace

std::u16string FileExtension(const std::u16string& name) {
  const std::u16string file = FileNamePart(name);
  const size_t dot = file.rfind(u'.');
  return dot == std::u16string::npos ? std::u16string() : file.substr(dot + 1);
}

bool PatternTakes(const std::u16string& pattern, const std::u16string& name) {
  const std::u16string extension = FileExtension(name);
  if (extension.empty()) return false;
  return Lowered(pattern).find(Lowered(extension)) != std::u16string::npos;
}

std::u16string PatternOfSources(const AcceptedSources& sources) {
  std::u16string pattern;
  for (const SourceBox& row : kSourceBoxes) {
    if (!Checked(sources, row.box)) continue;
    const std::u16string item = std::u16string(u"*.") + row.extension;
    if ((u";" + pattern + u";").find(u";" + item + u";") != std::u16string::npos) continue;
    if (!pattern.empty()) pattern += u";";
    pattern += item;
  }
  return pattern;
}

bool SourceAccepted(const AcceptedSources& sources, ContainerKind container, ExtensionKind kind) {
  for (const SourceBox& row : kSourceBoxes) {
    if (row.container == container && row.kind == kind && Checked(sources, row.box)) return true;
  }
  return false;
}

int SaveCommandOf(ConversionTarget target, int mode) {
  const int offset = mode == kVistaUncompress ? 1 : 0;
  switch (target) {
    case ConversionTarget::kIco: return 14 + offset;
    case ConversionTarget::kNeIcl: return 16 + offset;
    case ConversionTarget::kPeIcl: return 18 + offset;
    case ConversionTarget::kPeDll: return 20 + offset;
  }
  return 0;
}

bool TargetOfSaveCommand(int command, ConversionTarget& target, int& mode) {
  if (command < 14 || command > 21) return false;
  static constexpr ConversionTarget kByPair[4] = {ConversionTarget::kIco, ConversionTarget::kNeIcl,
                                                  ConversionTarget::kPeIcl, ConversionTarget::kPeDll};
  target = kByPair[(command - 14) / 2];
  mode = (command - 14) % 2 == 0 ? kVistaKeep : kVistaUncompress;
  return true;
}

std::u16string TargetExtension(ConversionTarget target) {
  switch (target) {
    case ConversionTarget::kIco: return u"ico";
    case ConversionTarget::kPeDll: return u"dll";
    default: return u"icl";
  }
}

std::u16string FirstOutputCandidate(const std::u16string& destinationFolder,
                                    const std::u16string& sourcePath, ConversionTarget target) {
  const std::u16string name = FileNamePart(sourcePath);
  const size_t dot = name.rfind(u'.');
  const std::u16string stem = dot == std::u16string::npos ? name : name.substr(0, dot);
  if (target == ConversionTarget::kNeIcl) return destinationFolder + stem + u"_Icl_NE.icl";
  return destinationFolder + stem + u"." + TargetExtension(target);
}

std::u16string MakeOutputPath(const std::u16string& destinationFolder,
                              const std::u16string& sourcePath, ConversionTarget target,
                              const PathProbe& probe) {
  const std::u16string candidate = FirstOutputCandidate(destinationFolder, sourcePath, target);
  if (probe(candidate) != PathKind::kFile) return candidate;
  // Every candidate ends in a dot and a three-letter extension.
  const std::u16string stem = candidate.substr(0, candidate.size() - 4);
  const std::u16string extension = u"." + TargetExtension(target);
  for (int64_t n = 1; n <= INT32_MAX; ++n) {
    std::u16string numbered = stem + u"_";
    for (char c : std::to_string(n)) numbered += static_cast<char16_t>(c);
    numbered += extension;
    if (probe(numbered) == PathKind::kMissing) return numbered;
  }
  return std::u16string();
}

}  // namespace zx
