// The per-thread working context. The user-interface thread and the conversion
// worker each own one; every reader, decoder and writer takes the context of
// the thread it runs on, so one implementation serves both threads.
#pragma once

#include <cstdint>
#include <string>

#include "core/block_registry.h"

namespace zx {

// Languages of the catalogue.
constexpr int kLangNeutral = 0;
constexpr int kLangFrench = 1036;
constexpr int kLangEnglish = 2057;

// Defined by the Windows-bound modules (imaging/thread_services_win.h).
struct ScratchStreamRegistry;
struct GdiplusLibrary;

struct ThreadContext {
  // Last error: (site << 16) + message, 0 when none. The last error wins.
  int64_t error = 0;
  // Errors of the current action go to a message box instead of the error panel.
  bool reportInMessageBox = false;
  // 1036 or 2057.
  int language = kLangEnglish;
  BlockRegistry blocks;
  // The preference folder (with its trailing separator), one copy per thread.
  std::u16string preferenceFolder;
  // Services attached by the Windows-bound modules that need them (the live
  // scratch streams and the GDI+ entry points of this thread), owned by a
  // ThreadServices object of the thread; the portable core never looks at these.
  ScratchStreamRegistry* scratchStreams = nullptr;
  GdiplusLibrary* gdiplus = nullptr;
};

inline int ErrorMessage(int64_t error) { return static_cast<int>(error & 0xFFFF); }
inline int ErrorSite(int64_t error) { return static_cast<int>((error >> 16) & 0xFFFF); }
inline int64_t MakeError(int message, int site) {
  return (static_cast<int64_t>(site) << 16) + message;
}

// Records an error in the context and returns 0, so a failing path reads
// `return Fail(ctx, kMsgOverflow, 35);`.
inline int Fail(ThreadContext& ctx, int message, int site = 0) {
  ctx.error = MakeError(message, site);
  return 0;
}

}  // namespace zx
