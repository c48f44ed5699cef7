// PE modules written from .ico images and from NE libraries, read back
// through the system loader the way any program would see them.
#include "formats/pe_writer_win.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <map>
#include <string>
#include <vector>

#include "app/module_template_win.h"
#include "core/messages.h"
#include "core/win_handles.h"
#include "core/win_text.h"
#include "formats/byte_reader.h"
#include "formats/ne_library_writer.h"
#include "formats/ne_reader.h"
#include "imaging/memory_stream.h"
#include "support/writer_fixture.h"
#include "imaging/thread_services_win.h"
#include "ops/document_loading.h"
#include "ops/icon_document_ops.h"
#include "ops/icon_writers_win.h"
#include "pe_fixture.h"
#include "wine_support.h"

namespace zx {
namespace {

using Bytes = std::vector<uint8_t>;
using namespace zx::testing;

// What a module holds, by type and name: its bytes and its languages.
struct ModuleResources {
  std::map<std::pair<int, std::wstring>, Bytes> items;
  std::vector<WORD> languages;
};

std::wstring NameText(LPCWSTR name) {
  return IS_INTRESOURCE(name) ? L"#" + std::to_wstring(reinterpret_cast<uintptr_t>(name))
                              : std::wstring(name);
}

// The bytes of one resource, by type and name text ("#7" for number 7).
Bytes Item(ModuleResources& module, int type, const std::wstring& name) {
  return module.items[{type, name}];
}

ModuleResources ReadModule(const std::u16string& path) {
  ModuleResources out;
  UniqueModule module(LoadLibraryExW(Wide(path), nullptr, LOAD_LIBRARY_AS_DATAFILE));
  if (!module) return out;
  struct Walk {
    HMODULE module;
    ModuleResources* out;
    int type;
  };
  for (int type : {3, 14, 301}) {
    Walk walk{module.get(), &out, type};
    EnumResourceNamesW(
        module.get(), MAKEINTRESOURCEW(type),
        [](HMODULE m, LPCWSTR t, LPWSTR name, LONG_PTR param) -> BOOL {
          auto* w = reinterpret_cast<Walk*>(param);
          HRSRC found = FindResourceW(m, name, t);
          HGLOBAL loaded = found ? LoadResource(m, found) : nullptr;
          const auto* bytes = static_cast<const uint8_t*>(loaded ? LockResource(loaded) : nullptr);
          if (bytes) {
            w->out->items[{w->type, NameText(name)}] =
                Bytes(bytes, bytes + SizeofResource(m, found));
          }
          EnumResourceLanguagesW(
              m, t, name,
              [](HMODULE, LPCWSTR, LPCWSTR, WORD language, LONG_PTR p) -> BOOL {
                reinterpret_cast<Walk*>(p)->out->languages.push_back(language);
                return TRUE;
              },
              param);
          return TRUE;
        },
        reinterpret_cast<LONG_PTR>(&walk));
  }
  return out;
}

class PeWriterTest : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_EQ(LoadModuleTemplate(ctx, moduleTemplate), 1); }
  bool FileExists(const std::u16string& path) {
    return GetFileAttributesW(Wide(path)) != INVALID_FILE_ATTRIBUTES;
  }
  ThreadContext ctx;
  std::vector<uint8_t> moduleTemplate;
  TempFolder folder;
};

TEST_F(PeWriterTest, IcoImagesBecomeAGroupPerIconOrOneGroup) {
  const Bytes a = PatternedDib(16, 16, 4, 1), b = PatternedDib(32, 32, 8, 2),
              c = PatternedDib(48, 48, 32, 3);
  const Bytes ico = DescribedIcoFile({a, b, c});
  MemoryStream stream;
  ASSERT_TRUE(stream.Write(ctx, ico.data(), ico.size(), 1));

  const std::u16string dll = folder.path() + u"\\three.dll";
  ASSERT_EQ(WritePeFromIcoStream(ctx, stream, dll, kPeGroupPerIcon, kPeTargetDll, moduleTemplate), 1);
  ModuleResources perIcon = ReadModule(dll);
  ASSERT_EQ(perIcon.items.size(), 6u);
  for (int k = 1; k <= 3; ++k) {
    const Bytes group = Item(perIcon, 14, L"#" + std::to_wstring(k));
    ASSERT_EQ(group.size(), 20u);
    EXPECT_EQ(ReadU16(group.data() + 4), 1);
    EXPECT_EQ(ReadU16(group.data() + 18), k);
  }
  EXPECT_EQ(Item(perIcon, 3, L"#2"), b);
  for (WORD language : perIcon.languages) EXPECT_EQ(language, 0);

  const std::u16string icl = folder.path() + u"\\three.icl";
  ASSERT_EQ(WritePeFromIcoStream(ctx, stream, icl, kPeOneGroupIcl, kPeTargetIcl, moduleTemplate), 1);
  ModuleResources one = ReadModule(icl);
  ASSERT_EQ(one.items.size(), 4u);
  const Bytes group = Item(one, 14, L"#1");
  ASSERT_EQ(group.size(), 6u + 3 * 14);
  for (int k = 1; k <= 3; ++k) EXPECT_EQ(ReadU16(group.data() + 6 + 14 * k - 2), k);
  EXPECT_EQ(Item(one, 3, L"#3"), c);
  // The file starts as the template: the about line is in the DOS stub.
  const Bytes written = ReadFileBytes(icl);
  ASSERT_GT(written.size(), 0x80u);
  EXPECT_EQ(Bytes(written.begin() + 0x4E, written.begin() + 0x80),
            Bytes(moduleTemplate.begin() + 0x4E, moduleTemplate.begin() + 0x80));
}

TEST_F(PeWriterTest, WrongKindLayoutOrExtensionWritesNothing) {
  const Bytes ico = DescribedIcoFile({PatternedDib(16, 16, 4, 1)});
  MemoryStream stream;
  ASSERT_TRUE(stream.Write(ctx, ico.data(), ico.size(), 1));
  const struct {
    const char16_t* name;
    int layout, kind, message;
  } cases[] = {{u"a.icl", kPeOneGroup, kPeTargetDll, kMsgBadFileName},
               {u"b.dll", kPeOneGroupIcl, kPeTargetDll, kMsgBadParameter},
               {u"c.dll", kPeOneGroup, 4, kMsgBadParameter},
               {u"d.ico", kPeGroupPerIcon, kPeTargetIcl, kMsgBadFileName}};
  for (const auto& c : cases) {
    const std::u16string path = folder.path() + u"\\" + c.name;
    EXPECT_EQ(WritePeFromIcoStream(ctx, stream, path, c.layout, c.kind, moduleTemplate), 0);
    EXPECT_EQ(ErrorMessage(ctx.error), c.message);
    EXPECT_FALSE(FileExists(path));
  }
}

TEST_F(PeWriterTest, NeLibraryCopiedToPeIsRenumberedAndKeepsSelectedNames) {
  std::vector<Bytes> images;
  for (int k = 0; k < 5; ++k) images.push_back(PatternedDib(16, 16, 8, uint8_t(10 * k)));
  IconDocument ico;
  ASSERT_TRUE(LoadBytes(ctx, ico, DescribedIcoFile(images)));
  NeLibraryPlan nePlan;
  ASSERT_EQ(PlanNeLibraryFromIco(ctx, ico, {1, 2, 3, 4, 5}, kVistaKeep, nullptr, nullptr, nePlan), 1);
  nePlan.names = {3, 'I', 'C', 'L', 1, 'a', 1, 'b', 1, 'c', 1, 'd', 1, 'e', 0, 0};
  MemoryStream library;
  ASSERT_EQ(WriteNeLibrary(ctx, nePlan, library), 1);
  IconDocument doc;
  ASSERT_TRUE(LoadBytes(ctx, doc, StreamBytes(library)));
  ASSERT_EQ(CheckNe(ctx, doc), 1);

  const std::u16string path = folder.path() + u"\\two.icl";
  ASSERT_EQ(CopyNeToPe(ctx, doc, {2, 4}, kVistaKeep, nullptr, nullptr, path, moduleTemplate), 1);
  ModuleResources out = ReadModule(path);
  EXPECT_EQ(Item(out, 301, L"#1"), (Bytes{3, 'I', 'C', 'L', 1, 'b', 1, 'd', 0}));
  EXPECT_EQ(Item(out, 3, L"#1"), images[1]);
  EXPECT_EQ(Item(out, 3, L"#2"), images[3]);
  EXPECT_EQ(ReadU16(Item(out, 14, L"#2").data() + 18), 2);
  for (WORD language : out.languages) EXPECT_EQ(language, 0);
  EXPECT_TRUE(GetFileAttributesW(Wide(path)) & FILE_ATTRIBUTE_ARCHIVE);
}

TEST_F(PeWriterTest, GroupClaimingMoreEntriesThanItHoldsLeavesNoFile) {
  IconDocument ico;
  ASSERT_TRUE(LoadBytes(ctx, ico, DescribedIcoFile({PatternedDib(16, 16, 4, 1)})));
  NeLibraryPlan nePlan;
  ASSERT_EQ(PlanNeLibraryFromIco(ctx, ico, {1}, kVistaKeep, nullptr, nullptr, nePlan), 1);
  MemoryStream library;
  ASSERT_EQ(WriteNeLibrary(ctx, nePlan, library), 1);
  Bytes bytes = StreamBytes(library);
  const size_t directory = ReadU16(bytes.data() + 0x8A);
  PutU16(bytes, directory + 4, 40);  // forty entries in a 20-byte resource
  IconDocument doc;
  ASSERT_TRUE(LoadBytes(ctx, doc, bytes));
  ASSERT_EQ(CheckNe(ctx, doc), 1);
  const std::u16string path = folder.path() + u"\\broken.dll";
  EXPECT_EQ(CopyNeToPe(ctx, doc, {1}, kVistaKeep, nullptr, nullptr, path, moduleTemplate), 0);
  EXPECT_EQ(ErrorMessage(ctx.error), kMsgOverflow);
  EXPECT_FALSE(FileExists(path));
}

TEST_F(PeWriterTest, PeCopyKeepsStringAndNumberNamesAndIconIds) {
  ThreadServices services(ctx);
  const Bytes a = PatternedDib(16, 16, 4, 1), b = PatternedDib(32, 32, 8, 2);
  PeFixture fixture;
  fixture.icons = {{7, a, 4}, {9, b, 8}};
  fixture.groups = {{0, u"APP", {7}}, {101, u"", {9, 7}}};
  const std::u16string source = BuildPeModule(folder, u"named.dll", fixture);
  ASSERT_FALSE(source.empty());
  IconDocument doc;
  ASSERT_EQ(LoadIconDocument(ctx, doc, source), 1);
  const std::u16string path = folder.path() + u"\\copy.dll";
  ASSERT_EQ(CopyPeToPe(ctx, doc, {1, 2}, kVistaKeep, path, moduleTemplate), 1);
  CloseDocument(ctx, &doc);

  ModuleResources out = ReadModule(path);
  EXPECT_EQ(Item(out, 3, L"#7"), a);
  EXPECT_EQ(Item(out, 3, L"#9"), b);
  const Bytes app = Item(out, 14, L"APP");
  ASSERT_EQ(app.size(), 20u);
  EXPECT_EQ(ReadU16(app.data() + 18), 7);
  const Bytes numbered = Item(out, 14, L"#101");
  ASSERT_EQ(numbered.size(), 34u);
  EXPECT_EQ(ReadU16(numbered.data() + 18), 9);
  EXPECT_EQ(ReadU16(numbered.data() + 32), 7);
  // Entries are rebuilt from the images themselves.
  EXPECT_EQ(Bytes(numbered.begin() + 6, numbered.begin() + 14), (Bytes{32, 32, 0, 0, 1, 0, 8, 0}));
  ASSERT_FALSE(out.languages.empty());
  for (WORD language : out.languages) EXPECT_EQ(language, 0);
}

TEST_F(PeWriterTest, TwoOfFiveNamedGroupsKeepTheirTwoNames) {
  ThreadServices services(ctx);
  PeFixture fixture;
  for (int k = 1; k <= 5; ++k) {
    fixture.icons.push_back({k, PatternedDib(16, 16, 4, uint8_t(k)), 4});
    fixture.groups.push_back({k, u"", {k}});
  }
  fixture.nameTables = {{1, std::string("\x03ICL\x03" "one\x03" "two\x05" "three\x04" "four\x04" "five\0", 29)}};
  const std::u16string source = BuildPeModule(folder, u"five.icl", fixture);
  ASSERT_FALSE(source.empty());
  IconDocument doc;
  ASSERT_EQ(LoadIconDocument(ctx, doc, source), 1);
  ASSERT_EQ(doc.namedGroups, 1);
  const std::u16string path = folder.path() + u"\\two.icl";
  ASSERT_EQ(CopyPeToPe(ctx, doc, {2, 4}, kVistaKeep, path, moduleTemplate), 1);
  CloseDocument(ctx, &doc);
  ModuleResources out = ReadModule(path);
  EXPECT_EQ(Item(out, 301, L"#1"), (Bytes{3, 'I', 'C', 'L', 3, 't', 'w', 'o', 4, 'f', 'o', 'u', 'r', 0}));
  EXPECT_EQ(out.items.size(), 5u);  // two groups, two icons, the table
}

}  // namespace
}  // namespace zx
