"""zorvexc convert against independent tools: a folder of Wine's icon-bearing
modules converted to all four targets gives outputs that wrestool and our
reader read back with every group and image; a second run numbers its names
around the first; the summary, the log and the exit status tell the truth."""
import os
import re
import shutil
import signal
import subprocess
import sys
import tempfile

sys.path.insert(0, os.path.dirname(__file__))
from zorvex_tools import (BIN, WINE, Checks, ico_images, info_json, module_groups,  # noqa: E402
                          same_groups, windows_path, zorvexc)

WINE_DLLS = "/usr/lib/x86_64-linux-gnu/wine/x86_64-windows"
MODULES = ("shell32.dll", "comctl32.dll", "user32.dll", "notepad.exe")

checks = Checks()
work = tempfile.mkdtemp(prefix="zx_convert_")
source = os.path.join(work, "source")
nested = os.path.join(source, "nested")
dest = os.path.join(work, "dest")
os.makedirs(nested)
os.makedirs(dest)
for module in MODULES:
    shutil.copy(os.path.join(WINE_DLLS, module), nested if module == "notepad.exe" else source)
with open(os.path.join(source, "broken.dll"), "wb") as f:
    f.write(b"MZ not really a module")
with open(os.path.join(source, "readme"), "wb") as f:
    f.write(b"no extension: never queued")


def convert(*args):
    return zorvexc("convert", *args)


def summary(out):
    """The six counters of the summary by label."""
    return {m.group(1): int(m.group(2)) for m in re.finditer(r"^([A-Za-z ]+?) : (\d+)$", out, re.M)}


def unix_path(windows):
    """A path zorvexc printed, on this side of Wine."""
    if windows.startswith("Z:"):
        return windows[2:].replace("\\", "/")
    prefix = os.environ.get("WINEPREFIX", os.path.expanduser("~/.wine"))
    return os.path.join(prefix, "drive_c", windows[3:].replace("\\", "/"))


status, out = convert("--to", "all", "--recursive", "-o", windows_path(dest), windows_path(source))
counters = summary(out)
checks.check(status == 0, f"the run counts no error (exit {status}): {out}")
checks.check(counters.get("Files to process") == 5 and counters.get("Processed files") == 5,
             f"the four modules and the broken file are processed: {counters}")
checks.check(counters.get("Files without icon") == 1 and counters.get("Created files") == 16 and
             counters.get("Errors") == 0 and counters.get("Remaining files") == 0, f"counters: {counters}")

for module in MODULES:
    stem = os.path.splitext(module)[0]
    expected = module_groups(os.path.join(WINE_DLLS, module), work)
    images = sum(len(group) for group in expected)
    outputs = {"ico": stem + ".ico", "icl-ne": stem + "_Icl_NE.icl", "dll": stem + ".dll", "icl-pe": stem + ".icl"}
    for target, name in outputs.items():
        path = os.path.join(dest, name)
        if not os.path.exists(path):
            checks.check(False, f"{module} to {target}: {name} was created")
            continue
        if target == "ico":
            listed = subprocess.run(["icotool", "-l", path], capture_output=True, text=True).stdout.splitlines()
            checks.check(len(listed) == images == len(ico_images(open(path, "rb").read())),
                         f"{module} to ico: icotool lists every image")
        else:
            checks.check(same_groups(module_groups(path, work), expected),
                         f"{module} to {target}: wrestool reads every group byte-identical")
        info_status, (obj,) = info_json(path)
        checks.check(info_status == 0 and len(obj.get("groups", [])) == (images if target == "ico" else len(expected))
                     and sum(len(g["images"]) for g in obj["groups"]) == images,
                     f"{module} to {target}: our reader lists every group and image")

log_line = re.search(r"^Log: (.*)$", out, re.M)
list_line = re.search(r"^Work list: (.*)$", out, re.M)
checks.check(log_line is not None and list_line is not None, "the log and work-list paths are printed")
if log_line and list_line:
    log = open(unix_path(log_line.group(1).strip()), "rb").read()
    broken = windows_path(os.path.join(source, "broken.dll")).encode()
    checks.check(log == b"Conversion  (x64)\r\n\r\n" + broken + b"\r\nInfo : The file has no icon\r\n\r\n",
                 f"the log holds the header and one notice: {log!r}")
    work_list = open(unix_path(list_line.group(1).strip()), "rb").read().split(b"\r\n")
    checks.check(work_list[:2] == [b"Conversion  (x64)", b""] and len(work_list) == 2 + 5 + 1,
                 "the work list holds the header and the five paths")

# Converted again into the same folder: every output takes a numbered name.
before = {name: open(os.path.join(dest, name), "rb").read() for name in os.listdir(dest)}
status, out = convert("--to", "ico,dll", "--sources", "pe-dll", "-o", windows_path(dest),
                      windows_path(os.path.join(source, "user32.dll")))
checks.check(status == 0 and summary(out).get("Created files") == 2, f"second run: {out}")
checks.check(os.path.exists(os.path.join(dest, "user32_1.ico")) and os.path.exists(os.path.join(dest, "user32_1.dll")),
             "the second outputs are numbered")
checks.check(all(open(os.path.join(dest, n), "rb").read() == b for n, b in before.items()),
             "no earlier output was touched")

# An unchecked kind is processed but gives nothing.
status, out = convert("--to", "ico", "--sources", "ne-dll", "-o", windows_path(dest),
                      windows_path(os.path.join(source, "user32.dll")))
checks.check(status == 0 and summary(out).get("Processed files") == 1 and summary(out).get("Created files") == 0,
             f"a PE dll under the NE dll box converts nothing: {out}")

# An output that cannot be written is an error, and the exit status says so.
blocked = os.path.join(work, "blocked")
os.makedirs(os.path.join(blocked, "comctl32.ico"))
status, out = convert("--to", "ico", "-o", windows_path(blocked), windows_path(os.path.join(source, "comctl32.dll")))
checks.check(status == 1 and summary(out).get("Errors") == 1, f"a folder named like the output is an error: {out}")

# Ctrl+C stops the run before its end; the summary and the paths still come.
stopped = os.path.join(work, "stopped")
os.makedirs(stopped)
run = subprocess.Popen([WINE, os.path.join(BIN, "zorvexc.exe"), "convert", "--to", "all", "--recursive", "-o",
                        windows_path(stopped), windows_path(WINE_DLLS)],
                       stdin=subprocess.DEVNULL, stdout=subprocess.PIPE, stderr=subprocess.DEVNULL)
# A cancellation counts from the conversion on: the folder walk does not look at it.
first = b""
for line in iter(run.stdout.readline, b""):
    first = line
    if re.match(rb"[1-9]", line):
        break
run.send_signal(signal.SIGINT)
rest, _ = run.communicate(timeout=120)
out = (first + rest).decode("utf-8")
counters = summary(out)
checks.check(run.returncode == 0 and "Stopped by Ctrl+C" in out and
             0 < counters.get("Processed files", 0) < counters.get("Files to process", 0) and
             "Work list: " in out, f"Ctrl+C stops the run early: {out[-600:]}")

# Usage errors.
for args in (["--to", "ico", windows_path(source)],
             ["--to", "png", "-o", windows_path(dest), windows_path(source)],
             ["--to", "ico", "-o", windows_path(dest), windows_path(source)],
             ["--to", "ico", "-o", windows_path(os.path.join(work, "nowhere")), windows_path(source)],
             ["--to", "ico", "-o", windows_path(dest), windows_path(os.path.join(work, "missing.dll"))],
             ["--to", "ico", "--sources", "gif", "-o", windows_path(dest), windows_path(source)]):
    checks.check(convert(*args)[0] == 2, f"usage error: {' '.join(args)}")

shutil.rmtree(work, ignore_errors=True)
checks.finish()
