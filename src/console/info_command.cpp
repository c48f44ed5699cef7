#include "console/info_command.h"

#include <windows.h>

#include "console/console_output.h"
#include "console/error_text.h"
#include "core/error_report_win.h"
#include "core/ui_text_win.h"
#include "core/utf8.h"
#include "ops/document_loading.h"
#include "ops/icon_document_ops.h"

namespace zx {
namespace {

const char* ContainerName(ContainerKind kind) {
  switch (kind) {
    case kContainerPe: return "pe";
    case kContainerNe: return "ne";
    case kContainerIco: return "ico";
    default: return "none";
  }
}

std::string ImageJson(const DocumentImage& image) {
  return "{\"width\": " + std::to_string(image.width) + ", \"height\": " + std::to_string(image.height) +
         ", \"bits\": " + std::to_string(image.bitCount) + ", \"png\": " + (image.png ? "true" : "false") +
         ", \"bytes\": " + std::to_string(image.bytes) + "}";
}

std::string GroupsJson(const std::vector<DocumentGroup>& groups) {
  std::string out = "[";
  for (size_t g = 0; g < groups.size(); ++g) {
    if (g) out += ", ";
    out += "{\"label\": " + JsonString(ToUtf8(groups[g].label)) + ", \"images\": [";
    for (size_t i = 0; i < groups[g].images.size(); ++i) {
      if (i) out += ", ";
      out += ImageJson(groups[g].images[i]);
    }
    out += "]}";
  }
  return out + "]";
}

std::string GroupsText(const std::vector<DocumentGroup>& groups) {
  std::string out;
  for (const DocumentGroup& group : groups) {
    out += "  " + ToUtf8(group.label) + "\n";
    for (const DocumentImage& image : group.images) {
      out += "    " + std::to_string(image.width) + "x" + std::to_string(image.height) + " " +
             std::to_string(image.bitCount) + "-bit " + (image.png ? "PNG" : "DIB") + ", " +
             std::to_string(image.bytes) + " bytes\n";
    }
  }
  return out;
}

// The file's own report line; false when it failed.
bool DescribeFile(ThreadContext& ctx, IconDocument& doc, const std::u16string& path, bool json,
                  std::string& out) {
  std::vector<DocumentGroup> groups;
  const bool opened = LoadIconDocument(ctx, doc, path) && ReadDocumentGroups(ctx, doc, groups);
  const std::string pathUtf8 = ToUtf8(path);
  if (!opened) {
    const int message = ErrorMessage(ctx.error);
    const int site = ErrorSite(ctx.error);
    const std::string text = ToUtf8(UiText(message, ctx.language));
    if (json) {
      out = "{\"path\": " + JsonString(pathUtf8) + ", \"error\": {\"message\": " + std::to_string(message) +
            ", \"site\": " + std::to_string(site) + ", \"text\": " + JsonString(text) + "}}\n";
    } else {
      out = pathUtf8 + ": " + ErrorLineText(ctx) + "\n";
    }
    ctx.error = 0;
    CloseDocument(ctx, &doc);
    ClearDocument(ctx, doc);
    return false;
  }
  if (json) {
    out = "{\"path\": " + JsonString(pathUtf8) + ", \"container\": \"" + ContainerName(doc.container) +
          "\", \"groups\": " + GroupsJson(groups) + "}\n";
  } else {
    out = pathUtf8 + ": " + ContainerName(doc.container) + ", " + std::to_string(groups.size()) +
          (groups.size() == 1 ? " group\n" : " groups\n") + GroupsText(groups);
  }
  CloseDocument(ctx, &doc);
  ClearDocument(ctx, doc);
  return true;
}

}  // namespace

int RunInfoCommand(const std::vector<std::u16string>& args) {
  ThreadContext ctx;
  SelectLanguage(ctx, 0);
  bool json = false;
  std::vector<std::u16string> files;
  for (size_t i = 0; i < args.size(); ++i) {
    if (args[i] == u"--json") {
      json = true;
    } else if (args[i] == u"--lang" && i + 1 < args.size()) {
      const std::u16string& lang = args[++i];
      if (lang == u"en") ctx.language = 2057;
      else if (lang == u"fr") ctx.language = 1036;
      else {
        WriteErr("zorvexc info: --lang takes en or fr\n");
        return 2;
      }
    } else if (args[i].size() > 1 && args[i][0] == u'-' && args[i][1] == u'-') {
      WriteErr("zorvexc info: unknown option " + ToUtf8(args[i]) + "\n");
      return 2;
    } else {
      files.push_back(args[i]);
    }
  }
  if (files.empty()) {
    WriteErr("zorvexc info: no file given (see zorvexc --help)\n");
    return 2;
  }
  IconDocument doc;
  int status = 0;
  for (const std::u16string& file : files) {
    std::string out;
    if (!DescribeFile(ctx, doc, file, json, out)) status = 1;
    WriteOut(out);
  }
  return status;
}

}  // namespace zx
