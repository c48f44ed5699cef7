#include "convert/conversion_job.h"

#include <new>

namespace zx {

int ConversionPathList::Append(const std::u16string& path) {
  if (paths_.size() >= limit) return 0;
  // The one place a failed allocation is turned into a result: a queue that
  // cannot grow is a reported condition of the run, not a crash.
  try {
    paths_.push_back(path);
  } catch (const std::bad_alloc&) {
    return 0;
  }
  return 1;
}

bool ConversionJob::Wants(ConversionTarget target) const {
  switch (target) {
    case ConversionTarget::kIco: return icoTarget;
    case ConversionTarget::kNeIcl: return neIclTarget;
    case ConversionTarget::kPeDll: return dllTarget;
    case ConversionTarget::kPeIcl: return peIclTarget;
  }
  return false;
}

int ConversionJob::ModeOf(ConversionTarget target) const {
  switch (target) {
    case ConversionTarget::kIco: return icoMode;
    case ConversionTarget::kNeIcl: return neIclMode;
    case ConversionTarget::kPeDll: return dllMode;
    case ConversionTarget::kPeIcl: return peIclMode;
  }
  return kVistaKeep;
}

void ConversionJob::Clear() {
  sourceFolder.clear();
  destinationFolder.clear();
  pattern.clear();
  icoTarget = neIclTarget = peIclTarget = dllTarget = false;
  acceptedSources.clear();
  chosenItems.Clear();
  fileQueue.Clear();
}

}  // namespace zx
