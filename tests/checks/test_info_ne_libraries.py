"""zorvexc info on 16-bit NE icon libraries agrees with wrestool: the same
groups in the same order, labelled by the names area when it is whole, and
the same images; PNG images are measured by their chunks, not by the length
rounded up to the alignment unit."""
import io
import os
import re
import struct
import subprocess
import tempfile

from PIL import Image

from ne_library import dib, ne_library
from zorvex_tools import Checks, info_json

PNG_SIGNATURE = b"\x89PNG\r\n\x1a\n"

checks = Checks()
work = tempfile.mkdtemp(prefix="zx_ne_")


def png(size):
    img = Image.new("RGBA", (size, size), (0, 0, 0, 0))
    for y in range(size):
        for x in range(size):
            img.putpixel((x, y), ((x * 255) // size, (y * 255) // size, 90, 255 if (x ^ y) & 4 else 0))
    out = io.BytesIO()
    img.save(out, format="PNG")
    return out.getvalue()


def wrestool_resources(path):
    """[(type, id, size)] in wrestool's order."""
    out = subprocess.run(["wrestool", "-l", path], capture_output=True, text=True, check=True).stdout
    listed = []
    for line in out.splitlines():
        match = re.search(r"--type=(\d+) --name=(\d+) .*size=(\d+)", line)
        if match:
            listed.append(tuple(int(g) for g in match.groups()))
    return listed


def extract(path, type_id, name):
    return subprocess.run(["wrestool", "-x", "--raw", f"--type={type_id}", f"--name={name}", path],
                          capture_output=True, check=True).stdout


ICONS = [(1, dib(16, 16, 32)), (2, dib(32, 32, 4)), (3, png(48)), (4, dib(48, 48, 8)), (9, png(20))]
GROUPS = [(1, [1, 2, 3], [32, 4, 32], "Folder"), (7, [4, 9], [8, 24], "Disk drive")]
PNG_LENGTHS = {icon_id: len(data) for icon_id, data in ICONS if data[:8] == PNG_SIGNATURE}

files = []
for shift in (0, 4, 9):
    for kind, options in (("named", {}), ("no_end", {"names_end": False}), ("plain", {"names": False})):
        path = os.path.join(work, f"{kind}_{shift}." + ("dll" if kind == "plain" else "icl"))
        open(path, "wb").write(ne_library(shift, GROUPS, ICONS, **options))
        files.append((path, shift, kind == "named"))

status, objects = info_json(*[path for path, _, _ in files])
checks.check(status == 0, f"every library opens: status {status}")
for (path, shift, named), obj in zip(files, objects):
    name = os.path.basename(path)
    if "error" in obj:
        checks.check(False, f"{name}: {obj['error']}")
        continue
    checks.check(obj["container"] == "ne", f"{name}: container {obj['container']}")
    resources = wrestool_resources(path)
    group_ids = [rid for rtype, rid, _ in resources if rtype == 14]
    sizes = {rid: size for rtype, rid, size in resources if rtype == 3}
    labels = [g[3] for g in GROUPS] if named else [f"#{gid}" for gid in group_ids]
    checks.check([g["label"] for g in obj["groups"]] == labels, f"{name}: labels {obj['groups']}")
    for gid, group in zip(group_ids, obj["groups"]):
        directory = extract(path, 14, gid)
        count = struct.unpack_from("<H", directory, 4)[0]
        checks.check(len(group["images"]) == count, f"{name} #{gid}: {len(group['images'])} images")
        for i, image in enumerate(group["images"]):
            entry_bits, = struct.unpack_from("<H", directory, 6 + 14 * i + 6)
            icon_id, = struct.unpack_from("<H", directory, 6 + 14 * i + 12)
            data = extract(path, 3, icon_id)
            where = f"{name} #{gid} icon {icon_id}"
            if data[:8] == PNG_SIGNATURE:
                width, height = struct.unpack_from(">II", data, 16)
                bits, length = entry_bits, PNG_LENGTHS[icon_id]
                # Stored rounded up to the alignment unit, measured by its chunks.
                checks.check(length <= sizes[icon_id] < length + (1 << shift), f"{where}: wrestool size")
            else:
                width, height2, _, bits = struct.unpack_from("<iiHH", data, 4)
                height, length = height2 // 2, sizes[icon_id]
            expected = {"width": width, "height": height, "bits": bits, "png": data[:8] == PNG_SIGNATURE,
                        "bytes": length}
            checks.check(image == expected, f"{where}: {image} vs {expected}")
checks.finish()
