// What the conversion window hands to the conversion worker, and the lists
// and counters of one run. The window fills the job before the worker starts;
// from then on only the worker touches it, except for the cancel flag.
#pragma once

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <limits>
#include <string>
#include <vector>

#include "formats/png_unpacker.h"

namespace zx {

enum class ConversionMode { kFiles, kTree };

// The targets in the order the worker handles them for each file.
enum class ConversionTarget { kIco, kNeIcl, kPeDll, kPeIcl };
constexpr ConversionTarget kConversionTargetOrder[4] = {
    ConversionTarget::kIco, ConversionTarget::kNeIcl, ConversionTarget::kPeDll,
    ConversionTarget::kPeIcl};

// The checked source boxes (1047..1058) of the conversion window.
using AcceptedSources = std::vector<int>;

// An ordered list of full paths that keeps duplicates. Append fails instead
// of throwing when the list cannot grow; `limit` caps its size.
class ConversionPathList {
 public:
  int Append(const std::u16string& path);
  void Clear() { paths_.clear(); }
  size_t size() const { return paths_.size(); }
  bool empty() const { return paths_.empty(); }
  const std::u16string& operator[](size_t n) const { return paths_[n]; }
  std::vector<std::u16string>::const_iterator begin() const { return paths_.begin(); }
  std::vector<std::u16string>::const_iterator end() const { return paths_.end(); }

  size_t limit = std::numeric_limits<size_t>::max();

 private:
  std::vector<std::u16string> paths_;
};
// Folders and files chosen in tree mode, expanded by the worker.
using ChosenItems = ConversionPathList;
// The files the worker converts, in order.
using FileQueue = ConversionPathList;

struct ConversionCounters {
  int64_t toProcess = 0;
  int64_t processed = 0;
  int64_t remaining = 0;
  int64_t withoutIcon = 0;
  int64_t created = 0;
  int64_t errors = 0;
};

struct ConversionJob {
  ConversionMode mode = ConversionMode::kFiles;
  // Files mode: the folder of the chosen files, with its trailing "\".
  std::u16string sourceFolder;
  // With its trailing "\".
  std::u16string destinationFolder;
  // Tree mode: "*.cpl;*.dll" and so on.
  std::u16string pattern;
  bool icoTarget = false;
  bool neIclTarget = false;
  bool peIclTarget = false;
  bool dllTarget = false;
  int icoMode = kVistaKeep;
  int neIclMode = kVistaKeep;
  int peIclMode = kVistaKeep;
  int dllMode = kVistaKeep;

  AcceptedSources acceptedSources;
  ChosenItems chosenItems;
  FileQueue fileQueue;

  // The worker's own copies of the starting thread's language and preference
  // folder (with its trailing "\").
  int language = 2057;
  std::u16string preferenceFolder;
  // The window (an HWND) that receives the finished and not-started events.
  void* notifyWindow = nullptr;

  // Written by the user-interface thread, polled by the worker.
  std::atomic<bool> cancelRequested{false};

  bool Wants(ConversionTarget target) const;
  int ModeOf(ConversionTarget target) const;
  // Back to an empty job (lists emptied, no target); the window fields stay.
  void Clear();
};

}  // namespace zx
