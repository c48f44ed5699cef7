// Loading, locking and detecting documents on real files.
#include <gtest/gtest.h>

#include "core/messages.h"
#include "core/utf8.h"
#include "core/win_text.h"
#include "ops/document_loading.h"
#include "ops/icon_document_ops.h"
#include "support/document_fixture.h"
#include "wine/wine_support.h"

namespace zx {
namespace {

using testing::ChildProcess;
using testing::DibImage;
using testing::IcoFile;
using testing::PngImage;
using testing::TempFolder;

TEST(LoadWholeFile, RefusesFilesUnder22Bytes) {
  TempFolder folder;
  ThreadContext ctx;
  IconDocument doc;
  EXPECT_EQ(LoadWholeFile(ctx, folder.Write(u"a.bin", std::vector<uint8_t>(21, 7)), doc), 0);
  EXPECT_EQ(ctx.error, MakeError(kMsgFileSize, 0));
  EXPECT_EQ(doc.base, nullptr);
  EXPECT_EQ(LoadWholeFile(ctx, folder.path() + u"missing.bin", doc), 0);
  EXPECT_EQ(ctx.error, MakeError(kMsgFileSize, 0));

  ctx.error = 0;
  const std::vector<uint8_t> bytes(22, 7);
  ASSERT_EQ(LoadWholeFile(ctx, folder.Write(u"b.bin", bytes), doc), 1);
  EXPECT_EQ(doc.size, 22);
  EXPECT_EQ(std::vector<uint8_t>(doc.base, doc.base + 22), bytes);
  EXPECT_NE(doc.fileLock, nullptr);
  doc.container = kContainerIco;
  CloseDocument(ctx, &doc);
  EXPECT_EQ(ctx.blocks.LiveCount(), 0u);
  EXPECT_EQ(doc.fileLock, nullptr);
}

TEST(LoadWholeFile, FileHeldWithoutSharingByAnotherProcessIs88) {
  TempFolder folder;
  const std::u16string path = folder.Write(u"held.ico", IcoFile({DibImage(16, 16, 8)}));
  ChildProcess holder(L"--hold-file \"" + std::wstring(Wide(path)) + L"\"");
  ASSERT_TRUE(holder.started());
  ASSERT_EQ(holder.ReadLine(), "held");
  ThreadContext ctx;
  IconDocument doc;
  EXPECT_EQ(LoadWholeFile(ctx, path, doc), 0);
  EXPECT_EQ(ctx.error, MakeError(kMsgAlreadyOpen, 0));
  EXPECT_EQ(ctx.blocks.LiveCount(), 0u);
  EXPECT_EQ(holder.Finish(), 0u);
}

TEST(LockDocumentFile, OthersMayReadButNotWriteRenameOrDeleteWhileOpen) {
  TempFolder folder;
  const std::u16string first = folder.Write(u"first.ico", IcoFile({DibImage(16, 16, 8)}));
  const std::u16string second = folder.Write(u"second.ico", IcoFile({DibImage(32, 32, 4)}));
  const std::wstring probe = L"--try-access \"" + std::wstring(Wide(first)) + L"\"";
  ThreadContext ctx;
  IconDocument doc;
  ASSERT_EQ(LoadIconDocument(ctx, doc, first), 1);
  {
    ChildProcess other(probe);
    EXPECT_EQ(other.Finish(), 1u);  // read only
  }
  // Once another file is opened, the first is free again.
  ASSERT_EQ(LoadIconDocument(ctx, doc, second), 1);
  {
    ChildProcess other(probe);
    EXPECT_EQ(other.Finish(), 1u | 2u | 4u | 8u);
  }
  CloseDocument(ctx, &doc);
}

TEST(LockDocumentFile, MissingFileIsABadName) {
  ThreadContext ctx;
  IconDocument doc;
  doc.path = u"C:\\no\\such\\file.ico";
  EXPECT_EQ(LockDocumentFile(ctx, doc), 0);
  EXPECT_EQ(ctx.error, MakeError(kMsgBadFileName, 24));
  EXPECT_EQ(ReleaseDocumentFile(ctx, nullptr), 0);
  EXPECT_EQ(ctx.error, MakeError(kMsgNullPointer, 171));
}

TEST(LockDocumentFile, TheProgramsOwnTemporaryFileIsNotLocked) {
  TempFolder folder;
  ThreadContext ctx;
  ctx.preferenceFolder = folder.path();
  IconDocument doc;
  doc.path = folder.Write(u"QORTemp_1359629321.qor", std::vector<uint8_t>(40, 1));
  for (char16_t& c : doc.path) c = static_cast<char16_t>(towupper(c));
  EXPECT_EQ(LockDocumentFile(ctx, doc), 1);
  EXPECT_EQ(doc.fileLock, nullptr);
}

// What the error panel shows for files of each kind, as opening reports it.
TEST(LoadIconDocument, ReportsWhatThePanelShows) {
  TempFolder folder;
  const std::vector<uint8_t> text(40, 'a');
  auto notIhdr = IcoFile({DibImage(16, 16, 4), PngImage(32, 32, "IDAT")});
  std::vector<uint8_t> shortIco(30, 0);
  testing::PutU32(shortIco, 0, 0x00010000);
  testing::PutU16(shortIco, 4, 1);
  testing::PutU32(shortIco, 6 + 8, 1);
  testing::PutU32(shortIco, 6 + 12, 22);
  std::vector<uint8_t> noEntries = IcoFile({DibImage(16, 16, 4)});
  testing::PutU16(noEntries, 4, 0);
  struct Case {
    const char16_t* name;
    std::vector<uint8_t> bytes;
    int message;
    int site;
  } cases[] = {
      {u"text.txt", text, kMsgNoIcon, 50},
      {u"text.ico", text, kMsgBadFileFormat, 50},
      {u"text.dll", text, 45, 1},
      {u"tiny.ico", std::vector<uint8_t>(21, 0), kMsgBadFileFormat, 50},
      {u"notihdr.ico", notIhdr, kMsgBadFileFormat, 60},
      {u"short.ico", shortIco, kMsgOverflow, 43},
      {u"count0.ico", noEntries, kMsgBadFileFormat, 50},
  };
  for (const Case& c : cases) {
    ThreadContext ctx;
    IconDocument doc;
    const std::u16string path = folder.Write(c.name, c.bytes);
    EXPECT_EQ(LoadIconDocument(ctx, doc, path), 0) << ToUtf8(c.name);
    EXPECT_EQ(ErrorMessage(ctx.error), c.message) << ToUtf8(c.name);
    EXPECT_EQ(ErrorSite(ctx.error), c.site) << ToUtf8(c.name);
    EXPECT_EQ(doc.container, kContainerNone);
    EXPECT_EQ(doc.base, nullptr);
    EXPECT_EQ(doc.fileLock, nullptr);
    EXPECT_EQ(ctx.blocks.LiveCount(), 0u) << ToUtf8(c.name);
  }
}

TEST(LoadIconDocument, TrailingDotsAreDroppedAndReopeningStartsAfresh) {
  TempFolder folder;
  const std::u16string path = folder.Write(u"two.ico", IcoFile({DibImage(16, 16, 8), PngImage(256, 256)}));
  ThreadContext ctx;
  IconDocument doc;
  for (int round = 0; round < 2; ++round) {
    ASSERT_EQ(LoadIconDocument(ctx, doc, path + u".."), 1);
    EXPECT_EQ(doc.path, path);
    EXPECT_EQ(doc.container, kContainerIco);
    EXPECT_EQ(doc.extensionKind, kExtensionIco);
    EXPECT_EQ(doc.iconCount, 2);
    EXPECT_EQ(ctx.blocks.LiveCount(), 1u);
    std::vector<DocumentGroup> groups;
    ASSERT_EQ(ReadDocumentGroups(ctx, doc, groups), 1);
    ASSERT_EQ(groups.size(), 2u);
    EXPECT_EQ(groups[1].label, u"#2");
    EXPECT_TRUE(groups[1].images[0].png);
  }
  CloseDocument(ctx, &doc);
  EXPECT_EQ(ctx.blocks.LiveCount(), 0u);
}

TEST(OpenForEditing, LoadsIcoFilesAndRefusesOtherKinds) {
  TempFolder folder;
  const std::u16string ico = folder.Write(u"edit.ico", IcoFile({DibImage(16, 16, 8)}));
  const std::u16string text = folder.Write(u"edit.txt", std::vector<uint8_t>(40, 'x'));
  ThreadContext ctx;
  IconDocument doc;
  ASSERT_EQ(OpenForEditing(ctx, ico, doc, 1), 1);
  EXPECT_EQ(doc.container, kContainerIco);
  EXPECT_NE(doc.base, nullptr);
  CloseDocument(ctx, &doc);
  ResetDocument(ctx, doc);

  EXPECT_EQ(OpenForEditing(ctx, text, doc, 1), 0);
  EXPECT_EQ(ctx.error, MakeError(kMsgBadFileFormat, 6));
  EXPECT_EQ(doc.container, kContainerNone);
  EXPECT_EQ(OpenForEditing(ctx, ico, doc, 2), 0);
  EXPECT_EQ(ctx.error, MakeError(kMsgBadParameterValue, 2));
  EXPECT_EQ(ctx.blocks.LiveCount(), 0u);
}

TEST(DetectContainer, MissingRecordAndNoExtension) {
  ThreadContext ctx;
  EXPECT_EQ(DetectContainer(ctx, nullptr, u"x.ico"), 0);
  EXPECT_EQ(ctx.error, MakeError(kMsgNullPointer, 27));
}

}  // namespace
}  // namespace zx
