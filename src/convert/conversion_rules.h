// The decisions of a conversion run that need no system: which names a scan
// takes, which source boxes accept an opened file, what each target's save
// command is, and the names of the output files.
#pragma once

#include <cstdint>
#include <functional>
#include <string>

#include "convert/conversion_job.h"
#include "core/icon_document.h"
#include "prefs/preference_rules.h"

namespace zx {

// The text after the last dot of the file name, without the dot ("" when none).
std::u16string FileExtension(const std::u16string& name);

// A scan takes a file when its extension is not empty and occurs anywhere in
// the pattern, whatever the case: "dl" is taken under "*.dll".
bool PatternTakes(const std::u16string& pattern, const std::u16string& name);

// The pattern of the checked boxes: "*.cpl;*.dll;..." each extension once.
std::u16string PatternOfSources(const AcceptedSources& sources);

// True when a checked box stands for this container and extension kind.
bool SourceAccepted(const AcceptedSources& sources, ContainerKind container, ExtensionKind kind);

// The save command of a target (14..21: ico, NE icl, PE icl, PE dll; keep or
// uncompress), and the way back; false for another code.
int SaveCommandOf(ConversionTarget target, int mode);
bool TargetOfSaveCommand(int command, ConversionTarget& target, int& mode);

// "ico", "icl" or "dll".
std::u16string TargetExtension(ConversionTarget target);

// The first output candidate for a source file in the destination folder
// (which ends with its separator).
std::u16string FirstOutputCandidate(const std::u16string& destinationFolder,
                                    const std::u16string& sourcePath, ConversionTarget target);

// What is at a path now (PathKindOnDisk on a real disk).
using PathProbe = std::function<PathKind(const std::u16string& path)>;

// The first candidate, or when a file of that name exists, the candidate
// numbered _1, _2, ... up to 2147483647 under which nothing exists. A folder
// of the first candidate's name is not numbered around. Empty when every
// number is taken.
std::u16string MakeOutputPath(const std::u16string& destinationFolder,
                              const std::u16string& sourcePath, ConversionTarget target,
                              const PathProbe& probe);

}  // namespace zx
