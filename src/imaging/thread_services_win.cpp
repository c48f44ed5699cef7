#include "imaging/thread_services_win.h"

namespace zx {

ThreadServices::ThreadServices(ThreadContext& ctx, ThreadRole role) : ctx_(ctx) {
  scratchStreams_.conversionThread = role == ThreadRole::kConversion;
  ctx_.scratchStreams = &scratchStreams_;
  ctx_.gdiplus = &gdiplus_;
}

ThreadServices::~ThreadServices() {
  if (ctx_.scratchStreams == &scratchStreams_) ctx_.scratchStreams = nullptr;
  if (ctx_.gdiplus == &gdiplus_) ctx_.gdiplus = nullptr;
}

}  // namespace zx
