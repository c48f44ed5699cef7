#include "ops/icon_writers_win.h"

#include <windows.h>

#include <memory>

#include "core/messages.h"
#include "core/win_text.h"
#include "formats/ico_module_writer.h"
#include "formats/byte_reader.h"
#include "formats/ico_reader.h"
#include "formats/ne_library_writer.h"
#include "formats/ne_module_source.h"
#include "formats/pe_module_source_win.h"
#include "formats/pe_writer_win.h"
#include "imaging/scratch_stream_win.h"
#include "ops/file_output_win.h"
#include "ops/icon_document_ops.h"
#include "ops/writer_services_win.h"
#include "prefs/preference_store_win.h"

namespace zx {
namespace {

// Builds into a fresh scratch stream and puts it on disk; the target is
// replaced only by a complete file.
template <typename Build>
int WriteThroughStream(ThreadContext& ctx, const std::u16string& path, Build build) {
  ScratchStream stream;
  if (!CreateScratchStream(ctx, &stream)) return 0;
  return build(stream) && WriteStreamToFile(ctx, stream, path);
}

// The module the writers read a PE or NE document through.
std::unique_ptr<IconModuleSource> ModuleSourceOf(IconDocument& doc) {
  if (doc.container == kContainerPe) return std::make_unique<PeModuleSource>(doc);
  if (doc.container == kContainerNe) return std::make_unique<NeModuleSource>(doc);
  return nullptr;
}

int WriteLibrary(ThreadContext& ctx, const NeLibraryPlan& plan, const std::u16string& path) {
  return WriteThroughStream(ctx, path,
                            [&](ByteStream& out) { return WriteNeLibrary(ctx, plan, out); });
}

// The copy is made beside the target too, so a copy cut short never
// replaces it.
int CopyWholeIco(ThreadContext& ctx, const IconDocument& doc, const std::u16string& path) {
  SiblingFile sibling;
  if (!sibling.Create(ctx, path, 650)) return 0;
  if (!CopyFileW(Wide(doc.path), Wide(sibling.path()), FALSE)) return Fail(ctx, kMsgFileCreate, 650);
  SetFileAttributesW(Wide(sibling.path()), FILE_ATTRIBUTE_NORMAL);
  StampWrittenFile(sibling.path(), false);
  return sibling.Commit(ctx, 650);
}

}  // namespace

int WriteIcoFromIcoDocument(ThreadContext& ctx, const IconDocument& doc,
                            const IconSelection& selection, const std::u16string& path) {
  return WriteThroughStream(ctx, path, [&](ByteStream& out) {
    return BuildIcoFromIcoDocument(ctx, doc, selection, out);
  });
}

int WriteIcoFromModule(ThreadContext& ctx, IconDocument& doc, const IconSelection& selection,
                       int mode, const std::u16string& path) {
  std::unique_ptr<IconModuleSource> source = ModuleSourceOf(doc);
  if (!source) return Fail(ctx, kMsgInternalError, 651);
  return WriteThroughStream(ctx, path, [&](ByteStream& out) {
    return BuildIcoFromModule(ctx, *source, selection, mode, CodecPngUnpacker(false),
                              ScratchStreams(), out);
  });
}

int WriteNeIconLibrary(ThreadContext& ctx, IconDocument& doc, const IconSelection& selection,
                       int mode, const std::u16string& path) {
  NeLibraryPlan plan;
  if (doc.container == kContainerIco) {
    if (!PlanNeLibraryFromIco(ctx, doc, selection, mode, CodecPngUnpacker(false),
                              ScratchStreams(), plan)) {
      return 0;
    }
  } else {
    std::unique_ptr<IconModuleSource> source = ModuleSourceOf(doc);
    if (!source) return Fail(ctx, kMsgInternalError, 652);
    if (!PlanNeLibraryFromModule(ctx, *source, doc, selection, mode, CodecPngUnpacker(false),
                                 ScratchStreams(), plan)) {
      return 0;
    }
  }
  return WriteLibrary(ctx, plan, path);
}

int WriteNeIconLibraryFromImageSet(ThreadContext& ctx, ByteStream& stream,
                                   const std::u16string& path) {
  uint8_t header[6];
  if (!SeekTo(ctx, stream, 0, 653) || !ReadExactly(ctx, stream, header, 6, 653, kMsgOverflow, 653)) {
    return 0;
  }
  if (!IsIcoSignature(ReadU32(header))) return Fail(ctx, kMsgHeaderIntegrity, 654);
  const int count = ReadU16(header + 4);
  if (count == 0) return Fail(ctx, kMsgBadIconCount, 655);
  if (!EnsurePreferenceFolder(ctx, ctx.preferenceFolder, 656)) return 0;

  // The pictures go through an .ico file so the .ico source writer lays them out.
  const std::u16string temporary = TemporaryLibraryPath(ctx);
  if (!WriteStreamToFile(ctx, stream, temporary)) return 0;
  IconDocument doc;
  const int opened = OpenForEditing(ctx, temporary, doc, kContainerIco);
  DeleteFileW(Wide(temporary));
  if (!opened || !CheckIco(ctx, doc)) return 0;
  IconSelection all;
  for (int n = 1; n <= count; ++n) all.push_back(n);
  doc.path = path;
  const int written = WriteNeIconLibrary(ctx, doc, all, kVistaKeep, path);
  ClearDocument(ctx, doc);
  return written;
}

int CopyPeToPe(ThreadContext& ctx, const IconDocument& doc, const IconSelection& selection,
               int mode, const std::u16string& path, const std::vector<uint8_t>& moduleTemplate) {
  PeModuleSource source(doc);
  return CopyModuleToPe(ctx, source, doc, selection, mode, PeCopyNaming::kKeepSourceNames,
                        CodecPngUnpacker(true), ScratchStreams(), path, moduleTemplate);
}

int WriteSelectionAs(ThreadContext& ctx, IconDocument& doc, SaveTarget target, int mode,
                     const IconSelection& selection, bool wholeFile, const std::u16string& path,
                     const std::vector<uint8_t>& moduleTemplate) {
  if (!doc.base) return Fail(ctx, kMsgNullPointer, 657);
  if (mode != kVistaKeep && mode != kVistaUncompress) return Fail(ctx, kMsgBadParameter, 658);
  // Every writer replaces the target in one step once its file is complete
  // (a read-only target included), so a failure leaves an existing target
  // untouched and nothing is to be cleaned up here.
  int written = 0;
  switch (doc.container) {
    case kContainerIco:
      switch (target) {
        case SaveTarget::kIco:
          if (mode == kVistaKeep) {
            written = wholeFile ? CopyWholeIco(ctx, doc, path)
                                : WriteIcoFromIcoDocument(ctx, doc, selection, path);
          } else {
            IconImageSet set;
            written = WriteThroughStream(ctx, path, [&](ByteStream& out) {
              ScratchStream scratch;
              return CreateScratchStream(ctx, &scratch) &&
                     BuildImageSetFromIcoDocument(ctx, doc, selection, scratch, set) &&
                     BuildIcoStream(ctx, set, mode, CodecPngUnpacker(false), ScratchStreams(), out);
            });
          }
          break;
        case SaveTarget::kPeIcl:
        case SaveTarget::kPeDll: {
          IconImageSet set;
          ScratchStream scratch;
          ScratchStream ico;
          const int layout = target == SaveTarget::kPeIcl ? kPeGroupPerIconIcl : kPeGroupPerIcon;
          const int kind = target == SaveTarget::kPeIcl ? kPeTargetIcl : kPeTargetDll;
          written = CreateScratchStream(ctx, &scratch) && CreateScratchStream(ctx, &ico) &&
                    BuildImageSetFromIcoDocument(ctx, doc, selection, scratch, set) &&
                    BuildIcoStream(ctx, set, mode, CodecPngUnpacker(false), ScratchStreams(), ico) &&
                    WritePeFromIcoStream(ctx, ico, path, layout, kind, moduleTemplate);
          break;
        }
        case SaveTarget::kNeIcl:
          written = WriteNeIconLibrary(ctx, doc, selection, mode, path);
          break;
      }
      break;
    case kContainerPe:
    case kContainerNe:
      switch (target) {
        case SaveTarget::kIco:
          written = WriteIcoFromModule(ctx, doc, selection, mode, path);
          break;
        case SaveTarget::kPeIcl:
        case SaveTarget::kPeDll:
          written = doc.container == kContainerPe
                        ? CopyPeToPe(ctx, doc, selection, mode, path, moduleTemplate)
                        : CopyNeToPe(ctx, doc, selection, mode, CodecPngUnpacker(true),
                                     ScratchStreams(), path, moduleTemplate);
          break;
        case SaveTarget::kNeIcl:
          written = WriteNeIconLibrary(ctx, doc, selection, mode, path);
          break;
      }
      break;
    default:
      return Fail(ctx, kMsgInternalError, 659);
  }
  if (!written) return 0;
  SetFileAttributesW(Wide(path), FILE_ATTRIBUTE_ARCHIVE);
  return 1;
}

int WriteImageSetAs(ThreadContext& ctx, const IconImageSet& set, SaveTarget target, int mode,
                    const std::u16string& path, const std::vector<uint8_t>& moduleTemplate) {
  ScratchStream ico;
  int written = CreateScratchStream(ctx, &ico) &&
                BuildIcoStream(ctx, set, mode, CodecPngUnpacker(false), ScratchStreams(), ico);
  if (written) {
    switch (target) {
      case SaveTarget::kIco:
        written = WriteStreamToFile(ctx, ico, path);
        break;
      case SaveTarget::kPeIcl:
        written = WritePeFromIcoStream(ctx, ico, path, kPeOneGroupIcl, kPeTargetIcl, moduleTemplate);
        break;
      case SaveTarget::kPeDll:
        written = WritePeFromIcoStream(ctx, ico, path, kPeOneGroup, kPeTargetDll, moduleTemplate);
        break;
      case SaveTarget::kNeIcl:
        written = WriteNeIconLibraryFromImageSet(ctx, ico, path);
        break;
    }
  }
  if (!written) return 0;
  SetFileAttributesW(Wide(path), FILE_ATTRIBUTE_ARCHIVE);
  return 1;
}

}  // namespace zx
