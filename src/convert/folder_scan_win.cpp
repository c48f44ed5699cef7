#include "convert/folder_scan_win.h"

#include <windows.h>

#include "convert/conversion_rules.h"
#include "core/messages.h"
#include "core/win_handles.h"
#include "core/win_text.h"
#include "prefs/preference_store_win.h"

namespace zx {
namespace {

std::u16string NormalisedFolder(std::u16string folder) {
  const size_t first = folder.find_first_not_of(u' ');
  const size_t last = folder.find_last_not_of(u' ');
  folder = first == std::u16string::npos ? std::u16string() : folder.substr(first, last - first + 1);
  if (!folder.empty() && folder.back() == u'.') folder.pop_back();
  if (folder.empty() || folder.back() != u'\\') folder += u'\\';
  return folder;
}

bool Append(ConversionJob& job, CounterDisplay& display, const std::u16string& path) {
  if (!job.fileQueue.Append(path)) return false;
  display.counters.toProcess = static_cast<int64_t>(job.fileQueue.size());
  display.ShowChanged();
  return true;
}

}  // namespace

void ScanFolder(ConversionJob& job, CounterDisplay& display, const std::u16string& folder,
                int depth, bool& overflow) {
  const std::u16string base = NormalisedFolder(folder);
  WIN32_FIND_DATAW found;
  UniqueFind find(FindFirstFileW(Wide(base + u"*.*"), &found));
  if (!find.valid()) return;
  do {
    const std::u16string name = FromWide(found.cFileName);
    if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
      if (name == u"." || name == u"..") continue;
      // A junction or link back up the tree would be walked for ever.
      if (found.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) continue;
      ScanFolder(job, display, base + name, depth + 1, overflow);
    } else if (PatternTakes(job.pattern, name)) {
      if (!Append(job, display, base + name)) overflow = true;
    }
  } while (FindNextFileW(find.get(), &found));
}

int ScanItems(ThreadContext& ctx, ConversionJob& job, CounterDisplay& display) {
  bool overflow = false;
  display.counters = ConversionCounters();
  display.counters.toProcess = static_cast<int64_t>(job.fileQueue.size());
  display.ShowAll();
  int site = 0;
  for (const std::u16string& item : job.chosenItems) {
    const PathKind kind = PathKindOnDisk(item);
    if (kind == PathKind::kFolder) {
      ScanFolder(job, display, item, 0, overflow);
      if (overflow) {
        site = 125;
        break;
      }
    } else if (kind == PathKind::kFile && PatternTakes(job.pattern, item)) {
      if (!Append(job, display, item)) {
        site = 126;
        break;
      }
    }
  }
  if (site == 0) return 1;
  job.chosenItems.Clear();
  job.fileQueue.Clear();
  return Fail(ctx, kMsgNoMemory, site);
}

}  // namespace zx
