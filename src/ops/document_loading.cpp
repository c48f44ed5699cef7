#include "ops/document_loading.h"

#include "core/catalogue.h"
#include "core/messages.h"
#include "formats/ico_reader.h"
#include "formats/ne_reader.h"
#include "formats/pe_reader_win.h"
#include "ops/icon_document_ops.h"

#include <functional>

namespace zx {
namespace {

// The thumbnail builder's pass over an .ico file: one bad entry fails the opening.
int CheckEveryIcoEntry(ThreadContext& ctx, IconDocument& doc) {
  return ForEachIcoEntry(ctx, doc, [&ctx](IconDocument& d, int64_t n) {
    IcoImageInfo info;
    return CheckIcoEntryImage(ctx, d, n, info);
  });
}

// The thumbnail builder's pass over an NE file, then the first group as the
// image pane reads it.
int CheckEveryNeGroup(ThreadContext& ctx, IconDocument& doc) {
  int firstGroup = -1;
  const int walked = ForEachNeDocumentGroup(ctx, doc, [&](IconDocument& d, const std::u16string&, int id, bool) {
    if (firstGroup < 0) firstGroup = id;
    NeGroup group;
    return ReadNeGroup(ctx, d, id, NeGroupReader::kThumbnail, group);
  });
  if (!walked) return 0;
  NeGroup pane;
  if (firstGroup < 0 || !ReadNeGroup(ctx, doc, firstGroup, NeGroupReader::kImagePane, pane)) {
    if (ErrorMessage(ctx.error) == kMsgIconCreate) Fail(ctx, kMsgBadFileFormat, 64);
    return 0;
  }
  return 1;
}

// The thumbnail builder's pass over a module's groups (the name-list pass,
// or the plain one when the list fails), then the first group as the image
// pane reads it.
int CheckEveryPeGroup(ThreadContext& ctx, IconDocument& doc) {
  PeResourceName firstGroup;
  bool haveFirst = false;
  const int walked = ForEachPeDocumentGroup(ctx, doc, [&](IconDocument& d, const std::u16string&,
                                                          const PeResourceName& name, bool) {
    if (!haveFirst) {
      firstGroup = name;
      haveFirst = true;
    }
    PeGroup group;
    if (!ReadGroup(ctx, d, name, PeGroupReader::kThumbnail, group)) return 0;
    return CheckPeThumbnailImage(ctx, group.images[RepresentativeImageIndex(group.images)]);
  });
  if (!walked) return 0;
  PeGroup pane;
  const bool counted = doc.iconCount > 0 && doc.groupCount > 0 && doc.iconCount >= doc.groupCount;
  if (!haveFirst || !ReadGroup(ctx, doc, firstGroup, PeGroupReader::kImagePane, pane) || !counted) {
    // An icon that cannot be made, or counts that do not add up, mean the
    // file is not what it claims to be.
    const int message = ErrorMessage(ctx.error);
    if (message == kMsgIconCreate || message == kMsgNone) Fail(ctx, kMsgBadFileFormat, 63);
    return 0;
  }
  return 1;
}

int FailOpening(ThreadContext& ctx, IconDocument& doc) {
  const int64_t error = ctx.error;
  CloseDocument(ctx, &doc);
  ResetDocument(ctx, doc);
  ctx.error = error;
  return 0;
}

}  // namespace

int LoadIconDocument(ThreadContext& ctx, IconDocument& doc, const std::u16string& path) {
  CloseDocument(ctx, &doc);
  ClearDocument(ctx, doc);
  if (path.empty()) return 0;

  const int container = DetectContainer(ctx, &doc, path);
  switch (container) {
    case kContainerIco:
      if (!CheckEveryIcoEntry(ctx, doc)) return FailOpening(ctx, doc);
      return 1;
    case kContainerPe:
    case kContainerNe:
      if (ErrorMessage(ctx.error) != 0) {
        const int message = ErrorMessage(ctx.error);
        const bool noGroup = container == kContainerPe
                                 ? message == kMsgNoIcon
                                 : (message == kMsgNoIcon || message == kMsgNoIconGroup ||
                                    message == kMsgIclBadIconCount || message == kMsgNoIconGroups);
        if (noGroup) {
          if (doc.extensionKind == kExtensionIcl) {
            Fail(ctx, kMsgBadFileFormat, container == kContainerPe ? 65 : 71);
          } else {
            // A notice rather than a fault: always shown in the panel.
            ctx.reportInMessageBox = false;
            Fail(ctx, kMsgNoIcon, 50);
          }
          return FailOpening(ctx, doc);
        }
        if (container == kContainerPe) {
          Fail(ctx, kMsgBadFileFormat, 199);
          return FailOpening(ctx, doc);
        }
        ctx.error = 0;
      }
      if (container == kContainerNe && !CheckEveryNeGroup(ctx, doc)) return FailOpening(ctx, doc);
      if (container == kContainerPe && !CheckEveryPeGroup(ctx, doc)) return FailOpening(ctx, doc);
      return 1;
    default: {
      const int message = ErrorMessage(ctx.error);
      if (message != kMsgAlreadyOpen &&
          (doc.extensionKind == kExtensionIco || doc.extensionKind == kExtensionIcl)) {
        Fail(ctx, kMsgBadFileFormat, 50);
      }
      return FailOpening(ctx, doc);
    }
  }
}

namespace {

constexpr int kMsgEnumerationStopped = 84;  // "Enumeration callback has been stopped by the user"

// Hands every group of the open document, with its images, to `visit` in
// view order; a visit that returns 0 ends the walk with its error.
using GroupVisitor = std::function<int(DocumentGroup&& group)>;

int WalkDocumentGroups(ThreadContext& ctx, IconDocument& doc, const GroupVisitor& visit) {
  if (doc.container == kContainerIco) {
    return ForEachIcoEntry(ctx, doc, [&](IconDocument& d, int64_t n) {
      IcoImageInfo info;
      if (!ReadIcoEntryImage(ctx, d, n, info)) return 0;
      DocumentGroup group;
      group.label = u"#" + DecimalText(n);
      group.images.push_back({info.width, info.height, info.bitCount, info.png, info.size, info.data});
      return visit(std::move(group));
    });
  }
  const auto makeGroup = [&](const std::u16string& label, const PeResourceName& name,
                             const std::vector<GroupImage>& images) {
    DocumentGroup group;
    group.label = label;
    group.name = name;
    for (const GroupImage& image : images) {
      group.images.push_back({image.width, image.height, image.bitCount, image.png,
                              static_cast<uint32_t>(image.length), image.data, image.iconId});
    }
    return group;
  };
  if (doc.container == kContainerNe) {
    return ForEachNeDocumentGroup(ctx, doc, [&](IconDocument& d, const std::u16string& label, int id, bool) {
      NeGroup read;
      if (!ReadNeGroup(ctx, d, id, NeGroupReader::kImagePane, read)) return 0;
      PeResourceName name;
      name.id = id;
      return visit(makeGroup(label, name, read.images));
    });
  }
  if (doc.container == kContainerPe) {
    return ForEachPeDocumentGroup(ctx, doc, [&](IconDocument& d, const std::u16string& label,
                                               const PeResourceName& name, bool) {
      PeGroup read;
      if (!ReadGroup(ctx, d, name, PeGroupReader::kImagePane, read)) return 0;
      return visit(makeGroup(label, name, read.images));
    });
  }
  return Fail(ctx, kMsgBadParameterValue, 3);
}

}  // namespace

int ReadDocumentGroups(ThreadContext& ctx, IconDocument& doc, std::vector<DocumentGroup>& groups) {
  groups.clear();
  bool namedSoFar = false;
  return WalkDocumentGroups(ctx, doc, [&](DocumentGroup&& group) {
    // The plain pass starts over after a named pass that gave up.
    const bool named = doc.container == kContainerPe && doc.namedGroups == 1;
    if (namedSoFar && !named) groups.clear();
    namedSoFar = named;
    groups.push_back(std::move(group));
    return 1;
  });
}

int ReadDocumentGroup(ThreadContext& ctx, IconDocument& doc, int item, DocumentGroup& group) {
  if (!doc.base) return Fail(ctx, kMsgNullPointer, 126);
  // Counts groups until the wanted one, then stops the walk on purpose.
  const int site = doc.container == kContainerIco ? 7 : doc.container == kContainerPe ? 6 : 5;
  int counter = 0;
  bool namedSoFar = false;
  const int walked = WalkDocumentGroups(ctx, doc, [&](DocumentGroup&& visited) {
    const bool named = doc.container == kContainerPe && doc.namedGroups == 1;
    if (namedSoFar && !named) counter = 0;
    namedSoFar = named;
    if (counter++ != item) return 1;
    group = std::move(visited);
    return Fail(ctx, kMsgEnumerationStopped, site);
  });
  if (!walked && ErrorMessage(ctx.error) == kMsgEnumerationStopped) {
    ctx.error = 0;
    return 1;
  }
  if (walked) return Fail(ctx, kMsgInternalError, 1);
  return 0;
}

}  // namespace zx
