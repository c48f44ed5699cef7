"""zorvexc info on .ico files made by independent tools agrees with icotool,
and malformed files get a message and site, never a crash."""
import os
import random
import struct
import subprocess
import tempfile

from PIL import Image

from zorvex_tools import Checks, icotool_list, info_json

checks = Checks()
work = tempfile.mkdtemp(prefix="zx_info_")


def picture(size, alpha=True):
    img = Image.new("RGBA", (size, size), (0, 0, 0, 0))
    for y in range(size):
        for x in range(size):
            img.putpixel((x, y), ((x * 255) // size, (y * 255) // size, 128, 255 if (x + y) % 5 else 0))
    return img if alpha else img.convert("RGB")


def make_files():
    files = []
    # Pillow: PNG entries.
    path = os.path.join(work, "pillow_png.ico")
    picture(256).save(path, sizes=[(16, 16), (24, 24), (32, 32), (48, 48), (256, 256)])
    files.append(path)
    # Pillow: 32-bit DIB entries.
    path = os.path.join(work, "pillow_bmp.ico")
    picture(64).save(path, sizes=[(16, 16), (32, 32), (64, 64)], bitmap_format="bmp")
    files.append(path)
    # icotool: DIB entries of 1, 4, 8, 24 and 32 bits, plus a raw PNG entry.
    pngs = []
    for size, depth in [(16, 1), (16, 4), (32, 8), (32, 24), (48, 32)]:
        png = os.path.join(work, f"src_{size}_{depth}.png")
        img = picture(size, alpha=depth == 32)
        if depth <= 8:
            img = img.convert("RGB").quantize(colors=1 << depth)
        img.save(png)
        pngs.append((png, depth))
    for png, depth in pngs:
        path = os.path.join(work, f"icotool_{depth}.ico")
        subprocess.run(["icotool", "-c", "-b", str(depth), "-o", path, png], check=True)
        files.append(path)
    big = os.path.join(work, "big.png")
    picture(256).save(big)
    path = os.path.join(work, "icotool_mixed.ico")
    subprocess.run(["icotool", "-c", "-o", path, "-b", "8", pngs[2][0], "-b", "32", pngs[4][0],
                    "--raw=" + big], check=True)
    files.append(path)
    # ImageMagick.
    path = os.path.join(work, "magick.ico")
    subprocess.run(["convert", big, "-define", "icon:auto-resize=64,48,32,16", path], check=True)
    files.append(path)
    return files


def directory(path):
    """(size, is_png, fields) of every entry, read straight from the file; fields
    are width, height and bit depth in icotool's terms."""
    data = open(path, "rb").read()
    count = struct.unpack_from("<H", data, 4)[0]
    entries = []
    for i in range(count):
        entry_bits = struct.unpack_from("<H", data, 6 + 16 * i + 6)[0]
        size, offset = struct.unpack_from("<II", data, 6 + 16 * i + 8)
        image = data[offset:offset + size]
        is_png = image[:8] == b"\x89PNG\r\n\x1a\n"
        if is_png:
            width, height = struct.unpack_from(">II", image, 16)
            bits = entry_bits
        else:
            width, height2, _, bits = struct.unpack_from("<iiHH", image, 4)
            height = height2 // 2
        entries.append((size, is_png, {"width": str(width), "height": str(height), "bit-depth": str(bits)}))
    return entries


files = make_files()
status, objects = info_json(*files)
checks.check(status == 0, f"exit status 0 for good files, got {status}")
for path, obj in zip(files, objects):
    name = os.path.basename(path)
    checks.check(obj.get("container") == "ico", f"{name}: container {obj}")
    raw = directory(path)
    listed = icotool_list(path)
    if not listed:
        # icotool refuses some files other programs write (Pillow's DIB entries
        # carry a resolution); read those straight from the file instead.
        listed = [fields for _, _, fields in raw]
    groups = obj.get("groups", [])
    checks.check(len(groups) == len(listed), f"{name}: {len(groups)} groups, icotool lists {len(listed)}")
    for n, (group, theirs, (size, is_png, _)) in enumerate(zip(groups, listed, raw), 1):
        image = group["images"][0]
        checks.check(group["label"] == f"#{n}", f"{name}: label {group['label']}")
        checks.check(image["width"] == int(theirs["width"]), f"{name} #{n}: width {image} vs {theirs}")
        checks.check(image["height"] == int(theirs["height"]), f"{name} #{n}: height {image} vs {theirs}")
        checks.check(image["bits"] == int(theirs["bit-depth"]), f"{name} #{n}: bits {image} vs {theirs}")
        checks.check(image["png"] == is_png, f"{name} #{n}: png {image['png']} vs {is_png}")
        checks.check(image["bytes"] == size, f"{name} #{n}: bytes {image['bytes']} vs {size}")

# Malformed files: random damage to real files. Every one gets an answer.
random.seed(1359)
damaged = []
for i in range(60):
    data = bytearray(open(files[i % len(files)], "rb").read())
    for _ in range(random.randint(1, 8)):
        at = random.randrange(min(len(data), 120))
        data[at] = random.randrange(256)
    if i % 4 == 0:
        data = data[:random.randrange(1, len(data))]
    path = os.path.join(work, f"damaged_{i}.ico")
    open(path, "wb").write(bytes(data))
    damaged.append(path)
status, objects = info_json(*damaged)
checks.check(status in (0, 1), f"damaged files: exit status {status}")
for path, obj in zip(damaged, objects):
    if "error" in obj:
        error = obj["error"]
        checks.check(error["message"] > 0 and error["text"] != "", f"{path}: error {error}")
    else:
        checks.check(obj.get("container") == "ico" and obj["groups"], f"{path}: {obj}")

# A failing file among good ones: exit status 1, the others still listed, text in French.
status, objects = info_json(files[0], damaged[0], os.path.join(work, "missing.ico"), lang="fr")
checks.check(status == 1, f"status with a missing file: {status}")
checks.check(objects[0].get("container") == "ico", "the good file is still listed")
checks.check(objects[2].get("error", {}).get("message") == 37 and objects[2]["error"]["site"] == 50,
             f"missing .ico: {objects[2]}")
checks.check(objects[2].get("error", {}).get("text", "") not in ("", "Bad file format"),
             f"French text: {objects[2]}")
checks.finish()
