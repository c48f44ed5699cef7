#include "convert/conversion_progress.h"

namespace zx {

void CounterDisplay::Show(CounterField field, int64_t value, int64_t& shown, bool always) {
  if (!always && value == shown) return;
  progress_.ShowCounter(field, value);
  shown = value;
}

void CounterDisplay::ShowFields(bool all) {
  counters.remaining = counters.toProcess - counters.processed;
  Show(CounterField::kToProcess, counters.toProcess, shown_.toProcess, all);
  Show(CounterField::kProcessed, counters.processed, shown_.processed, all);
  Show(CounterField::kRemaining, counters.remaining, shown_.remaining, all);
  Show(CounterField::kWithoutIcon, counters.withoutIcon, shown_.withoutIcon, all);
  Show(CounterField::kCreated, counters.created, shown_.created, all);
  Show(CounterField::kErrors, counters.errors, shown_.errors, true);
  progress_.ShowPosition(counters.processed, counters.toProcess);
}

}  // namespace zx
