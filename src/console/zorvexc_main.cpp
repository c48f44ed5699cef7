// zorvexc: the console companion of Zorvex. It opens files through the same
// detection and readers as the program and reports what they hold.
#include <windows.h>

#include <string>
#include <vector>

#include "console/console_output.h"
#include "console/convert_command.h"
#include "console/export_command.h"
#include "console/info_command.h"
#include "console/remove_command.h"
#include "console/save_command.h"
#include "core/win_text.h"

namespace {

const char kUsage[] =
    "Usage: zorvexc COMMAND [OPTIONS] FILE...\n"
    "\n"
    "Commands:\n"
    "  info [--json] [--lang en|fr] FILE...\n"
    "      Lists each file's container (ico, pe or ne) and every icon group with its\n"
    "      images: width, height, bit count, PNG or DIB, byte length. An .ico file's\n"
    "      entries are listed as one group each. With --json, one JSON object per file\n"
    "      per line; a file that cannot be opened gets the message number, site and\n"
    "      text the program's error panel would show (in the chosen language).\n"
    "  export FILE [--group N] -o DIR\n"
    "      Writes every image of every group (or of group N, counted from 1 as info\n"
    "      lists them) into DIR as a 32-bit RGBA PNG file, decoded the way the image\n"
    "      pane draws it: gGGG_iII_WxH_Dbit.png, with _png added for a PNG image.\n"
    "  remove (--groups LIST | --images LIST --group N) FILE\n"
    "      Takes icons out of FILE in place, without asking: the groups (for an .ico\n"
    "      file, the images) numbered in LIST, or the images in LIST of group N, as\n"
    "      info lists them (LIST: 1,3,5-7). A removal that is refused or fails leaves\n"
    "      the file unchanged.\n"
    "  convert --to LIST [--uncompress] [--sources LIST] [--recursive] -o DEST SOURCE...\n"
    "      Converts every SOURCE file (with --recursive: every matching file of the\n"
    "      SOURCE folders and their subfolders) into the folder DEST as the program's\n"
    "      batch conversion does. --to: ico, icl-ne, icl-pe, dll or all, separated by\n"
    "      commas; --sources: the accepted kinds pe-cpl, pe-dll, pe-drv, pe-exe,\n"
    "      pe-icl, pe-ocx, pe-scr, ne-dll, ne-exe, ne-icl, ico (default: all). An\n"
    "      output never replaces a file: name_1.ico, name_2.ico... A progress line\n"
    "      runs meanwhile; Ctrl+C stops before the next target. Ends with the six\n"
    "      counters and the paths of the conversion log and work list; exit status\n"
    "      0 when no error was counted.\n"
    "\n"
    "Exit status: 0 when every file was read (every image written), 1 when any\n"
    "failed, 2 for a usage error.\n";

}  // namespace

int wmain(int argc, wchar_t** argv) {
  std::vector<std::u16string> args;
  for (int i = 1; i < argc; ++i) args.push_back(zx::FromWide(argv[i]));
  if (args.empty() || args[0] == u"--help" || args[0] == u"-h" || args[0] == u"help") {
    zx::WriteOut(kUsage);
    return args.empty() ? 2 : 0;
  }
  const std::u16string command = args[0];
  args.erase(args.begin());
  if (command == u"info") return zx::RunInfoCommand(args);
  if (command == u"export") return zx::RunExportCommand(args);
  if (command == u"save") return zx::RunSaveCommand(args);
  if (command == u"remove") return zx::RunRemoveCommand(args);
  if (command == u"convert") return zx::RunConvertCommand(args);
  zx::WriteErr("zorvexc: unknown command (see zorvexc --help)\n");
  return 2;
}
