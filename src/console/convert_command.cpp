#include "console/convert_command.h"

#include <windows.h>

#include <atomic>
#include <cstdio>

#include "console/console_output.h"
#include "console/command_arguments.h"
#include "console/error_text.h"
#include "convert/conversion_rules.h"
#include "convert/conversion_text_file_win.h"
#include "convert/conversion_worker_win.h"
#include "core/error_report_win.h"
#include "core/ui_text_win.h"
#include "core/utf8.h"
#include "core/win_text.h"
#include "prefs/preference_store_win.h"

namespace zx {
namespace {

bool Usage(const std::string& text) {
  WriteErr("zorvexc convert: " + text + " (see zorvexc --help)\n");
  return false;
}

// Comma-separated words.
std::vector<std::u16string> Words(const std::u16string& list) {
  std::vector<std::u16string> words;
  size_t at = 0;
  while (at <= list.size()) {
    const size_t comma = std::min(list.find(u',', at), list.size());
    words.push_back(list.substr(at, comma - at));
    at = comma + 1;
  }
  return words;
}

bool ParseTargets(const std::u16string& list, ConversionJob& job) {
  for (const std::u16string& word : Words(list)) {
    if (word == u"ico") {
      job.icoTarget = true;
    } else if (word == u"icl-ne") {
      job.neIclTarget = true;
    } else if (word == u"icl-pe") {
      job.peIclTarget = true;
    } else if (word == u"dll") {
      job.dllTarget = true;
    } else if (word == u"all") {
      job.icoTarget = job.neIclTarget = job.peIclTarget = job.dllTarget = true;
    } else {
      return Usage("--to takes ico, icl-ne, icl-pe, dll or all, separated by commas");
    }
  }
  return true;
}

struct SourceName {
  const char16_t* name;
  int box;
};
constexpr SourceName kSourceNames[] = {
    {u"pe-cpl", 1047}, {u"pe-dll", 1048}, {u"pe-drv", 1049}, {u"pe-exe", 1050},
    {u"pe-icl", 1052}, {u"pe-ocx", 1053}, {u"pe-scr", 1054}, {u"ne-dll", 1055},
    {u"ne-exe", 1056}, {u"ne-icl", 1057}, {u"ico", 1058},
};

bool ParseSources(const std::u16string& list, AcceptedSources& sources) {
  for (const std::u16string& word : Words(list)) {
    bool known = false;
    for (const SourceName& source : kSourceNames) {
      if (word == source.name || word == u"all") {
        sources.push_back(source.box);
        known = true;
      }
    }
    if (!known) {
      return Usage("--sources takes pe-cpl, pe-dll, pe-drv, pe-exe, pe-icl, pe-ocx, pe-scr, "
                   "ne-dll, ne-exe, ne-icl, ico or all, separated by commas");
    }
  }
  return true;
}

struct ConvertRequest {
  bool recursive = false;
  int mode = kVistaKeep;
  std::u16string destination;
  std::vector<std::u16string> sources;
};

bool ParseArguments(const std::vector<std::u16string>& args, ConversionJob& job, ConvertRequest& request) {
  bool targets = false;
  bool sourcesGiven = false;
  for (size_t i = 0; i < args.size(); ++i) {
    const std::u16string& a = args[i];
    const bool hasValue = i + 1 < args.size();
    if (a == u"--to" && hasValue) {
      if (!ParseTargets(args[++i], job)) return false;
      targets = true;
    } else if (a == u"--sources" && hasValue) {
      if (!ParseSources(args[++i], job.acceptedSources)) return false;
      sourcesGiven = true;
    } else if (a == u"--uncompress") {
      request.mode = kVistaUncompress;
    } else if (a == u"--recursive") {
      request.recursive = true;
    } else if (a == u"-o" && hasValue) {
      request.destination = args[++i];
    } else if (!a.empty() && a[0] == u'-') {
      return Usage("unknown or incomplete option " + ToUtf8(a));
    } else {
      request.sources.push_back(a);
    }
  }
  if (!targets || request.destination.empty() || request.sources.empty()) {
    return Usage("--to, -o DEST and at least one SOURCE are needed");
  }
  if (!sourcesGiven) ParseSources(u"all", job.acceptedSources);
  return true;
}

// Fills the job's folders and lists from the request; false with a message
// for a destination that is no folder or a source that does not exist.
bool FillJob(const ConvertRequest& request, ConversionJob& job) {
  std::u16string destination = FullPath(request.destination);
  if (PathKindOnDisk(destination) != PathKind::kFolder) {
    return Usage(ToUtf8(request.destination) + " is not an existing folder");
  }
  if (destination.back() != u'\\') destination += u'\\';
  job.destinationFolder = destination;
  job.icoMode = job.neIclMode = job.peIclMode = job.dllMode = request.mode;
  job.pattern = PatternOfSources(job.acceptedSources);
  job.mode = request.recursive ? ConversionMode::kTree : ConversionMode::kFiles;
  for (const std::u16string& source : request.sources) {
    const std::u16string full = FullPath(source);
    const PathKind kind = PathKindOnDisk(full);
    if (kind == PathKind::kMissing) return Usage(ToUtf8(source) + " does not exist");
    if (kind == PathKind::kFolder && !request.recursive) {
      return Usage(ToUtf8(source) + " is a folder (use --recursive)");
    }
    const bool added = request.recursive ? job.chosenItems.Append(full) : job.fileQueue.Append(full);
    if (!added) return Usage("too many sources");
    if (job.sourceFolder.empty()) {
      job.sourceFolder = full.substr(0, full.find_last_of(u'\\') + 1);
    }
  }
  return true;
}

std::string Decimal(int64_t value) { return std::to_string(value); }

// The progress line: redrawn in place on a terminal, plain lines (at most
// one a second) otherwise. Called from the worker's thread.
class ConsoleProgress final : public ConversionProgress {
 public:
  explicit ConsoleProgress(int language) : language_(language) {
    DWORD mode = 0;
    const HANDLE out = GetStdHandle(STD_OUTPUT_HANDLE);
    terminal_ = GetConsoleMode(out, &mode) || GetFileType(out) == FILE_TYPE_CHAR;
    started_ = GetTickCount64();
  }

  void ShowCounter(CounterField field, int64_t value) override {
    values_[static_cast<int>(field)] = value;
  }
  void ShowPosition(int64_t, int64_t) override { Draw(false); }
  void LayOutSummary() override { Draw(true); }
  void ReportRunError(ThreadContext& ctx) override {
    WriteErr("zorvexc convert: " + ErrorLineText(ctx) + "\n");
    ctx.error = 0;
  }

  int64_t Value(CounterField field) const { return values_[static_cast<int>(field)]; }

  void PrintSummary() const {
    static constexpr int kLabels[6] = {17048, 17049, 17050, 17051, 17052, 17053};
    std::string text;
    for (int n = 0; n < 6; ++n) {
      text += ToUtf8(TrimSpaces(UiText(kLabels[n], language_))) + " " + Decimal(values_[n]) + "\n";
    }
    WriteOut(text);
  }

 private:
  void Draw(bool last) {
    const uint64_t now = GetTickCount64();
    const uint64_t interval = terminal_ ? 100 : 1000;
    if (!last && drawn_ != 0 && now - drawn_ < interval) return;
    drawn_ = now;
    const double seconds = static_cast<double>(now - started_) / 1000.0;
    const int64_t processed = Value(CounterField::kProcessed);
    char timing[64];
    std::snprintf(timing, sizeof timing, "%.1f s, %.1f files/s", seconds,
                  seconds > 0 ? static_cast<double>(processed) / seconds : 0.0);
    const std::string line = Decimal(processed) + " / " + Decimal(Value(CounterField::kToProcess)) +
                             " processed, " + Decimal(Value(CounterField::kCreated)) + " created, " +
                             Decimal(Value(CounterField::kWithoutIcon)) + " without icon, " +
                             Decimal(Value(CounterField::kErrors)) + " errors, " + timing;
    if (terminal_) {
      // Padding clears what a longer earlier line left.
      WriteOut("\r" + line + "    " + (last ? "\n" : ""));
    } else {
      WriteOut(line + "\n");
    }
  }

  int language_;
  bool terminal_ = false;
  uint64_t started_ = 0;
  uint64_t drawn_ = 0;
  int64_t values_[6] = {};
};

// Ctrl+C asks the worker to stop, as Escape does in the program.
std::atomic<ConversionJob*> g_cancellable{nullptr};

BOOL WINAPI RequestCancel(DWORD event) {
  if (event != CTRL_C_EVENT && event != CTRL_BREAK_EVENT) return FALSE;
  if (ConversionJob* job = g_cancellable.load()) job->cancelRequested = true;
  return TRUE;
}

// A window of no size that only receives the worker's events.
class EventWindow {
 public:
  EventWindow()
      : window_(CreateWindowExW(0, L"STATIC", L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                                GetModuleHandleW(nullptr), nullptr)) {}
  HWND get() const { return window_.get(); }

  // Waits for the end of the run: true when it finished, false when it
  // could not start.
  bool WaitForEnd() const {
    MSG message;
    while (GetMessageW(&message, nullptr, 0, 0) > 0) {
      if (message.message == kConversionEventMessage && message.hwnd == window_.get()) {
        return message.wParam == kConversionFinished;
      }
      DispatchMessageW(&message);
    }
    return false;
  }

 private:
  UniqueWindow window_;
};

}  // namespace

int RunConvertCommand(const std::vector<std::u16string>& args) {
  ConversionJob job;
  ConvertRequest request;
  if (!ParseArguments(args, job, request) || !FillJob(request, job)) return 2;
  ThreadContext ctx;
  SelectLanguage(ctx, 0);
  job.language = ctx.language;
  job.preferenceFolder = PreferenceFolder();

  EventWindow events;
  if (!events.get()) {
    WriteErr("zorvexc convert: no window for the worker's events\n");
    return 1;
  }
  job.notifyWindow = events.get();
  ConsoleProgress progress(ctx.language);
  g_cancellable = &job;
  SetConsoleCtrlHandler(RequestCancel, TRUE);
  UniqueHandle worker;
  bool finished = false;
  if (StartConversion(job, progress, worker)) {
    finished = events.WaitForEnd();
    WaitForSingleObject(worker.get(), INFINITE);
  } else {
    WriteErr("zorvexc convert: the conversion worker could not start\n");
  }
  SetConsoleCtrlHandler(RequestCancel, FALSE);
  g_cancellable = nullptr;
  if (!finished) return 1;

  progress.PrintSummary();
  if (job.cancelRequested) WriteOut("Stopped by Ctrl+C before the end of the run.\n");
  if (progress.Value(CounterField::kToProcess) > 0) {
    WriteOut("Log: " + ToUtf8(job.preferenceFolder + kConversionLogName) + "\n");
    WriteOut("Work list: " + ToUtf8(job.preferenceFolder + kWorkListFileName) + "\n");
  }
  return progress.Value(CounterField::kErrors) == 0 ? 0 : 1;
}

}  // namespace zx
