// The conversion worker: a thread of its own, with its own context (error
// slot, block registry, scratch streams, GDI+ entry points, language and
// preference folder) and its own document, that expands the chosen folders,
// converts every queued file to the wanted targets and logs what happens.
#pragma once

#include <windows.h>

#include "convert/conversion_job.h"
#include "convert/conversion_progress.h"
#include "core/thread_context.h"
#include "core/win_handles.h"

namespace zx {

// The event the worker posts to the job's window at the end of a run; its
// wParam tells which one it is.
constexpr UINT kConversionEventMessage = WM_APP + 0x100;
constexpr WPARAM kConversionFinished = 0x10000;
constexpr WPARAM kConversionNotStarted = 0x10001;

// The whole run on the calling thread, whose context must have its
// ThreadServices: the conversion proper (files mode), or after ScanItems
// (tree mode) when the worker calls it.
void RunConversion(ThreadContext& ctx, ConversionJob& job, CounterDisplay& display);

// Starts the worker on the job two priority steps above normal. The job and
// the progress display must outlive the thread. 0 when no thread could start.
int StartConversion(ConversionJob& job, ConversionProgress& progress, UniqueHandle& worker);

}  // namespace zx
