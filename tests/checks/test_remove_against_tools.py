"""zorvexc remove against independent tools: icon groups taken out of a copy
of one of Wine's own programs are gone for wrestool while every other
resource it extracts is byte-identical and the header's characteristics are
unchanged; an .ico file loses the chosen image for icotool; refused and
malformed requests change nothing."""
import hashlib
import os
import re
import shutil
import struct
import subprocess
import sys
import tempfile

sys.path.insert(0, os.path.dirname(__file__))
from ne_library import dib as ne_dib, ne_library  # noqa: E402
from zorvex_tools import Checks, icotool_list, info_json, windows_path, zorvexc  # noqa: E402

WINE_PROGRAMS = "/usr/lib/x86_64-linux-gnu/wine/x86_64-windows"

checks = Checks()
work = tempfile.mkdtemp(prefix="zx_remove_")


def resources(path):
    """Every resource wrestool extracts, by (type, name, language): its bytes' digest."""
    folder = tempfile.mkdtemp(dir=work)
    subprocess.run(["wrestool", "-x", "--raw", "-o", folder, path], capture_output=True, check=True)
    listing = subprocess.run(["wrestool", "-l", path], capture_output=True, text=True, check=True).stdout
    items = {}
    for line in listing.splitlines():
        t = re.search(r"--type=('([^']*)'|(\d+))", line)
        n = re.search(r"--name=('([^']*)'|(\d+))", line)
        lang = re.search(r"--language=(\d+)", line)
        key = (t.group(2) or t.group(3), n.group(2) or n.group(3), lang.group(1) if lang else "")
        items[key] = None
    prefix = os.path.basename(path) + "_"
    digests = {}
    for file in os.listdir(folder):
        data = open(os.path.join(folder, file), "rb").read()
        digests[file[len(prefix):]] = hashlib.sha256(data).hexdigest()
    return items, digests


def characteristics(path):
    data = open(path, "rb").read(1024)
    header, = struct.unpack_from("<I", data, 60)
    return struct.unpack_from("<H", data, header + 22)[0]


def group_icon_ids(path, name):
    raw = subprocess.run(["wrestool", "-x", "--raw", "--type=14", f"--name={name}", path],
                         capture_output=True, check=True).stdout
    count, = struct.unpack_from("<H", raw, 4)
    return [struct.unpack_from("<H", raw, 6 + 14 * i + 12)[0] for i in range(count)]


# A program with three icon groups among hundreds of other resources.
program = os.path.join(work, "taskmgr.exe")
shutil.copy(os.path.join(WINE_PROGRAMS, "taskmgr.exe"), program)
_, (before_info,) = info_json(program)
labels = [g["label"] for g in before_info["groups"]]
checks.check(len(labels) == 3, f"taskmgr.exe has three groups: {labels}")
before_items, before_files = resources(program)
before_word = characteristics(program)
removed = [label.lstrip("#") for label in labels[:2]]
kept = labels[2].lstrip("#")
kept_ids = set(group_icon_ids(program, kept))
removed_ids = set()
for name in removed:
    removed_ids.update(group_icon_ids(program, name))

status, _ = zorvexc("remove", "--groups", "1,2", windows_path(program))
checks.check(status == 0, "zorvexc remove --groups 1,2 succeeds")
after_items, after_files = resources(program)
gone = {k for k in before_items if k[0] == "14" and k[1] in removed}
gone |= {k for k in before_items if k[0] == "3" and int(k[1]) in removed_ids - kept_ids}
checks.check(len([k for k in gone if k[0] == "14"]) == 2 and [k for k in gone if k[0] == "3"],
             f"two groups and their icons to go: {sorted(gone)}")
checks.check(not before_word & 0x2000, f"taskmgr.exe is an executable ({before_word:#06x})")
checks.check(set(after_items) == set(before_items) - gone,
             f"wrestool lists everything but the two groups and their icons "
             f"(missing {sorted(set(before_items) - gone - set(after_items))[:5]}, "
             f"extra {sorted(set(after_items) - (set(before_items) - gone))[:5]})")
changed = [f for f, digest in after_files.items() if before_files.get(f) != digest]
checks.check(not changed, f"every resource left is byte-identical: {changed[:5]}")
checks.check(characteristics(program) == before_word,
             f"characteristics {characteristics(program):#06x} are {before_word:#06x} again")
_, (after_info,) = info_json(program)
checks.check([g["label"] for g in after_info["groups"]] == labels[2:], "zorvexc info lists the kept group")
checks.check(not [f for f in os.listdir(work) if f.lower().endswith(".tmp")], "no temporary file left")


def dib(width, depth, seed):
    rows = ((width * depth + 31) // 32) * 4 * width + ((width + 31) // 32) * 4 * width
    colours = 4 * (1 << depth) if depth <= 8 else 0
    header = struct.pack("<IiiHHIIiiII", 40, width, 2 * width, 1, depth, 0, 0, 0, 0, 0, 0)
    return header + bytes((seed + i * 7) & 0xFF for i in range(colours + rows))


def ico(images):
    out = struct.pack("<HHH", 0, 1, len(images))
    offset = 6 + 16 * len(images)
    for width, depth, data in images:
        out += struct.pack("<BBBBHHII", width, width, 16 if depth == 4 else 0, 0, 1, depth, len(data), offset)
        offset += len(data)
    return out + b"".join(data for _, _, data in images)


images = [(16, 4, dib(16, 4, 1)), (32, 8, dib(32, 8, 2)), (48, 32, dib(48, 32, 3))]
icon = os.path.join(work, "three.ico")
open(icon, "wb").write(ico(images))
status, _ = zorvexc("remove", "--groups", "2", windows_path(icon))
checks.check(status == 0, "zorvexc remove --groups 2 on an .ico succeeds")
listed = icotool_list(icon)
checks.check([(e.get("width"), e.get("bit-depth")) for e in listed] == [("16", "4"), ("48", "32")],
             f"icotool lists the first and third images: {listed}")
data = open(icon, "rb").read()
checks.check(data == ico([images[0], images[2]]), "the kept images and their entries are unchanged")

# Refusals and usage errors leave the file alone.
before = open(icon, "rb").read()
for args, expected in ((["--groups", "1,2"], 1), (["--groups", "3"], 1), (["--images", "1"], 2),
                       (["--groups", "x"], 2), (["--groups", "1", "--images", "1", "--group", "1"], 2)):
    status, _ = zorvexc("remove", *args, windows_path(icon))
    checks.check(status == expected, f"zorvexc remove {' '.join(args)} exits {status}, not {expected}")
    checks.check(open(icon, "rb").read() == before, f"zorvexc remove {' '.join(args)} leaves the file")



def ne_groups(path):
    """Each group wrestool lists in an NE library, as the list of its icons' bytes."""
    listing = subprocess.run(["wrestool", "-l", "--type=14", path], capture_output=True, text=True).stdout
    groups = []
    for name in re.findall(r"--name=(\d+)", listing):
        ids = group_icon_ids(path, name)
        groups.append([subprocess.run(["wrestool", "-x", "--raw", "--type=3", f"--name={i}", path],
                                      capture_output=True, check=True).stdout for i in ids])
    return groups


def same_image(written, source):
    """Byte-identical, allowing the zero padding of an NE alignment unit."""
    return written[:len(source)] == source and not written[len(source):].strip(b"\0")


# NE icon libraries: groups and single icons go, the names go with them.
pictures = {i: ne_dib(16 * (1 + i % 2), 16 * (1 + i % 2), 4 if i % 2 else 8) for i in range(1, 6)}
library = ne_library(4, [(1, [1, 2], [4, 8], "first"), (2, [3], [4], "second"), (3, [4, 5], [8, 4], "third")],
                     list(pictures.items()))
for args, expected in ((["--groups", "2"], [[1, 2], [4, 5]]),
                       (["--images", "1", "--group", "3"], [[1, 2], [3], [5]]),
                       (["--images", "1,2", "--group", "1"], [[3], [4, 5]])):
    path = os.path.join(work, "library.icl")
    open(path, "wb").write(library)
    status, _ = zorvexc("remove", *args, windows_path(path))
    checks.check(status == 0, f"zorvexc remove {' '.join(args)} on an NE library succeeds")
    groups = ne_groups(path)
    checks.check(len(groups) == len(expected) and all(
        len(g) == len(e) and all(same_image(w, pictures[i]) for w, i in zip(g, e))
        for g, e in zip(groups, expected)), f"wrestool finds the groups {expected} after {args}")
    _, (info,) = info_json(path)
    checks.check(all(not g["label"].isalpha() for g in info["groups"]),
                 f"the group names are gone: {[g['label'] for g in info['groups']]}")

# The only group of a library that holds a further icon: the empty library.
path = os.path.join(work, "lonely.icl")
open(path, "wb").write(ne_library(0, [(1, [1, 2], [4, 8], "only")], list(pictures.items())[:3]))
status, _ = zorvexc("remove", "--images", "1-2", "--group", "1", windows_path(path))
checks.check(status == 0, "zorvexc remove of every icon of the only group succeeds")
data = open(path, "rb").read()
checks.check(len(data) == 156 and data[0x96:] == b"\x03ICL\0\0", f"the empty library is left ({len(data)} bytes)")
checks.check(not ne_groups(path), "wrestool finds no group in the empty library")

shutil.rmtree(work, ignore_errors=True)
checks.finish()
