// The Windows-side services of one thread's context: its scratch-stream
// registry and its GDI+ entry points. Each thread (the user-interface thread,
// the conversion worker, the console program, the tests) makes one
// ThreadServices for its context before it decodes or writes anything; it
// attaches the services to the context and, when it goes away, releases every
// scratch stream still alive and detaches them again.
#pragma once

#include "core/thread_context.h"
#include "imaging/gdiplus_win.h"
#include "imaging/scratch_stream_win.h"

namespace zx {

enum class ThreadRole { kUserInterface, kConversion };

class ThreadServices {
 public:
  explicit ThreadServices(ThreadContext& ctx, ThreadRole role = ThreadRole::kUserInterface);
  ThreadServices(const ThreadServices&) = delete;
  ThreadServices& operator=(const ThreadServices&) = delete;
  ~ThreadServices();

  ScratchStreamRegistry& scratchStreams() { return scratchStreams_; }
  GdiplusLibrary& gdiplus() { return gdiplus_; }

 private:
  ThreadContext& ctx_;
  // Declared first so that the streams are released before GDI+ goes.
  GdiplusLibrary gdiplus_;
  ScratchStreamRegistry scratchStreams_;
};

// The services attached to the context, or nullptr when none are.
inline ScratchStreamRegistry* ScratchStreamsOf(ThreadContext& ctx) { return ctx.scratchStreams; }
inline GdiplusLibrary* GdiplusOf(ThreadContext& ctx) { return ctx.gdiplus; }

}  // namespace zx
