#include "ops/file_deletion_win.h"

#include <windows.h>
#include <shellapi.h>

#include "core/messages.h"
#include "core/win_text.h"

namespace zx {
namespace {

constexpr int kMsgDeleteFailed = 40;

}  // namespace

int DeleteFiles(ThreadContext& ctx, const std::vector<std::u16string>& paths, unsigned flags) {
  if (paths.empty()) return Fail(ctx, kMsgNullPointer, 730);
  // The shell takes one string of paths, each ended by a zero, and a second
  // zero after the last.
  std::u16string list;
  for (std::u16string path : paths) {
    while (!path.empty() && path.back() == u'\\') path.pop_back();
    if (path.empty()) return Fail(ctx, kMsgBadFileName, 731);
    list += path;
    list.push_back(u'\0');
  }
  list.push_back(u'\0');
  SHFILEOPSTRUCTW operation = {};
  operation.hwnd = GetForegroundWindow();
  operation.wFunc = FO_DELETE;
  operation.pFrom = Wide(list);
  operation.fFlags = static_cast<FILEOP_FLAGS>(flags);
  const int result = SHFileOperationW(&operation);
  if (result == 0 || operation.fAnyOperationsAborted) return 1;
  return Fail(ctx, kMsgDeleteFailed, 732);
}

}  // namespace zx
