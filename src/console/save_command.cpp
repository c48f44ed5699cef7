#include "console/save_command.h"

#include <windows.h>

#include <cstdlib>

#include "app/module_template_win.h"
#include "console/command_arguments.h"
#include "console/console_output.h"
#include "console/error_text.h"
#include "core/error_report_win.h"
#include "core/utf8.h"
#include "core/win_text.h"
#include "formats/ico_module_writer.h"
#include "formats/ne_module_source.h"
#include "formats/pe_module_source_win.h"
#include "imaging/scratch_stream_win.h"
#include "imaging/thread_services_win.h"
#include "ops/document_loading.h"
#include "ops/icon_document_ops.h"
#include "ops/icon_writers_win.h"
#include "ops/save_naming.h"
#include "prefs/preference_store_win.h"

namespace zx {
namespace {

struct SaveRequest {
  SaveTarget target = SaveTarget::kIco;
  bool targetGiven = false;
  int mode = kVistaKeep;
  std::vector<int64_t> groups;
  std::vector<int64_t> images;
  int64_t group = 0;
  bool force = false;
  std::u16string source;
  std::u16string output;
};

bool Usage(const std::string& text) {
  WriteErr("zorvexc save: " + text + " (see zorvexc --help)\n");
  return false;
}

bool ParseArguments(const std::vector<std::u16string>& args, SaveRequest& request) {
  for (size_t i = 0; i < args.size(); ++i) {
    const std::u16string& a = args[i];
    const bool hasValue = i + 1 < args.size();
    if (a == u"--to" && hasValue) {
      const std::u16string to = args[++i];
      request.targetGiven = true;
      if (to == u"ico") {
        request.target = SaveTarget::kIco;
      } else if (to == u"icl-ne") {
        request.target = SaveTarget::kNeIcl;
      } else if (to == u"icl-pe") {
        request.target = SaveTarget::kPeIcl;
      } else if (to == u"dll") {
        request.target = SaveTarget::kPeDll;
      } else {
        return Usage("--to takes ico, icl-ne, icl-pe or dll");
      }
    } else if (a == u"--uncompress") {
      request.mode = kVistaUncompress;
    } else if (a == u"--force") {
      request.force = true;
    } else if (a == u"--groups" && hasValue) {
      if (!ParseNumberList(args[++i], request.groups)) return Usage("--groups takes numbers from 1");
    } else if (a == u"--images" && hasValue) {
      if (!ParseNumberList(args[++i], request.images)) return Usage("--images takes numbers from 1");
    } else if (a == u"--group" && hasValue) {
      std::vector<int64_t> one;
      if (!ParseNumberList(args[++i], one) || one.size() != 1) return Usage("--group takes one number");
      request.group = one[0];
    } else if (a == u"-o" && hasValue) {
      request.output = args[++i];
    } else if (!a.empty() && a[0] == u'-') {
      return Usage("unknown or incomplete option " + ToUtf8(a));
    } else if (request.source.empty()) {
      request.source = a;
    } else {
      return Usage("only one SOURCE is saved at a time");
    }
  }
  if (!request.targetGiven || request.source.empty() || request.output.empty()) {
    return Usage("--to, SOURCE and -o TARGET are needed");
  }
  if (!request.groups.empty() && !request.images.empty()) {
    return Usage("--groups and --images do not go together");
  }
  return true;
}

// The selected pictures of one group gathered into an image set, as the
// image pane's menu gathers them.
int GatherImages(ThreadContext& ctx, IconDocument& doc, const std::vector<DocumentGroup>& groups,
                 const SaveRequest& request, IconImageSet& set) {
  if (doc.container == kContainerIco) {
    ScratchStream scratch;
    return CreateScratchStream(ctx, &scratch) &&
           BuildImageSetFromIcoDocument(ctx, doc, request.images, scratch, set);
  }
  const int64_t group = request.group == 0 ? 1 : request.group;
  if (group > static_cast<int64_t>(groups.size())) return Fail(ctx, kMsgBadIconCount, 660);
  const DocumentGroup& chosen = groups[group - 1];
  std::vector<int> ids;
  for (int64_t n : request.images) {
    if (n > static_cast<int64_t>(chosen.images.size())) return Fail(ctx, kMsgBadIconCount, 661);
    ids.push_back(chosen.images[n - 1].iconId);
  }
  if (doc.container == kContainerPe) {
    PeModuleSource source(doc);
    return BuildImageSetFromModuleGroup(ctx, source, chosen.name, ids, set);
  }
  NeModuleSource source(doc);
  return BuildImageSetFromModuleGroup(ctx, source, chosen.name, ids, set);
}

std::u16string ExtensionOf(SaveTarget target) {
  switch (target) {
    case SaveTarget::kIco:
      return u"ico";
    case SaveTarget::kPeDll:
      return u"dll";
    default:
      return u"icl";
  }
}

}  // namespace

int RunSaveCommand(const std::vector<std::u16string>& args) {
  SaveRequest request;
  if (!ParseArguments(args, request)) return 2;
  ThreadContext ctx;
  SelectLanguage(ctx, 0);
  std::u16string named;
  if (!SaveTargetPath(ctx, request.output, ExtensionOf(request.target), named)) {
    WriteErr(ToUtf8(request.output) + ": " + ErrorLineText(ctx) + "\n");
    return 1;
  }
  const std::u16string target = FullPath(named);
  if (!request.force && GetFileAttributesW(Wide(target)) != INVALID_FILE_ATTRIBUTES) {
    WriteErr("zorvexc save: " + ToUtf8(target) + " exists (use --force to replace it)\n");
    return 2;
  }
  ctx.preferenceFolder = PreferenceFolder();
  ThreadServices services(ctx);
  std::vector<uint8_t> moduleTemplate;
  IconDocument doc;
  std::vector<DocumentGroup> groups;
  int ok = LoadModuleTemplate(ctx, moduleTemplate) &&
           LoadIconDocument(ctx, doc, FullPath(request.source)) &&
           ReadDocumentGroups(ctx, doc, groups);
  if (ok && FullPath(request.source) == target) ok = Fail(ctx, kMsgSameName, 0);
  if (ok) {
    if (!request.images.empty()) {
      IconImageSet set;
      ok = GatherImages(ctx, doc, groups, request, set) &&
           WriteImageSetAs(ctx, set, request.target, request.mode, target, moduleTemplate);
    } else {
      IconSelection selection = request.groups;
      const bool whole = selection.empty();
      if (whole) {
        for (size_t n = 1; n <= groups.size(); ++n) selection.push_back(static_cast<int64_t>(n));
      }
      ok = WriteSelectionAs(ctx, doc, request.target, request.mode, selection, whole, target,
                            moduleTemplate);
    }
  }
  CloseDocument(ctx, &doc);
  if (!ok) {
    WriteErr(ToUtf8(request.source) + ": " + ErrorLineText(ctx) + "\n");
    return 1;
  }
  WriteOut(ToUtf8(target) + "\n");
  return 0;
}

}  // namespace zx
