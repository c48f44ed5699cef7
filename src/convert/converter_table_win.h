// The converters of a batch run: the whole-file save-as of the opened
// document to one target, every group and image selected.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "core/icon_document.h"
#include "core/thread_context.h"

namespace zx {

// `command` is the target's save command (14..21); another code fails with
// message 7 and writes nothing. A failed converter leaves no output behind.
int ConvertDocument(ThreadContext& ctx, IconDocument& doc, int command, const std::u16string& path,
                    const std::vector<uint8_t>& moduleTemplate);

}  // namespace zx
