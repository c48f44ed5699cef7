"""zorvexc info on Wine's own modules agrees with wrestool and with the
resources themselves: the same groups in the same order, the same images in
group-directory order. Modules and 16-bit files without icons get the panel's
message."""
import glob
import os
import re
import shutil
import struct
import subprocess
import tempfile

from zorvex_tools import Checks, info_json

WINE_DLLS = "/usr/lib/x86_64-linux-gnu/wine/x86_64-windows"
WINE_FONTS = "/usr/share/wine/fonts"
PNG_SIGNATURE = b"\x89PNG\r\n\x1a\n"

checks = Checks()
work = tempfile.mkdtemp(prefix="zx_modules_")


def wrestool_groups(path):
    """Names of the RT_GROUP_ICON resources as wrestool lists them, first language only."""
    out = subprocess.run(["wrestool", "-l", "--type=14", path], capture_output=True, text=True).stdout
    names = []
    for line in out.splitlines():
        match = re.search(r"--name=('([^']*)'|(\d+))", line)
        if not match:
            continue
        name = match.group(2) if match.group(2) is not None else int(match.group(3))
        if name not in names:
            names.append(name)
    return names


def extracted(path, type_id):
    """{name: bytes} of every resource of the type, extracted raw by wrestool."""
    folder = os.path.join(work, f"{os.path.basename(path)}_{type_id}")
    os.makedirs(folder, exist_ok=True)
    subprocess.run(["wrestool", "-x", "--raw", f"--type={type_id}", "-o", folder, path],
                   capture_output=True, check=True)
    resources = {}
    prefix = os.path.basename(path) + f"_{type_id}_"
    for file in sorted(os.listdir(folder)):
        # file_TYPE_NAME_LANGUAGE[.ext]; names may hold underscores.
        rest = re.sub(r"\.(ico|png|cur|bin)$", "", file)
        if not rest.lower().startswith(prefix.lower()):
            continue
        name = rest[len(prefix):].rsplit("_", 1)[0]
        key = int(name) if name.isdigit() else name
        resources.setdefault(key, open(os.path.join(folder, file), "rb").read())
    return resources


def expected_images(group, icons):
    count = struct.unpack_from("<H", group, 4)[0]
    images = []
    for i in range(count):
        entry_bits, = struct.unpack_from("<H", group, 6 + 14 * i + 6)
        icon_id, = struct.unpack_from("<H", group, 6 + 14 * i + 12)
        data = icons[icon_id]
        if data[:8] == PNG_SIGNATURE:
            width, height = struct.unpack_from(">II", data, 16)
            images.append({"width": width & 0xFFFF, "height": height & 0xFFFF, "bits": entry_bits,
                           "png": True, "bytes": len(data)})
        else:
            width, height2, _, bits = struct.unpack_from("<iiHH", data, 4)
            images.append({"width": width, "height": height2 // 2, "bits": bits, "png": False,
                           "bytes": len(data)})
    return images


modules = []
for path in sorted(glob.glob(os.path.join(WINE_DLLS, "*"))):
    if os.path.splitext(path)[1] in (".dll", ".exe", ".cpl", ".ocx", ".drv", ".scr") and wrestool_groups(path):
        modules.append(path)
names = [os.path.basename(m) for m in modules]
for wanted in ("shell32.dll", "comctl32.dll", "user32.dll", "notepad.exe"):
    checks.check(wanted in names, f"{wanted} carries icon groups")

status, objects = info_json(*modules)
checks.check(status == 0, f"every module with icons opens: status {status}")
for path, obj in zip(modules, objects):
    name = os.path.basename(path)
    groups = wrestool_groups(path)
    if "error" in obj:
        checks.check(False, f"{name}: {obj['error']}")
        continue
    checks.check(obj["container"] == "pe", f"{name}: container {obj['container']}")
    listed = obj["groups"]
    labels = [g if isinstance(g, str) else f"#{g}" for g in groups]
    checks.check([g["label"] for g in listed] == labels,
                 f"{name}: labels {[g['label'] for g in listed][:8]}... vs wrestool {labels[:8]}...")
    group_data = extracted(path, 14)
    icons = extracted(path, 3)
    for group_name, group in zip(groups, listed):
        expected = expected_images(group_data[group_name], icons)
        checks.check(group["images"] == expected, f"{name} {group_name}: {group['images']} vs {expected}")
    if name == "shell32.dll":
        checks.check(len(listed) == 184, f"shell32.dll: {len(listed)} groups")

# Modules and 16-bit files without icons.
font = os.path.join(WINE_FONTS, "coure.fon")
checks.check(os.path.exists(font), "Wine's raster fonts are installed (fonts-wine)")
font_as_dll = os.path.join(work, "coure.dll")
font_as_icl = os.path.join(work, "coure.icl")
shutil.copy(font, font_as_dll)
shutil.copy(font, font_as_icl)
cases = [(os.path.join(WINE_DLLS, "amsi.dll"), 54, 50), (os.path.join(WINE_DLLS, "explorer.exe"), 54, 50),
         (font, 54, 50), (font_as_dll, 54, 50), (font_as_icl, 37, 71)]
status, objects = info_json(*[path for path, _, _ in cases])
checks.check(status == 1, f"files without icons: status {status}")
for (path, message, site), obj in zip(cases, objects):
    error = obj.get("error", {})
    checks.check((error.get("message"), error.get("site")) == (message, site),
                 f"{os.path.basename(path)}: {obj}, expected {message}/{site}")
checks.finish()
