#include "console/export_command.h"

#include <windows.h>

#include <cstdio>

#include "console/console_output.h"
#include "console/error_text.h"
#include "core/error_report_win.h"
#include "core/utf8.h"
#include "core/win_handles.h"
#include "core/win_text.h"
#include "imaging/icon_codec_win.h"
#include "imaging/png_pixels.h"
#include "imaging/thread_services_win.h"
#include "ops/document_loading.h"
#include "ops/icon_document_ops.h"

namespace zx {
namespace {

constexpr int kSiteEncode = 30;

struct ExportRequest {
  std::u16string file;
  std::u16string folder;
  int group = 0;  // 0: every group
};

// "g003_i02_32x32_8bit.png"; a PNG image adds "_png" before the extension.
std::u16string ImageFileName(int group, int index, const DocumentImage& image) {
  char name[80];
  std::snprintf(name, sizeof(name), "g%03d_i%02d_%dx%d_%dbit%s.png", group, index, image.width,
                image.height, image.bitCount, image.png ? "_png" : "");
  return FromUtf8(name);
}

bool WriteWholeFile(const std::u16string& path, const uint8_t* bytes, uint64_t size) {
  UniqueHandle file(CreateFileW(Wide(path), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file) return false;
  DWORD written = 0;
  const bool ok = WriteFile(file.get(), bytes, static_cast<DWORD>(size), &written, nullptr) &&
                  written == size;
  file.Reset();
  if (!ok) DeleteFileW(Wide(path));  // no half-written picture is left behind
  return ok;
}

// The image decoded the way the image pane draws it, as PNG bytes.
int EncodeImage(ThreadContext& ctx, const DocumentImage& image, RegisteredBlock& png,
                uint64_t& pngBytes) {
  UniqueIcon icon;
  const IconImageKind kind = image.png ? IconImageKind::kPng : IconImageKind::kDib;
  if (!IconFromImage(ctx, image.data, image.bytes, kind, image.width, image.height, icon)) return 0;
  IconRgba rgba;
  if (!IconToRgba(ctx, icon.get(), rgba)) return 0;
  icon.Reset();  // drawn: the icon goes at once
  return EncodePngRgba(ctx, rgba.pixels.get(), static_cast<uint32_t>(rgba.width),
                       static_cast<uint32_t>(rgba.height), png, pngBytes, kSiteEncode);
}

bool ParseArguments(const std::vector<std::u16string>& args, ExportRequest& request) {
  for (size_t i = 0; i < args.size(); ++i) {
    if (args[i] == u"--group" && i + 1 < args.size()) {
      const std::string number = ToUtf8(args[++i]);
      char* end = nullptr;
      const long value = std::strtol(number.c_str(), &end, 10);
      if (number.empty() || *end != '\0' || value < 1 || value > 100000) {
        WriteErr("zorvexc export: --group takes a group number from 1\n");
        return false;
      }
      request.group = static_cast<int>(value);
    } else if (args[i] == u"-o" && i + 1 < args.size()) {
      request.folder = args[++i];
    } else if (!args[i].empty() && args[i][0] == u'-') {
      WriteErr("zorvexc export: unknown or incomplete option " + ToUtf8(args[i]) + "\n");
      return false;
    } else if (request.file.empty()) {
      request.file = args[i];
    } else {
      WriteErr("zorvexc export: only one FILE is exported at a time\n");
      return false;
    }
  }
  if (request.file.empty() || request.folder.empty()) {
    WriteErr("zorvexc export: FILE and -o DIR are needed (see zorvexc --help)\n");
    return false;
  }
  return true;
}

}  // namespace

int RunExportCommand(const std::vector<std::u16string>& args) {
  ExportRequest request;
  if (!ParseArguments(args, request)) return 2;

  ThreadContext ctx;
  SelectLanguage(ctx, 0);
  ThreadServices services(ctx);
  IconDocument doc;
  std::vector<DocumentGroup> groups;
  if (!LoadIconDocument(ctx, doc, request.file) || !ReadDocumentGroups(ctx, doc, groups)) {
    WriteErr(ToUtf8(request.file) + ": " + ErrorLineText(ctx) + "\n");
    CloseDocument(ctx, &doc);
    return 1;
  }
  if (request.group > static_cast<int>(groups.size())) {
    WriteErr("zorvexc export: " + ToUtf8(request.file) + " has " + std::to_string(groups.size()) +
             " groups, no group " + std::to_string(request.group) + "\n");
    CloseDocument(ctx, &doc);
    return 2;
  }
  std::u16string folder = request.folder;
  if (folder.back() != u'\\' && folder.back() != u'/') folder += u'\\';
  if (!CreateDirectoryW(Wide(request.folder), nullptr) && GetLastError() != ERROR_ALREADY_EXISTS) {
    WriteErr("zorvexc export: cannot create the folder " + ToUtf8(request.folder) + "\n");
    CloseDocument(ctx, &doc);
    return 1;
  }

  int status = 0;
  for (size_t g = 0; g < groups.size(); ++g) {
    const int groupNumber = static_cast<int>(g) + 1;
    if (request.group != 0 && groupNumber != request.group) continue;
    for (size_t i = 0; i < groups[g].images.size(); ++i) {
      const DocumentImage& image = groups[g].images[i];
      const std::u16string path = folder + ImageFileName(groupNumber, static_cast<int>(i) + 1, image);
      RegisteredBlock png;
      uint64_t pngBytes = 0;
      ctx.error = 0;
      if (!EncodeImage(ctx, image, png, pngBytes)) {
        WriteErr(ToUtf8(path) + ": " + ErrorLineText(ctx) + "\n");
        status = 1;
        continue;
      }
      if (!WriteWholeFile(path, png.get(), pngBytes)) {
        WriteErr(ToUtf8(path) + ": cannot write the file\n");
        status = 1;
        continue;
      }
      WriteOut(ToUtf8(path) + "\n");
    }
  }
  CloseDocument(ctx, &doc);
  return status;
}

}  // namespace zx
