#include "console/remove_command.h"

#include "console/command_arguments.h"
#include "console/console_output.h"
#include "console/error_text.h"
#include "core/error_report_win.h"
#include "core/ui_text_win.h"
#include "core/utf8.h"
#include "imaging/thread_services_win.h"
#include "ops/document_loading.h"
#include "ops/icon_document_ops.h"
#include "ops/icon_removal_win.h"

namespace zx {
namespace {

constexpr int kTextNoNeChange = 19012;

bool Usage(const std::string& text) {
  WriteErr("zorvexc remove: " + text + " (see zorvexc --help)\n");
  return false;
}

bool ParseArguments(const std::vector<std::u16string>& args, RemovalRequest& request,
                    std::u16string& file) {
  IconSelection groups, images, group;
  for (size_t i = 0; i < args.size(); ++i) {
    const std::u16string& a = args[i];
    const bool hasValue = i + 1 < args.size();
    if (a == u"--groups" && hasValue) {
      if (!ParseNumberList(args[++i], groups)) return Usage("--groups takes numbers from 1");
    } else if (a == u"--images" && hasValue) {
      if (!ParseNumberList(args[++i], images)) return Usage("--images takes numbers from 1");
    } else if (a == u"--group" && hasValue) {
      if (!ParseNumberList(args[++i], group) || group.size() != 1) {
        return Usage("--group takes one number");
      }
    } else if (!a.empty() && a[0] == u'-') {
      return Usage("unknown or incomplete option " + ToUtf8(a));
    } else if (file.empty()) {
      file = a;
    } else {
      return Usage("only one FILE is changed at a time");
    }
  }
  if (file.empty()) return Usage("FILE is needed");
  if (groups.empty() == images.empty()) return Usage("give either --groups or --images");
  if (!images.empty() && group.size() != 1) return Usage("--images needs --group N");
  if (!groups.empty()) {
    if (!group.empty()) return Usage("--group goes with --images");
    request.command = RemovalCommand::kGroupList;
    request.selection = groups;
  } else {
    request.command = RemovalCommand::kImagePane;
    request.selection = images;
    request.shownGroup = group[0];
  }
  return true;
}

}  // namespace

int RunRemoveCommand(const std::vector<std::u16string>& args) {
  RemovalRequest request;
  std::u16string file;
  if (!ParseArguments(args, request, file)) return 2;
  ThreadContext ctx;
  SelectLanguage(ctx, 0);
  ThreadServices services(ctx);
  IconDocument doc;
  RemovalResult result = kRemovalFailed;
  if (LoadIconDocument(ctx, doc, FullPath(file))) result = RemoveSelection(ctx, doc, request);
  CloseDocument(ctx, &doc);
  switch (result) {
    case kRemovalDone:
      WriteOut(ToUtf8(doc.path) + "\n");
      return 0;
    case kRemovalNotPossible:
      WriteErr(ToUtf8(file) + ": " + ToUtf8(UiText(kTextNoNeChange, ctx.language)) + "\n");
      return 1;
    default:
      WriteErr(ToUtf8(file) + ": " + ErrorLineText(ctx) + "\n");
      return 1;
  }
}

}  // namespace zx
