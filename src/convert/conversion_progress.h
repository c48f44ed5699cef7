// Where a conversion run shows itself: the progress window in the program,
// a progress line in the console companion. Every call comes from the
// conversion worker's thread.
#pragma once

#include <cstdint>

#include "convert/conversion_job.h"
#include "core/thread_context.h"

namespace zx {

enum class CounterField { kToProcess, kProcessed, kRemaining, kWithoutIcon, kCreated, kErrors };

class ConversionProgress {
 public:
  virtual ~ConversionProgress() = default;
  // A counter's new value, shown in decimal.
  virtual void ShowCounter(CounterField field, int64_t value) = 0;
  // The progress bar: `position` of `range` files.
  virtual void ShowPosition(int64_t position, int64_t range) = 0;
  // The run is over: the labels are laid out again as a summary.
  virtual void LayOutSummary() {}
  // The run could not start: the progress display goes away.
  virtual void Hide() {}
  // A problem that ends the run; the program shows it with ReportBatchError.
  virtual void ReportRunError(ThreadContext& ctx) = 0;
};

// The counters of a run and what the progress display last showed of them,
// so that a field is rewritten only when its value changes (errors always).
class CounterDisplay {
 public:
  explicit CounterDisplay(ConversionProgress& progress) : progress_(progress) {}

  ConversionCounters counters;
  ConversionProgress& progress() { return progress_; }

  // Shows every field at once, whatever it showed before.
  void ShowAll() { ShowFields(true); }
  // Shows the fields that changed, errors always, and the position.
  void ShowChanged() { ShowFields(false); }

 private:
  void ShowFields(bool all);
  void Show(CounterField field, int64_t value, int64_t& shown, bool always);

  ConversionProgress& progress_;
  ConversionCounters shown_;
};

}  // namespace zx
