"""zorvexc save against independent tools: Wine's own modules and .ico files
saved to every target are read back by wrestool and icotool with every group
and image; kept images are byte-identical to their sources, unpacked PNG
images decode (Pillow) to the colours of the PNG they came from, and a round
trip through every format gives the original images back."""
import io
import os
import re
import struct
import subprocess
import sys
import tempfile

from PIL import Image

sys.path.insert(0, os.path.dirname(__file__))
from zorvex_tools import (Checks, ico_images, info_json, module_groups, same_groups, same_image,  # noqa: E402
                          windows_path, zorvexc)

WINE_DLLS = "/usr/lib/x86_64-linux-gnu/wine/x86_64-windows"
PNG_SIGNATURE = b"\x89PNG\r\n\x1a\n"
TARGETS = {"ico": ".ico", "icl-ne": ".icl", "icl-pe": ".icl", "dll": ".dll"}

checks = Checks()
work = tempfile.mkdtemp(prefix="zx_save_")


def save(source, target, output, *options):
    status, _ = zorvexc("save", "--to", target, *options, windows_path(source), "-o",
                        windows_path(output))
    return status


# ---- Wine's modules to every target, keeping images -------------------------
for module in ("shell32.dll", "comctl32.dll", "user32.dll", "notepad.exe"):
    source = os.path.join(WINE_DLLS, module)
    expected = module_groups(source, work)
    for target, extension in TARGETS.items():
        output = os.path.join(work, f"{module}.{target}{extension}")
        checks.check(save(source, target, output) == 0, f"{module} to {target}")
        if target == "ico":
            checks.check(len(subprocess.run(["icotool", "-l", output], capture_output=True,
                                            text=True).stdout.splitlines()) ==
                         sum(len(g) for g in expected), f"{module} to ico: icotool lists every image")
            written = ico_images(open(output, "rb").read())
            flat = [image for group in expected for image in group]
            checks.check(len(written) == len(flat) and all(map(same_image, written, flat)),
                         f"{module} to ico: images byte-identical")
        else:
            checks.check(same_groups(module_groups(output, work), expected),
                         f"{module} to {target}: wrestool reads every group byte-identical")
        status, (obj,) = info_json(output)
        checks.check(status == 0 and len(obj.get("groups", [])) ==
                     (sum(len(g) for g in expected) if target == "ico" else len(expected)),
                     f"{module} to {target}: our reader lists every group")

# ---- A selection of groups and of images ------------------------------------
shell32 = os.path.join(WINE_DLLS, "shell32.dll")
all_groups = module_groups(shell32, work)
output = os.path.join(work, "picked.icl")
checks.check(save(shell32, "icl-ne", output, "--groups", "3,5-6") == 0, "groups 3,5-6 to icl-ne")
checks.check(same_groups(module_groups(output, work), [all_groups[2], all_groups[4], all_groups[5]]),
             "the three groups, in order, and nothing else")
output = os.path.join(work, "pictures.dll")
checks.check(save(shell32, "dll", output, "--group", "1", "--images", "2,3") == 0, "two pictures to dll")
checks.check(same_groups(module_groups(output, work), [all_groups[0][1:3]]), "one group with the two pictures")

# ---- Refusals -------------------------------------------------------------------
existing = os.path.join(work, "picked.icl")
checks.check(save(shell32, "icl-ne", existing) == 2, "an existing target is kept without --force")
checks.check(save(shell32, "ico", os.path.join(work, "x.ico"), "--groups", "999") == 1,
             "a group that is not there fails")
checks.check(not os.path.exists(os.path.join(work, "x.ico")), "and leaves no file")
checks.check(save(shell32, "dll", os.path.join(work, "wrong.icl")) == 1, "a .dll named .icl is refused")
checks.check(not os.path.exists(os.path.join(work, "wrong.icl")), "and nothing is written")
checks.check(save(shell32, "ico", os.path.join(work, "icons...")) == 0 and
             os.path.exists(os.path.join(work, "icons.ico")), "icons... becomes icons.ico")
checks.check(save(shell32, "ico", os.path.join(work, "upper.ICO")) == 0, "an upper-case extension is taken")
checks.check(save(shell32, "ico", os.path.join(work, "picture.png")) == 1, "a .png name is refused")


# ---- PNG images unpacked ---------------------------------------------------------
def picture(size):
    im = Image.new("RGBA", (size, size))
    px = im.load()
    for y in range(size):
        for x in range(size):
            inside = (x - size / 2 + 0.5) ** 2 + (y - size / 2 + 0.5) ** 2 <= (size / 2.3) ** 2
            px[x, y] = (x * 255 // size, y * 255 // size, (x * 5 + y * 3) % 256, 255 if inside else 0)
    return im


png_ico = os.path.join(work, "png.ico")
picture(256).save(png_ico, sizes=[(256, 256), (48, 48), (32, 32)])
source_images = ico_images(open(png_ico, "rb").read())
checks.check(all(i[:8] == PNG_SIGNATURE for i in source_images), "Pillow wrote PNG entries")


def decoded(image_bytes):
    """One image through Pillow, as a one-entry .ico of its own."""
    if image_bytes[:8] == PNG_SIGNATURE:
        return Image.open(io.BytesIO(image_bytes)).convert("RGBA")
    width, height2 = struct.unpack_from("<ii", image_bytes, 4)
    header = struct.pack("<HHH", 0, 1, 1) + struct.pack("<BBBBHHII", width % 256, (height2 // 2) % 256, 0, 0,
                                                         1, 32, len(image_bytes), 22)
    return Image.open(io.BytesIO(header + image_bytes)).convert("RGBA")


def same_colours(dib, png):
    a, b = decoded(dib), decoded(png)
    if a.size != b.size:
        return False
    for (r1, g1, b1, a1), (r2, g2, b2, a2) in zip(a.getdata(), b.getdata()):
        if a2 == 255 and (r1, g1, b1, a1) != (r2, g2, b2, 255):
            return False
        if a2 == 0 and a1 != 0:
            return False
    return True


for target, extension in TARGETS.items():
    output = os.path.join(work, f"unpacked_{target}{extension}")
    checks.check(save(png_ico, target, output, "--uncompress") == 0, f"png.ico to {target} unpacked")
    if target == "ico":
        written = ico_images(open(output, "rb").read())
    else:
        written = [image for group in module_groups(output, work) for image in group]
    checks.check(len(written) == len(source_images) and not any(i[:8] == PNG_SIGNATURE for i in written),
                 f"{target}: no PNG image remains")
    checks.check(all(same_colours(d, p) for d, p in zip(written, source_images)),
                 f"{target}: every DIB has the colours of its PNG")

# ---- Round trip ico -> NE icl -> PE icl -> dll -> ico ---------------------------
mixed = os.path.join(work, "mixed.ico")
picture(64).save(mixed, sizes=[(64, 64), (32, 32)])
dib_ico = os.path.join(work, "dib.ico")
picture(48).save(dib_ico, bitmap_format="bmp", sizes=[(48, 48), (16, 16)])
dib_data, mixed_data = open(dib_ico, "rb").read(), open(mixed, "rb").read()
original = ico_images(mixed_data) + ico_images(dib_data)
combined = os.path.join(work, "combined.ico")
count = len(original)
offset = 6 + 16 * count
directory, body = b"", b""
for data in (mixed_data, dib_data):
    for i in range(struct.unpack_from("<H", data, 4)[0]):
        entry = bytearray(data[6 + 16 * i:6 + 16 * i + 16])
        size, image_offset = struct.unpack_from("<II", entry, 8)
        struct.pack_into("<I", entry, 12, offset + len(body))
        directory += bytes(entry)
        body += data[image_offset:image_offset + size]
open(combined, "wb").write(struct.pack("<HHH", 0, 1, count) + directory + body)
steps = [("icl-ne", "trip1.icl"), ("icl-pe", "trip2.icl"), ("dll", "trip3.dll"), ("ico", "trip4.ico")]
current = combined
for target, name in steps:
    output = os.path.join(work, name)
    checks.check(save(current, target, output) == 0, f"round trip: to {target}")
    current = output
checks.check(ico_images(open(current, "rb").read()) == original,
             "round trip: every image comes back byte-identical")
checks.finish()
