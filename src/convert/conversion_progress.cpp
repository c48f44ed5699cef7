#include "convert/conversion_progress.h"

namespace zx {

void CounterDisplay::Show(CounterField field, int64_t value, int64_t& shown, bool always) {
  if (!always && value == shown) return;
  progress_.ShowCounter(field, value);
  shown = value;
}

void CounterDisplay::ShowAll() {
  counters.remaining = counters.toProcess - counters.processed;
  Show(CounterField::kToProcess, counters.toProcess, shown_.toProcess, true);
  Show(CounterField::kProcessed, counters.processed, shown_.processed, true);
  Show(CounterField::kRemaining, counters.remaining, shown_.remaining, true);
  Show(CounterField::kWithoutIcon, counters.withoutIcon, shown_.withoutIcon, true);
  Show(CounterField::kCreated, counters.created, shown_.created, true);
  Show(CounterField::kErrors, counters.errors, shown_.errors, true);
  progress_.ShowPosition(counters.processed, counters.toProcess);
}

void CounterDisplay::ShowChanged() {
  counters.remaining = counters.toProcess - counters.processed;
  Show(CounterField::kToProcess, counters.toProcess, shown_.toProcess, false);
  Show(CounterField::kProcessed, counters.processed, shown_.processed, false);
  Show(CounterField::kRemaining, counters.remaining, shown_.remaining, false);
  Show(CounterField::kWithoutIcon, counters.withoutIcon, shown_.withoutIcon, false);
  Show(CounterField::kCreated, counters.created, shown_.created, false);
  Show(CounterField::kErrors, counters.errors, shown_.errors, true);
  progress_.ShowPosition(counters.processed, counters.toProcess);
}

}  // namespace zx
