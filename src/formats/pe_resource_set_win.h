// A PE module's whole resource set, read through the loader and written back
// through the resource-update service. Removal rewrites a module this way:
// the service's deletion of single resources (a null buffer) is reported as
// done under Wine yet leaves the resource in place, whereas starting from an
// empty set and adding back every resource that stays gives the same module
// on every system.
#pragma once

#include <string>

#include "core/thread_context.h"
#include "formats/pe_removal_plan.h"

namespace zx {

// Every resource of every type, name and language, in enumeration order.
// Messages: 64 when the module cannot be loaded, 65 for a failed
// enumeration, 66-69 for a resource that cannot be read.
int ReadModuleResources(ThreadContext& ctx, const std::u16string& path, ModuleResourceSet& set);

// Replaces the module's resources by `set`, byte for byte with their names
// and languages. Message 85 when the service refuses; the file is then
// unchanged.
int RewriteModuleResources(ThreadContext& ctx, const std::u16string& path,
                           const ModuleResourceSet& set);

}  // namespace zx
