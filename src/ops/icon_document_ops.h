// Loading, locking, detecting and closing the opened icon document.
#pragma once

#include <string>

#include "core/icon_document.h"
#include "core/thread_context.h"

namespace zx {

// Reads the whole file into a registered buffer and takes the file lock.
int LoadWholeFile(ThreadContext& ctx, const std::u16string& path, IconDocument& doc);

// Keeps a read handle with read-only sharing on the document's file, so no
// other process can write, rename or delete it while it is open.
int LockDocumentFile(ThreadContext& ctx, IconDocument& doc);
int ReleaseDocumentFile(ThreadContext& ctx, IconDocument* doc);

// Decides which reader applies and loads the document: 2 PE, 4 NE, 8 ICO,
// 1 when every reader failed, 0 for a missing record or a bad name. 2 and 4
// can come back with an error set; callers look at the error first.
int DetectContainer(ThreadContext& ctx, IconDocument* doc, const std::u16string& path);

// Loads an NE or ICO file that is about to be rewritten. kind 1 detects first.
int OpenForEditing(ThreadContext& ctx, const std::u16string& path, IconDocument& doc, int kind);

// Frees the loaded module or buffer and the lock; the other fields stay.
int CloseDocument(ThreadContext& ctx, IconDocument* doc);
// Back to "no document" (container 1); the path stays.
void ResetDocument(ThreadContext& ctx, IconDocument& doc);
// ResetDocument and an empty path.
void ClearDocument(ThreadContext& ctx, IconDocument& doc);

// The program's own temporary file in the preference folder.
std::u16string TemporaryLibraryPath(const ThreadContext& ctx);

}  // namespace zx
