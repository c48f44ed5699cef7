#include "convert/conversion_worker_win.h"

#include <memory>
#include <vector>

#include "app/module_template_win.h"
#include "convert/conversion_log_lines.h"
#include "convert/conversion_rules.h"
#include "convert/conversion_text_file_win.h"
#include "convert/converter_table_win.h"
#include "convert/folder_scan_win.h"
#include "core/messages.h"
#include "core/ui_text_win.h"
#include "core/win_text.h"
#include "imaging/thread_services_win.h"
#include "ops/document_loading.h"
#include "ops/icon_document_ops.h"
#include "prefs/preference_store_win.h"

namespace zx {
namespace {

void PostEvent(const ConversionJob& job, WPARAM event) {
  if (job.notifyWindow) PostMessageW(static_cast<HWND>(job.notifyWindow), kConversionEventMessage, event, 0);
}

// The run's log: each problem is written (when the file could be created),
// counted under errors unless it is the no-icon notice, and cleared.
class ConversionLog {
 public:
  ConversionLog(ThreadContext& ctx, CounterDisplay& display) : ctx_(ctx), display_(display) {}

  ConversionTextFile file;

  void WriteLine(const std::u16string& line) {
    if (file.open()) file.WriteLine(line);
  }
  void LogProblem(const std::u16string& sourcePath) {
    for (const std::u16string& line :
         ConversionProblemLines(UiTextLookup(), ctx_.language, sourcePath, ctx_.error)) {
      WriteLine(line);
    }
    if (ErrorMessage(ctx_.error) != kMsgNoIcon) ++display_.counters.errors;
    ctx_.error = 0;
  }

 private:
  ThreadContext& ctx_;
  CounterDisplay& display_;
};

// Converts one opened document to every wanted target, in the fixed order.
// False when a cancellation stopped it.
bool ConvertTargets(ThreadContext& ctx, ConversionJob& job, IconDocument& doc,
                    const std::u16string& source, const std::vector<uint8_t>& moduleTemplate,
                    const int64_t templateError, ConversionLog& log, CounterDisplay& display) {
  const ContainerKind container = doc.container;
  for (ConversionTarget target : kConversionTargetOrder) {
    if (!job.Wants(target)) continue;
    if (job.cancelRequested) return false;
    const std::u16string output =
        MakeOutputPath(job.destinationFolder, source, target, PathKindOnDisk);
    const bool known = container == kContainerPe || container == kContainerNe ||
                       container == kContainerIco;
    if (!known) {
      Fail(ctx, kMsgBadImageFormat, 0);
      log.LogProblem(source);
    } else if (SourceAccepted(job.acceptedSources, container, doc.extensionKind)) {
      const bool needsTemplate = target == ConversionTarget::kPeDll || target == ConversionTarget::kPeIcl;
      int converted = 0;
      if (output.empty()) {
        converted = Fail(ctx, kMsgFileCreate, 722);
      } else if (needsTemplate && moduleTemplate.empty()) {
        ctx.error = templateError;
      } else {
        converted = ConvertDocument(ctx, doc, SaveCommandOf(target, job.ModeOf(target)), output,
                                    moduleTemplate);
      }
      if (!converted) log.LogProblem(source);
      if (!output.empty() && PathKindOnDisk(output) == PathKind::kFile) ++display.counters.created;
    }
    ctx.error = 0;
    if (target != ConversionTarget::kPeIcl) Sleep(1);
  }
  return true;
}

// Opens each path of the work list in turn and converts it.
void ConvertWorkList(ThreadContext& ctx, ConversionJob& job, ConversionTextFile& workList,
                     ConversionLog& log, CounterDisplay& display) {
  std::vector<uint8_t> moduleTemplate;
  int64_t templateError = 0;
  if (!LoadModuleTemplate(ctx, moduleTemplate)) {
    templateError = ctx.error;
    moduleTemplate.clear();
  }
  ctx.error = 0;
  IconDocument doc;
  std::u16string source;
  while (workList.ReadLine(source)) {
    ctx.error = 0;
    LoadIconDocument(ctx, doc, source);
    ++display.counters.processed;
    bool go = true;
    if (doc.iconCount == 0) {
      // Unreadable or icon-less alike: a notice, never an error.
      Fail(ctx, kMsgNoIcon, 0);
      log.LogProblem(source);
      ++display.counters.withoutIcon;
      go = !job.cancelRequested;
    } else {
      go = ConvertTargets(ctx, job, doc, source, moduleTemplate, templateError, log, display);
    }
    // What opening and converting this file took is given back before the next.
    CloseDocument(ctx, &doc);
    ClearDocument(ctx, doc);
    ctx.blocks.ReleaseAll();
    ctx.error = 0;
    display.ShowChanged();
    if (!go) break;
    Sleep(1);
  }
}

DWORD WINAPI ConversionWorkerMain(void* argument);

struct WorkerStart {
  ConversionJob* job;
  ConversionProgress* progress;
};

}  // namespace

void RunConversion(ThreadContext& ctx, ConversionJob& job, CounterDisplay& display) {
  job.cancelRequested = false;
  ScratchStreamRegistry* streams = ScratchStreamsOf(ctx);
  GdiplusLibrary* gdiplus = GdiplusOf(ctx);
  if (!gdiplus || !ResolveGdiplus(*gdiplus)) {
    display.progress().Hide();
    PostEvent(job, kConversionNotStarted);
    if (gdiplus) {
      gdiplus->ready = false;
      gdiplus->module.Reset();
    }
    Fail(ctx, kMsgGdiplusInit, 9);
    display.progress().ReportRunError(ctx);
    return;
  }

  display.counters = ConversionCounters();
  display.counters.toProcess = static_cast<int64_t>(job.fileQueue.size());
  display.ShowAll();

  ConversionLog log(ctx, display);
  ConversionTextFile workList;
  if (!job.fileQueue.empty()) {
    const std::u16string header = ConversionHeaderLine(UiTextLookup(), ctx.language, ArchitectureTag());
    const bool folder = EnsurePreferenceFolder(ctx, ctx.preferenceFolder, 723) != 0;
    ctx.error = 0;
    if (folder && log.file.Create(ctx.preferenceFolder + kConversionLogName)) {
      log.WriteLine(header);
      log.WriteLine(u"");
    }
    uint64_t start = 0;
    bool listed = folder && workList.Create(ctx.preferenceFolder + kWorkListFileName) &&
                  workList.WriteLine(header) && workList.WriteLine(u"") && workList.Position(start);
    for (size_t n = 0; listed && n < job.fileQueue.size(); ++n) listed = workList.WriteLine(job.fileQueue[n]);
    if (listed && workList.MoveTo(start)) {
      // A storage failure of a scratch stream goes into the log before its error.
      if (streams) {
        streams->counter = 0;
        streams->conversionLog = [&log](const std::u16string& line) { log.WriteLine(line); };
      }
      ConvertWorkList(ctx, job, workList, log, display);
      if (streams) streams->conversionLog = nullptr;
    }
  }

  workList.Close();
  log.file.Close();
  display.ShowChanged();
  display.progress().LayOutSummary();
  job.Clear();
  gdiplus->ready = false;
  gdiplus->module.Reset();
  ctx.blocks.ReleaseAll();
  PostEvent(job, kConversionFinished);
}

namespace {

DWORD WINAPI ConversionWorkerMain(void* argument) {
  std::unique_ptr<WorkerStart> start(static_cast<WorkerStart*>(argument));
  ConversionJob& job = *start->job;
  const HRESULT com = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
  {
    ThreadContext ctx;
    ctx.language = job.language;
    ctx.preferenceFolder = job.preferenceFolder;
    ThreadServices services(ctx, ThreadRole::kConversion);
    CounterDisplay display(*start->progress);
    bool scanned = true;
    if (job.mode == ConversionMode::kTree && !ScanItems(ctx, job, display)) {
      scanned = false;
      PostEvent(job, kConversionNotStarted);
      display.progress().ReportRunError(ctx);
    }
    if (scanned) RunConversion(ctx, job, display);
  }
  if (SUCCEEDED(com)) CoUninitialize();
  return 0;
}

}  // namespace

int StartConversion(ConversionJob& job, ConversionProgress& progress, UniqueHandle& worker) {
  auto start = std::make_unique<WorkerStart>(WorkerStart{&job, &progress});
  worker.Reset(CreateThread(nullptr, 0, ConversionWorkerMain, start.get(), CREATE_SUSPENDED, nullptr));
  if (!worker) return 0;
  start.release();
  SetThreadPriority(worker.get(), THREAD_PRIORITY_HIGHEST);
  ResumeThread(worker.get());
  return 1;
}

}  // namespace zx
