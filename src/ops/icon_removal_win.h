// Removing icons and groups from the opened file in place: images of an
// .ico file, groups or single icons of a PE module, groups or single icons
// of an NE icon library. Every refusal is checked before anything changes;
// the file is then rebuilt beside itself and replaces itself in one step, so
// a removal that fails leaves the file byte for byte as it was. The
// confirmation that comes first is the caller's.
#pragma once

#include <cstdint>

#include "core/icon_document.h"
#include "core/thread_context.h"
#include "formats/ico_writer.h"

namespace zx {

enum class RemovalCommand {
  kGroupList,  // the selected rows: images of an .ico file, groups of a module
  kImagePane,  // the selected pictures of the group the image pane shows
};

struct RemovalRequest {
  RemovalCommand command = RemovalCommand::kGroupList;
  // Group-list rows, or pictures of the shown group, counted from 1.
  IconSelection selection;
  // Image pane: the group-list row whose pictures it shows (.ico: the image).
  int64_t shownGroup = 1;
  // Image pane: whether the file list has a selected row.
  bool fileSelected = true;
};

enum RemovalResult : int {
  kRemovalFailed = 0,
  kRemovalDone = 1,
  // A 16-bit module other than an icon library: nothing can be changed; the
  // caller shows the NE information window.
  kRemovalNotPossible = 2,
};

// The refusals (messages 39, 95, 7, 19, 20, 21, 96, 97). 1 when the request
// may go ahead.
int CheckRemoval(ThreadContext& ctx, IconDocument& doc, const RemovalRequest& request);

// The whole removal: refusals, the file's attributes set to normal for the
// change and restored afterwards, the container's removal, and the document
// opened again from what the file then holds. After a failure the error slot
// keeps the failure; after a removal it holds what opening the file said.
RemovalResult RemoveSelection(ThreadContext& ctx, IconDocument& doc, const RemovalRequest& request);

// The container removals, run after the refusals.
int RemoveIcoImages(ThreadContext& ctx, IconDocument& doc, const RemovalRequest& request);
int RemovePeGroups(ThreadContext& ctx, IconDocument& doc, const IconSelection& groups);
int RemovePeIcons(ThreadContext& ctx, IconDocument& doc, int64_t group, const IconSelection& entries);
int RewriteNeIconLibrary(ThreadContext& ctx, IconDocument& doc, const RemovalRequest& request);

}  // namespace zx
