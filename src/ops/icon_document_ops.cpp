#include "ops/icon_document_ops.h"

#include <windows.h>

#include <cwctype>

#include "core/messages.h"
#include "core/win_handles.h"
#include "core/win_text.h"
#include "formats/ico_reader.h"
#include "formats/ne_reader.h"
#include "formats/pe_reader_win.h"

namespace zx {
namespace {

std::u16string LowerCase(std::u16string text) {
  for (char16_t& c : text) c = static_cast<char16_t>(std::towlower(static_cast<wint_t>(c)));
  return text;
}

bool IsTemporaryLibrary(const ThreadContext& ctx, const IconDocument& doc) {
  return !ctx.preferenceFolder.empty() && LowerCase(doc.path) == LowerCase(TemporaryLibraryPath(ctx));
}

void ReleaseBuffer(ThreadContext& ctx, IconDocument& doc) {
  ctx.blocks.Release(doc.base);
  doc.base = nullptr;
  doc.lastByte = nullptr;
}

}  // namespace

std::u16string TemporaryLibraryPath(const ThreadContext& ctx) {
  return ctx.preferenceFolder + u"QORTemp_1359629321.qor";
}

int LockDocumentFile(ThreadContext& ctx, IconDocument& doc) {
  if (IsTemporaryLibrary(ctx, doc)) return 1;
  if (GetFileAttributesW(Wide(doc.path)) == INVALID_FILE_ATTRIBUTES) {
    return Fail(ctx, kMsgBadFileName, 24);
  }
  HANDLE lock = CreateFileW(Wide(doc.path), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                            FILE_ATTRIBUTE_NORMAL, nullptr);
  if (lock == INVALID_HANDLE_VALUE) return Fail(ctx, kMsgFileRead, 26);
  if (doc.fileLock) CloseHandle(static_cast<HANDLE>(doc.fileLock));
  doc.fileLock = lock;
  return 1;
}

int ReleaseDocumentFile(ThreadContext& ctx, IconDocument* doc) {
  if (!doc) return Fail(ctx, kMsgNullPointer, 171);
  if (doc->fileLock && !IsTemporaryLibrary(ctx, *doc)) CloseHandle(static_cast<HANDLE>(doc->fileLock));
  doc->fileLock = nullptr;
  return 1;
}

int LoadWholeFile(ThreadContext& ctx, const std::u16string& path, IconDocument& doc) {
  doc.path = path;
  doc.base = nullptr;
  doc.lastByte = nullptr;

  WIN32_FILE_ATTRIBUTE_DATA attributes;
  if (!GetFileAttributesExW(Wide(path), GetFileExInfoStandard, &attributes) ||
      (attributes.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) {
    return Fail(ctx, kMsgFileSize);
  }
  const uint64_t fileSize = (uint64_t{attributes.nFileSizeHigh} << 32) | attributes.nFileSizeLow;
  if (fileSize < 22 || fileSize > 4294967295ull) return Fail(ctx, kMsgFileSize);

  UniqueHandle file(CreateFileW(Wide(path), GENERIC_READ, 0, nullptr, OPEN_EXISTING,
                                FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file) {
    const DWORD why = GetLastError();
    if (why == ERROR_SHARING_VIOLATION || why == ERROR_LOCK_VIOLATION) return Fail(ctx, kMsgAlreadyOpen);
    return Fail(ctx, kMsgFileOpen, 1);
  }
  RegisteredBlock buffer(ctx.blocks, ctx.blocks.Allocate(ctx, static_cast<int64_t>(fileSize)));
  if (!buffer) return Fail(ctx, kMsgNoMemory, 43);
  DWORD read = 0;
  if (!ReadFile(file.get(), buffer.get(), static_cast<DWORD>(fileSize), &read, nullptr) ||
      read != fileSize) {
    return Fail(ctx, kMsgFileLoadMemory);
  }
  file.Reset();

  doc.base = buffer.get();
  if (!LockDocumentFile(ctx, doc)) {
    doc.base = nullptr;
    return 0;
  }
  doc.base = buffer.Take();
  doc.size = static_cast<int64_t>(fileSize);
  doc.lastByte = doc.base + doc.size - 1;
  return 1;
}

int DetectContainer(ThreadContext& ctx, IconDocument* doc, const std::u16string& path) {
  if (!doc) return Fail(ctx, kMsgNullPointer, 27);
  doc->path = WithoutTrailingDots(path);
  doc->extensionKind = ExtensionKindOf(doc->path);

  ctx.error = 0;
  HMODULE module = LoadLibraryExW(Wide(doc->path), nullptr, LOAD_LIBRARY_AS_DATAFILE);
  if (module) {
    doc->base = reinterpret_cast<uint8_t*>(module);
    doc->container = kContainerPe;
    // The check frees the module when it fails.
    if (CheckPeModule(ctx, *doc)) return kContainerPe;
    doc->container = kContainerNone;
  } else {
    Fail(ctx, kMsgResourceLoadFile, 2);
  }

  switch (ErrorMessage(ctx.error)) {
    case kMsgNoIcon:
    case kMsgNoIconGroup:
      Fail(ctx, kMsgNoIcon, 4);
      return kContainerPe;
    case kMsgResourceEnum:
      Fail(ctx, kMsgResourceEnum, 2);
      return kContainerPe;
    default:
      ctx.error = 0;
      break;
  }

  switch (doc->extensionKind) {
    case kExtensionIco:
      if (!LoadWholeFile(ctx, doc->path, *doc)) return kContainerNone;
      return CheckIco(ctx, *doc) ? kContainerIco : kContainerNone;
    case kExtensionIcl:
      if (!LoadWholeFile(ctx, doc->path, *doc)) return kContainerNone;
      return CheckNe(ctx, *doc) != 0 ? kContainerNe : kContainerNone;
    case kExtensionDll: case kExtensionDrv: case kExtensionExe:
    case kExtensionOcx: case kExtensionCpl: case kExtensionScr: {
      if (!LoadWholeFile(ctx, doc->path, *doc)) return kContainerNone;
      if (CheckNe(ctx, *doc) == 1) return kContainerNe;
      const int message = ErrorMessage(ctx.error);
      if (message == kMsgNoIcon || message == kMsgNoIconGroup || message == kMsgNoIconGroups) {
        Fail(ctx, kMsgNoIconGroup);
        return kContainerNe;
      }
      return kContainerNone;
    }
    case kExtensionOther:
      Fail(ctx, kMsgNoIconGroup);
      return kContainerNe;
    default:
      Fail(ctx, kMsgBadFileName);
      return kContainerNeverOpened;
  }
}

int OpenForEditing(ThreadContext& ctx, const std::u16string& path, IconDocument& doc, int kind) {
  int container = kind;
  if (kind == 1) {
    container = DetectContainer(ctx, &doc, path);
    const bool detected = ErrorMessage(ctx.error) == 0 &&
                          (container == kContainerIco || container == kContainerNe);
    // Detection loaded the file; it is read again below as the file to edit.
    doc.container = static_cast<ContainerKind>(container);
    CloseDocument(ctx, &doc);
    if (!detected) {
      doc.container = kContainerNone;
      return Fail(ctx, kMsgBadFileFormat, 6);
    }
  }
  if (container != kContainerIco && container != kContainerNe) {
    doc.container = kContainerNone;
    return Fail(ctx, kMsgBadParameterValue, 2);
  }
  doc.path = WithoutTrailingDots(path);
  doc.container = static_cast<ContainerKind>(container);
  return LoadWholeFile(ctx, doc.path, doc);
}

int CloseDocument(ThreadContext& ctx, IconDocument* doc) {
  if (!doc) return Fail(ctx, kMsgNullPointer, 160);
  switch (doc->container) {
    case kContainerPe:
      ReleasePeModule(*doc);
      break;
    case kContainerNe:
    case kContainerIco:
      ReleaseBuffer(ctx, *doc);
      ReleaseDocumentFile(ctx, doc);
      break;
    default:
      break;
  }
  return 1;
}

void ResetDocument(ThreadContext& ctx, IconDocument& doc) {
  // A buffer that never became a document (a failed check) goes back too.
  if (doc.container != kContainerPe) ctx.blocks.Release(doc.base);
  const std::u16string path = doc.path;
  void* lock = doc.fileLock;
  doc = IconDocument{};
  doc.path = path;
  doc.fileLock = lock;
  doc.container = kContainerNone;
  ReleaseDocumentFile(ctx, &doc);
}

void ClearDocument(ThreadContext& ctx, IconDocument& doc) {
  ResetDocument(ctx, doc);
  doc.path.clear();
}

}  // namespace zx
