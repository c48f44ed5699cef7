// Batch conversions run for real on the conversion worker's thread: small
// .ico files and libraries made here, converted to the four targets, with
// the counters, the numbering, the log and the work list checked.
#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>
#include <functional>
#include <string>
#include <vector>

#include "app/module_template_win.h"
#include "convert/conversion_rules.h"
#include "convert/conversion_text_file_win.h"
#include "convert/conversion_worker_win.h"
#include "convert/converter_table_win.h"
#include "core/messages.h"
#include "core/utf8.h"
#include "core/win_text.h"
#include "imaging/thread_services_win.h"
#include "ops/document_loading.h"
#include "ops/icon_document_ops.h"
#include "ops/icon_writers_win.h"
#include "prefs/preference_store_win.h"
#include "support/writer_fixture.h"
#include "wine/wine_support.h"

namespace zx {
namespace {

using testing::DescribedIcoFile;
using testing::PatternedDib;
using testing::ReadFileBytes;
using testing::TempFolder;

std::vector<uint8_t> SmallIco(uint8_t seed) {
  return DescribedIcoFile({PatternedDib(16, 16, 32, seed), PatternedDib(32, 32, 8, seed)});
}

// Records what the worker shows; a hook may act on a counter (to cancel).
class RecordingProgress final : public ConversionProgress {
 public:
  void ShowCounter(CounterField field, int64_t value) override {
    values[static_cast<int>(field)] = value;
    if (onCounter) onCounter(field, value);
  }
  void ShowPosition(int64_t position, int64_t range) override {
    lastPosition = position;
    lastRange = range;
  }
  void LayOutSummary() override { summary = true; }
  void Hide() override { hidden = true; }
  void ReportRunError(ThreadContext& ctx) override {
    reported = ctx.error;
    ctx.error = 0;
  }
  int64_t Value(CounterField field) const { return values[static_cast<int>(field)]; }

  int64_t values[6] = {-1, -1, -1, -1, -1, -1};
  int64_t lastPosition = -1;
  int64_t lastRange = -1;
  bool summary = false;
  bool hidden = false;
  int64_t reported = 0;
  std::function<void(CounterField, int64_t)> onCounter;
};

// A conversion set up in temporary folders: sources, destination and the
// preference folder that receives the log and the work list.
class ConversionRun {
 public:
  ConversionRun() {
    job.preferenceFolder = prefs.path();
    job.destinationFolder = dest.path();
    job.language = kLangEnglish;
    job.notifyWindow = window.get();
  }

  // Starts the worker, waits for it and returns the event it posted (0 for none).
  WPARAM Run() {
    UniqueHandle worker;
    if (!StartConversion(job, progress, worker)) return 0;
    EXPECT_EQ(GetThreadPriority(worker.get()), THREAD_PRIORITY_HIGHEST);
    EXPECT_EQ(WaitForSingleObject(worker.get(), 300000), WAIT_OBJECT_0);
    return TakeEvent();
  }

  // The event posted to the job's window since the last call (0 for none).
  WPARAM TakeEvent() {
    WPARAM event = 0;
    MSG message;
    while (PeekMessageW(&message, window.get(), kConversionEventMessage, kConversionEventMessage, PM_REMOVE)) {
      EXPECT_EQ(event, 0u) << "one event per run";
      event = message.wParam;
    }
    return event;
  }

  int64_t Count(CounterField field) const { return progress.Value(field); }
  std::vector<std::u16string> LogLines() const { return Lines(prefs.path() + kConversionLogName); }
  std::vector<std::u16string> WorkListLines() const { return Lines(prefs.path() + kWorkListFileName); }

  static std::vector<std::u16string> Lines(const std::u16string& path) {
    const std::vector<uint8_t> bytes = ReadFileBytes(path);
    std::string text(bytes.begin(), bytes.end());
    std::vector<std::u16string> lines;
    size_t at = 0;
    while (at < text.size()) {
      const size_t end = text.find("\r\n", at);
      EXPECT_NE(end, std::string::npos) << "every line ends with CR LF";
      if (end == std::string::npos) break;
      lines.push_back(FromUtf8(text.substr(at, end - at)));
      at = end + 2;
    }
    return lines;
  }

  UniqueWindow window{CreateWindowExW(0, L"STATIC", L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                                      GetModuleHandleW(nullptr), nullptr)};
  TempFolder prefs;
  TempFolder source;
  TempFolder dest;
  ConversionJob job;
  RecordingProgress progress;
};

const std::u16string kHeader = u"Conversion  (x64)";

bool Exists(const std::u16string& path) { return PathKindOnDisk(path) == PathKind::kFile; }

// Writes `ico` as a library of the given target, through the save-as writers.
bool WriteLibraryFromIco(const std::u16string& ico, SaveTarget target, const std::u16string& path) {
  ThreadContext ctx;
  ThreadServices services(ctx);
  std::vector<uint8_t> moduleTemplate;
  IconDocument doc;
  const bool ok = LoadModuleTemplate(ctx, moduleTemplate) && LoadIconDocument(ctx, doc, ico) &&
                  WriteSelectionAs(ctx, doc, target, kVistaKeep, {1, 2}, true, path, moduleTemplate);
  CloseDocument(ctx, &doc);
  return ok;
}

TEST(ConversionWorker, ProcessesEveryFileOfALargeTree) {
  ConversionRun run;
  constexpr int kFiles = 1003;
  for (int n = 0; n < kFiles; ++n) {
    run.source.Write(u"icon" + FromUtf8(std::to_string(n)) + u".ico", SmallIco(static_cast<uint8_t>(n)));
  }
  run.job.mode = ConversionMode::kTree;
  run.job.pattern = u"*.ico";
  run.job.acceptedSources = {1058};
  run.job.icoTarget = true;
  run.job.chosenItems.Append(run.source.path());
  ASSERT_EQ(run.Run(), kConversionFinished);
  EXPECT_EQ(run.Count(CounterField::kToProcess), kFiles);
  EXPECT_EQ(run.Count(CounterField::kProcessed), kFiles);
  EXPECT_EQ(run.Count(CounterField::kRemaining), 0);
  EXPECT_EQ(run.Count(CounterField::kCreated), kFiles);
  EXPECT_EQ(run.Count(CounterField::kErrors), 0);
  EXPECT_EQ(run.progress.lastPosition, kFiles);
  EXPECT_TRUE(run.progress.summary);
  for (int n = 0; n < kFiles; ++n) {
    EXPECT_TRUE(Exists(run.dest.path() + u"icon" + FromUtf8(std::to_string(n)) + u".ico")) << n;
  }
  const std::vector<std::u16string> list = run.WorkListLines();
  ASSERT_EQ(list.size(), kFiles + 2u);
  EXPECT_EQ(list[0], kHeader);
  EXPECT_EQ(list[1], u"");
  EXPECT_EQ(run.LogLines(), (std::vector<std::u16string>{kHeader, u""}));
  // The job belongs to the worker until the end, which empties it.
  EXPECT_TRUE(run.job.fileQueue.empty());
  EXPECT_TRUE(run.job.chosenItems.empty());
}

TEST(ConversionWorker, AFolderChosenWithItsSubfolderConvertsTheSubfolderTwice) {
  ConversionRun run;
  run.source.Write(u"top.ico", SmallIco(1));
  CreateDirectoryW(Wide(run.source.path() + u"sub"), nullptr);
  run.source.Write(u"sub\\inner.ico", SmallIco(2));
  run.source.Write(u"sub\\noextension", SmallIco(3));
  run.job.mode = ConversionMode::kTree;
  run.job.pattern = u"*.ico";
  run.job.acceptedSources = {1058};
  run.job.icoTarget = true;
  run.job.neIclTarget = true;
  run.job.chosenItems.Append(run.source.path());
  run.job.chosenItems.Append(run.source.path() + u"sub");
  ASSERT_EQ(run.Run(), kConversionFinished);
  EXPECT_EQ(run.Count(CounterField::kToProcess), 3);
  EXPECT_EQ(run.Count(CounterField::kCreated), 6);
  for (const char16_t* name : {u"top.ico", u"inner.ico", u"inner_1.ico", u"top_Icl_NE.icl",
                               u"inner_Icl_NE.icl", u"inner_Icl_NE_1.icl"}) {
    EXPECT_TRUE(Exists(run.dest.path() + name)) << ToUtf8(name);
  }
  const std::vector<std::u16string> list = run.WorkListLines();
  ASSERT_EQ(list.size(), 5u);
  EXPECT_EQ(std::count(list.begin(), list.end(), run.source.path() + u"sub\\inner.ico"), 2);
  // The file without an extension was never queued.
  EXPECT_EQ(std::count(list.begin(), list.end(), run.source.path() + u"sub\\noextension"), 0);
}

TEST(ConversionWorker, AnExistingTargetIsNumberedAroundAndNeverOverwritten) {
  ConversionRun run;
  const std::u16string ico = run.source.Write(u"lib.ico", SmallIco(4));
  const std::u16string library = run.source.path() + u"lib.icl";
  ASSERT_TRUE(WriteLibraryFromIco(ico, SaveTarget::kPeIcl, library));
  const std::vector<uint8_t> existing(100, 0x5A);
  run.dest.Write(u"lib.icl", existing);
  run.job.acceptedSources = {1052};
  run.job.peIclTarget = true;
  run.job.fileQueue.Append(library);
  ASSERT_EQ(run.Run(), kConversionFinished);
  EXPECT_EQ(run.Count(CounterField::kCreated), 1);
  EXPECT_EQ(run.Count(CounterField::kErrors), 0);
  EXPECT_EQ(ReadFileBytes(run.dest.path() + u"lib.icl"), existing);
  ThreadContext ctx;
  ThreadServices services(ctx);
  IconDocument doc;
  ASSERT_TRUE(LoadIconDocument(ctx, doc, run.dest.path() + u"lib_1.icl"));
  EXPECT_EQ(doc.container, kContainerPe);
  EXPECT_EQ(doc.groupCount, 2);
  CloseDocument(ctx, &doc);
}

// Files the boxes do not accept are processed but give nothing and log nothing.
TEST(ConversionWorker, FilesOfAnUncheckedKindAreProcessedSilently) {
  ConversionRun run;
  const std::u16string ico = run.source.Write(u"seed.ico", SmallIco(5));
  ASSERT_TRUE(WriteLibraryFromIco(ico, SaveTarget::kPeDll, run.source.path() + u"x.dll"));
  ASSERT_TRUE(MoveFileW(Wide(run.source.path() + u"x.dll"), Wide(run.source.path() + u"x.dl")));
  ASSERT_TRUE(WriteLibraryFromIco(ico, SaveTarget::kNeIcl, run.source.path() + u"old16.dll"));
  DeleteFileW(Wide(ico));
  run.job.mode = ConversionMode::kTree;
  run.job.pattern = u"*.dll";
  run.job.acceptedSources = {1048};
  run.job.icoTarget = run.job.neIclTarget = run.job.dllTarget = run.job.peIclTarget = true;
  run.job.chosenItems.Append(run.source.path());
  ASSERT_EQ(run.Run(), kConversionFinished);
  // x.dl is taken under *.dll (its extension occurs in the pattern) but its
  // extension kind is "other"; the 16-bit .dll needs the NE dll box.
  EXPECT_EQ(run.Count(CounterField::kToProcess), 2);
  EXPECT_EQ(run.Count(CounterField::kProcessed), 2);
  EXPECT_EQ(run.Count(CounterField::kCreated), 0);
  EXPECT_EQ(run.Count(CounterField::kWithoutIcon), 0);
  EXPECT_EQ(run.Count(CounterField::kErrors), 0);
  EXPECT_EQ(run.LogLines(), (std::vector<std::u16string>{kHeader, u""}));
}

TEST(ConversionWorker, UnreadableAndIconlessFilesAreNoticesNotErrors) {
  ConversionRun run;
  const std::u16string junk = run.source.Write(u"junk.ico", std::vector<uint8_t>(64, 'j'));
  const std::u16string empty = run.source.Write(u"empty.dll", {});
  const std::u16string missing = run.source.path() + u"gone.ico";
  run.job.acceptedSources = {1048, 1058};
  run.job.icoTarget = true;
  for (const std::u16string& path : {junk, empty, missing}) run.job.fileQueue.Append(path);
  ASSERT_EQ(run.Run(), kConversionFinished);
  EXPECT_EQ(run.Count(CounterField::kProcessed), 3);
  EXPECT_EQ(run.Count(CounterField::kWithoutIcon), 3);
  EXPECT_EQ(run.Count(CounterField::kErrors), 0);
  EXPECT_EQ(run.Count(CounterField::kCreated), 0);
  const std::u16string info = u"Info : The file has no icon";
  EXPECT_EQ(run.LogLines(), (std::vector<std::u16string>{kHeader, u"", junk, info, u"", empty, info, u"",
                                                         missing, info, u""}));
  // UTF-8 without a byte-order mark.
  EXPECT_EQ(ReadFileBytes(run.prefs.path() + kConversionLogName)[0], 'C');
}

TEST(ConversionWorker, CancellingStopsBeforeTheNextTargetAndEndsNormally) {
  ConversionRun run;
  for (const char16_t* name : {u"a.ico", u"b.ico", u"c.ico"}) {
    run.job.fileQueue.Append(run.source.Write(name, SmallIco(6)));
  }
  run.job.acceptedSources = {1058};
  run.job.icoTarget = run.job.dllTarget = true;
  // The first file's counters are shown once both of its targets are done.
  run.progress.onCounter = [&](CounterField field, int64_t value) {
    if (field == CounterField::kProcessed && value == 1) run.job.cancelRequested = true;
  };
  ASSERT_EQ(run.Run(), kConversionFinished);
  EXPECT_TRUE(run.progress.summary);
  EXPECT_EQ(run.Count(CounterField::kProcessed), 2);
  EXPECT_EQ(run.Count(CounterField::kCreated), 2);
  EXPECT_TRUE(Exists(run.dest.path() + u"a.ico"));
  EXPECT_TRUE(Exists(run.dest.path() + u"a.dll"));
  EXPECT_FALSE(Exists(run.dest.path() + u"b.ico"));
  EXPECT_FALSE(Exists(run.dest.path() + u"c.ico"));
  // Both files are closed: they can be replaced at once.
  ConversionTextFile again;
  EXPECT_TRUE(again.Create(run.prefs.path() + kConversionLogName));
  EXPECT_TRUE(again.Create(run.prefs.path() + kWorkListFileName));
}

TEST(ConversionWorker, AFolderInTheWayOfTheFirstCandidateIsAnError) {
  ConversionRun run;
  const std::u16string a = run.source.Write(u"a.ico", SmallIco(7));
  CreateDirectoryW(Wide(run.dest.path() + u"a.ico"), nullptr);
  run.job.acceptedSources = {1058};
  run.job.icoTarget = true;
  run.job.fileQueue.Append(a);
  ASSERT_EQ(run.Run(), kConversionFinished);
  EXPECT_EQ(run.Count(CounterField::kErrors), 1);
  EXPECT_EQ(run.Count(CounterField::kCreated), 0);
  EXPECT_FALSE(Exists(run.dest.path() + u"a_1.ico"));
  EXPECT_EQ(PathKindOnDisk(run.dest.path() + u"a.ico"), PathKind::kFolder);
  const std::vector<std::u16string> log = run.LogLines();
  ASSERT_EQ(log.size(), 5u);
  EXPECT_EQ(log[2], a);
  EXPECT_EQ(log[3], u"Unable to create file [system error] (Error 24 / Sub Error 650)");
  EXPECT_EQ(log[4], u"");
}

FILETIME Written(const std::u16string& path, FILETIME* created = nullptr) {
  WIN32_FILE_ATTRIBUTE_DATA data{};
  GetFileAttributesExW(Wide(path), GetFileExInfoStandard, &data);
  if (created) *created = data.ftCreationTime;
  return data.ftLastWriteTime;
}

TEST(ConversionWorker, AnIcoKeptAsIcoIsAByteCopyWithFreshTimes) {
  ConversionRun run;
  const std::vector<uint8_t> bytes = SmallIco(8);
  const std::u16string a = run.source.Write(u"old.ico", bytes);
  {
    UniqueHandle file(CreateFileW(Wide(a), FILE_WRITE_ATTRIBUTES, 0, nullptr, OPEN_EXISTING, 0, nullptr));
    SYSTEMTIME old = {2001, 1, 1, 1, 0, 0, 0, 0};
    FILETIME time;
    SystemTimeToFileTime(&old, &time);
    ASSERT_TRUE(SetFileTime(file.get(), &time, &time, &time));
  }
  SetFileAttributesW(Wide(a), FILE_ATTRIBUTE_READONLY);
  run.job.acceptedSources = {1058};
  run.job.icoTarget = true;
  run.job.fileQueue.Append(a);
  ASSERT_EQ(run.Run(), kConversionFinished);
  const std::u16string out = run.dest.path() + u"old.ico";
  EXPECT_EQ(ReadFileBytes(out), bytes);
  FILETIME now;
  GetSystemTimeAsFileTime(&now);
  FILETIME created;
  const FILETIME written = Written(out, &created);
  const auto ticks = [](FILETIME t) { return (static_cast<uint64_t>(t.dwHighDateTime) << 32) | t.dwLowDateTime; };
  constexpr uint64_t kMinute = 60ull * 10000000ull;
  EXPECT_LT(ticks(now) - ticks(written), kMinute);
  EXPECT_LT(ticks(now) - ticks(created), kMinute);
  EXPECT_EQ(GetFileAttributesW(Wide(out)), static_cast<DWORD>(FILE_ATTRIBUTE_ARCHIVE));
}

TEST(ConversionWorker, AQueueThatCannotGrowConvertsNothing) {
  ConversionRun run;
  run.source.Write(u"a.ico", SmallIco(9));
  run.source.Write(u"b.ico", SmallIco(10));
  const struct {
    bool folder;
    int site;
  } cases[] = {{true, 125}, {false, 126}};
  for (const auto& c : cases) {
    ConversionRun again;
    again.job.mode = ConversionMode::kTree;
    again.job.pattern = u"*.ico";
    again.job.acceptedSources = {1058};
    again.job.icoTarget = true;
    again.job.fileQueue.limit = 1;
    if (c.folder) {
      again.job.chosenItems.Append(run.source.path());
    } else {
      again.job.chosenItems.Append(run.source.path() + u"a.ico");
      again.job.chosenItems.Append(run.source.path() + u"b.ico");
    }
    EXPECT_EQ(again.Run(), kConversionNotStarted);
    EXPECT_EQ(again.progress.reported, MakeError(kMsgNoMemory, c.site));
    EXPECT_TRUE(again.job.fileQueue.empty());
    EXPECT_TRUE(again.job.chosenItems.empty());
    EXPECT_FALSE(Exists(again.dest.path() + u"a.ico"));
    EXPECT_FALSE(Exists(again.prefs.path() + kWorkListFileName));
  }
}

TEST(ConversionWorker, AnEmptyQueueFinishesAtOnceWithZeros) {
  ConversionRun run;
  run.job.icoTarget = true;
  ASSERT_EQ(run.Run(), kConversionFinished);
  EXPECT_EQ(run.Count(CounterField::kToProcess), 0);
  EXPECT_EQ(run.Count(CounterField::kCreated), 0);
  EXPECT_FALSE(Exists(run.prefs.path() + kConversionLogName));
}

// Run on the test's thread with a GDI+ library that lacks the entry points.
TEST(ConversionWorker, MissingGdiplusFunctionsTouchNoFile) {
  ConversionRun run;
  const std::u16string a = run.source.Write(u"a.ico", SmallIco(12));
  run.job.acceptedSources = {1058};
  run.job.icoTarget = true;
  run.job.fileQueue.Append(a);
  ThreadContext ctx;
  ctx.preferenceFolder = run.prefs.path();
  ThreadServices services(ctx, ThreadRole::kConversion);
  services.gdiplus().module.Reset(LoadLibraryW(L"kernel32.dll"));
  CounterDisplay display(run.progress);
  RunConversion(ctx, run.job, display);
  EXPECT_EQ(run.TakeEvent(), kConversionNotStarted);
  EXPECT_TRUE(run.progress.hidden);
  EXPECT_FALSE(run.progress.summary);
  EXPECT_EQ(run.progress.reported, MakeError(kMsgGdiplusInit, 9));
  EXPECT_FALSE(services.gdiplus().module.valid());
  EXPECT_FALSE(Exists(run.dest.path() + u"a.ico"));
  EXPECT_FALSE(Exists(run.prefs.path() + kWorkListFileName));
  EXPECT_FALSE(Exists(run.prefs.path() + kConversionLogName));
}

TEST(ConvertDocument, RefusesACodeThatIsNoSaveCommand) {
  TempFolder folder;
  ThreadContext ctx;
  ThreadServices services(ctx, ThreadRole::kConversion);
  IconDocument doc;
  ASSERT_TRUE(LoadIconDocument(ctx, doc, folder.Write(u"a.ico", SmallIco(11))));
  for (int code : {13, 22, 0}) {
    EXPECT_EQ(ConvertDocument(ctx, doc, code, folder.path() + u"out.ico", {}), 0);
    EXPECT_EQ(ErrorMessage(ctx.error), kMsgInternalError);
    EXPECT_FALSE(Exists(folder.path() + u"out.ico"));
  }
  CloseDocument(ctx, &doc);
}

}  // namespace
}  // namespace zx
