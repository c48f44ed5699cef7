// Writing over an existing file: the new file is made beside it and takes
// its place in one step, so a write that fails, an update that is refused or
// a target that another process holds leaves the old file as it was.
#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <string>
#include <vector>

#include "app/module_template_win.h"
#include "core/messages.h"
#include "core/win_text.h"
#include "imaging/memory_stream.h"
#include "imaging/thread_services_win.h"
#include "ops/document_loading.h"
#include "ops/file_deletion_win.h"
#include "ops/file_output_win.h"
#include "ops/icon_document_ops.h"
#include "ops/icon_writers_win.h"
#include "support/writer_fixture.h"
#include "wine/wine_support.h"

namespace zx {
namespace {

using Bytes = std::vector<uint8_t>;
using namespace zx::testing;

FileOutputStage g_failing;

class SafeReplaceTest : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_EQ(LoadModuleTemplate(ctx, moduleTemplate), 1); }
  void TearDown() override {
    SetFileOutputFault(nullptr);
    CloseDocument(ctx, &doc);
  }
  int Save(SaveTarget target, const std::u16string& path, bool wholeFile = false) {
    ctx.error = 0;
    return WriteSelectionAs(ctx, doc, target, kVistaKeep, {1, 2}, wholeFile, path, moduleTemplate);
  }

  TempFolder folder;
  ThreadContext ctx;
  ThreadServices services{ctx};
  IconDocument doc;
  std::vector<uint8_t> moduleTemplate;
  const Bytes old = Bytes(300, 0x5A);
};

// Every save-as writer, with each stage of its write failing in turn.
TEST_F(SafeReplaceTest, FailedSaveKeepsTheOldTarget) {
  const std::u16string source = folder.Write(
      u"source.ico", DescribedIcoFile({PatternedDib(16, 16, 4, 1), PatternedDib(32, 32, 8, 2)}));
  ASSERT_EQ(LoadIconDocument(ctx, doc, source), 1) << ctx.error;
  struct Case {
    const char* what;
    SaveTarget target;
    const char16_t* name;
    bool wholeFile;
    FileOutputStage stage;
  };
  const Case cases[] = {
      {"ico cut short", SaveTarget::kIco, u"t.ico", false, FileOutputStage::kWrite},
      {"ico not replaced", SaveTarget::kIco, u"t.ico", false, FileOutputStage::kReplace},
      {"ico copy not replaced", SaveTarget::kIco, u"t.ico", true, FileOutputStage::kReplace},
      {"NE icl cut short", SaveTarget::kNeIcl, u"t.icl", false, FileOutputStage::kWrite},
      {"NE icl not replaced", SaveTarget::kNeIcl, u"t.icl", false, FileOutputStage::kReplace},
      {"dll update refused", SaveTarget::kPeDll, u"t.dll", false, FileOutputStage::kResourceUpdate},
      {"dll not replaced", SaveTarget::kPeDll, u"t.dll", false, FileOutputStage::kReplace},
      {"PE icl not replaced", SaveTarget::kPeIcl, u"t.icl", false, FileOutputStage::kReplace},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    const std::u16string target = folder.Write(c.name, old);
    ASSERT_TRUE(SetFileAttributesW(Wide(target), FILE_ATTRIBUTE_READONLY));
    const DWORD attributes = GetFileAttributesW(Wide(target));
    g_failing = c.stage;
    SetFileOutputFault([](FileOutputStage stage) { return stage == g_failing; });
    EXPECT_EQ(Save(c.target, target, c.wholeFile), 0);
    SetFileOutputFault(nullptr);
    EXPECT_NE(ctx.error, 0);
    EXPECT_EQ(ReadFileBytes(target), old);
    EXPECT_EQ(GetFileAttributesW(Wide(target)), attributes);
    EXPECT_EQ(FolderNames(folder.path()), (std::vector<std::u16string>{u"source.ico", c.name}));
    SetFileAttributesW(Wide(target), FILE_ATTRIBUTE_NORMAL);
    DeleteFileW(Wide(target));
  }
}

TEST_F(SafeReplaceTest, TargetHeldByAnotherProcessStaysAsItWas) {
  const std::u16string source = folder.Write(
      u"source.ico", DescribedIcoFile({PatternedDib(16, 16, 4, 1), PatternedDib(32, 32, 8, 2)}));
  ASSERT_EQ(LoadIconDocument(ctx, doc, source), 1) << ctx.error;
  for (SaveTarget target : {SaveTarget::kIco, SaveTarget::kPeDll, SaveTarget::kNeIcl}) {
    const std::u16string name = target == SaveTarget::kIco ? u"held.ico"
                                : target == SaveTarget::kPeDll ? u"held.dll" : u"held.icl";
    const std::u16string path = folder.Write(name, old);
    ChildProcess holder(L"--hold-file \"" + std::wstring(Wide(path)) + L"\"");
    ASSERT_TRUE(holder.started());
    ASSERT_EQ(holder.ReadLine(), "held");
    EXPECT_EQ(Save(target, path), 0);
    EXPECT_EQ(ctx.error, MakeError(kMsgFileCreate, target == SaveTarget::kPeDll ? 618 : 608));
    EXPECT_EQ(holder.Finish(), 0u);
    EXPECT_EQ(ReadFileBytes(path), old);
    EXPECT_EQ(FolderNames(folder.path()), (std::vector<std::u16string>{name, u"source.ico"}));
    DeleteFileW(Wide(path));
  }
}

TEST_F(SafeReplaceTest, ReadOnlyTargetIsReplacedAndEndsArchiveOnly) {
  const Bytes ico = DescribedIcoFile({PatternedDib(16, 16, 4, 1), PatternedDib(32, 32, 8, 2)});
  const std::u16string source = folder.Write(u"source.ico", ico);
  ASSERT_EQ(LoadIconDocument(ctx, doc, source), 1) << ctx.error;
  for (bool wholeFile : {false, true}) {
    const std::u16string target = folder.Write(u"t.ico", old);
    ASSERT_TRUE(SetFileAttributesW(Wide(target), FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN));
    ASSERT_EQ(Save(SaveTarget::kIco, target, wholeFile), 1) << ctx.error;
    EXPECT_EQ(ReadFileBytes(target), ico);
    EXPECT_EQ(GetFileAttributesW(Wide(target)), FILE_ATTRIBUTE_ARCHIVE);
    EXPECT_EQ(FolderNames(folder.path()), (std::vector<std::u16string>{u"source.ico", u"t.ico"}));
  }
}

TEST_F(SafeReplaceTest, StreamsIntoAMissingFolderLeaveNothing) {
  MemoryStream stream;
  const Bytes bytes(64, 1);
  ASSERT_EQ(stream.Write(ctx, bytes.data(), bytes.size(), 1), 1);
  EXPECT_EQ(WriteStreamToFile(ctx, stream, folder.path() + u"missing\\out.ico"), 0);
  EXPECT_EQ(ctx.error, MakeError(kMsgFileCreate, 604));
  EXPECT_TRUE(FolderNames(folder.path()).empty());
}

TEST(DeleteFiles, DeletesForGoodAndReportsWhatIsNotThere) {
  TempFolder folder;
  ThreadContext ctx;
  const std::u16string a = folder.Write(u"a.ico", Bytes(30, 1));
  const std::u16string b = folder.Write(u"b.ico", Bytes(30, 2));
  // A trailing separator is not part of the file's name.
  EXPECT_EQ(DeleteFiles(ctx, {a, b + u"\\"}, kDeleteQuietly), 1) << ctx.error;
  EXPECT_TRUE(FolderNames(folder.path()).empty());

  EXPECT_EQ(DeleteFiles(ctx, {folder.path() + u"gone.ico"}, kDeleteQuietly), 0);
  EXPECT_EQ(ctx.error, MakeError(40, 732));
  EXPECT_EQ(DeleteFiles(ctx, {}, kDeleteQuietly), 0);
  EXPECT_EQ(ctx.error, MakeError(kMsgNullPointer, 730));
}

}  // namespace
}  // namespace zx
