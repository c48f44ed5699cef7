"""zorvexc export against Pillow: icon files made by Pillow, ImageMagick and
icotool, with 1-, 4-, 8-, 24- and 32-bit DIB images and PNG images, must
export to pictures whose transparency and opaque colours are Pillow's
decoding of the same images."""
import io
import os
import re
import struct
import subprocess
import sys
import tempfile

from PIL import Image, IcoImagePlugin

sys.path.insert(0, os.path.dirname(__file__))
import zorvex_tools  # noqa: E402
from zorvex_tools import Checks, windows_path, zorvexc  # noqa: E402

WINE_DLLS = "/usr/lib/x86_64-linux-gnu/wine/x86_64-windows"
NAME = re.compile(r"g(\d{3})_i(\d{2})_(\d+)x(\d+)_(\d+)bit(_png)?\.png$")


def picture(size, palette=None, partial_alpha=False):
    """A round picture on a transparent ground; with a palette, every pixel
    (transparent ones too) takes one of its colours."""
    im = Image.new("RGBA", (size, size))
    px = im.load()
    for y in range(size):
        for x in range(size):
            inside = (x - size / 2 + 0.5) ** 2 + (y - size / 2 + 0.5) ** 2 <= (size / 2.2) ** 2
            alpha = 255 if inside else 0
            if partial_alpha and inside and x == y:
                alpha = 96
            if palette:
                colour = palette[(x // 3 + y // 5) % len(palette)] if inside else palette[0]
            else:
                colour = (x * 255 // size, y * 255 // size, (x * 7 + y * 3) % 256)
            px[x, y] = colour + (alpha,)
    return im


def spread_palette(count):
    return [((i * 97) % 256, (i * 57 + 20) % 256, (i * 151 + 40) % 256) for i in range(count)]


def make_fixtures(folder):
    """Icon files of every kind; returns their paths."""
    made = []

    def path(name):
        p = os.path.join(folder, name)
        made.append(p)
        return p

    # Pillow: PNG entries by default, DIB entries with bitmap_format="bmp".
    picture(256, partial_alpha=True).save(path("pillow_png.ico"), sizes=[(16, 16), (32, 32), (48, 48), (256, 256)])
    rgba32 = picture(32, partial_alpha=True)
    rgb24 = picture(24).convert("RGB")
    pal8 = picture(16).convert("RGB").quantize(200)
    mono = picture(20).convert("1")
    rgba32.save(path("pillow_dib.ico"), bitmap_format="bmp", sizes=[(32, 32), (24, 24), (16, 16), (20, 20)],
                append_images=[rgb24, pal8, mono])

    # icotool: the depth asked for, from PNG files with few enough colours.
    sources = {1: picture(32, spread_palette(2)[:1] + [(255, 255, 255)]), 4: picture(32, spread_palette(16)),
               8: picture(40, spread_palette(200)), 24: picture(48), 32: picture(48, partial_alpha=True)}
    for bits, im in sources.items():
        src = os.path.join(folder, f"src{bits}.png")
        im.save(src)
        subprocess.run(["icotool", "-c", "-b", str(bits), "-o", path(f"icotool_{bits}.ico"), src], check=True,
                       capture_output=True)
    subprocess.run(["icotool", "-c", "-o", path("icotool_mixed.ico"), os.path.join(folder, "src4.png"),
                    "-r", os.path.join(folder, "src32.png")], check=True, capture_output=True)

    # ImageMagick: resized DIB entries, a palette image, a 256-pixel PNG entry.
    src32 = os.path.join(folder, "src32.png")
    subprocess.run(["convert", src32, "-define", "icon:auto-resize=256,48,16", path("magick_sizes.ico")], check=True)
    subprocess.run(["convert", os.path.join(folder, "src4.png"), "-colors", "16", "-type", "Palette",
                    path("magick_palette.ico")], check=True)
    subprocess.run(["convert", os.path.join(folder, "src1.png"), "-type", "Bilevel", path("magick_mono.ico")],
                   check=True)
    return made


def directory(path):
    """The .ico directory in file order: (width, height, bit count, offset, is PNG)."""
    data = open(path, "rb").read()
    count = struct.unpack_from("<H", data, 4)[0]
    entries = []
    for n in range(count):
        width, height, _, _, _, bits, _, offset = struct.unpack_from("<BBBBHHII", data, 6 + 16 * n)
        png = data[offset:offset + 8] == b"\x89PNG\r\n\x1a\n"
        if not png:
            bits = struct.unpack_from("<H", data, offset + 14)[0]
        entries.append((width or 256, height or 256, bits, offset, png))
    return entries


def pillow_frames(path):
    """Pillow's decoding of every entry, by image offset."""
    ico = IcoImagePlugin.IcoFile(open(path, "rb"))
    frames = {}
    for index, header in enumerate(ico.entry):
        offset = header["offset"] if isinstance(header, dict) else header.offset
        frames[offset] = ico.frame(index).convert("RGBA")
    return frames


def compare(checks, what, ours, theirs):
    if ours.size != theirs.size:
        checks.check(False, f"{what}: size {ours.size}, Pillow {theirs.size}")
        return
    bad_alpha = bad_colour = 0
    first = None
    for (r, g, b, a), (pr, pg, pb, pa) in zip(ours.getdata(), theirs.getdata()):
        if a != pa:
            bad_alpha += 1
        elif a == 255 and (r, g, b) != (pr, pg, pb):
            bad_colour += 1
        else:
            continue
        first = first or ((r, g, b, a), (pr, pg, pb, pa))
    checks.check(bad_alpha == 0 and bad_colour == 0,
                 f"{what}: {bad_alpha} pixels differ in transparency, {bad_colour} opaque pixels in colour "
                 f"(first: ours {first and first[0]}, Pillow {first and first[1]})")


def main():
    checks = Checks()
    covered = set()
    with tempfile.TemporaryDirectory() as folder:
        for icon in make_fixtures(folder):
            name = os.path.basename(icon)
            out = os.path.join(folder, "out_" + name)
            status, text = zorvexc("export", windows_path(icon), "-o", windows_path(out))
            checks.check(status == 0, f"{name}: export exited {status}: {text}")
            entries = directory(icon)
            frames = pillow_frames(icon)
            written = sorted(os.listdir(out)) if os.path.isdir(out) else []
            checks.check(len(written) == len(entries), f"{name}: {len(written)} files for {len(entries)} images")
            checks.check(len(text.splitlines()) == len(written), f"{name}: one line per written file: {text}")
            for file in written:
                match = NAME.match(file)
                checks.check(match is not None, f"{name}: file name {file}")
                if not match:
                    continue
                group, index, width, height, bits, png = match.groups()
                width, height, bits, group = int(width), int(height), int(bits), int(group)
                entry = entries[group - 1]
                checks.check(int(index) == 1, f"{name}: {file} is the only image of its group")
                checks.check((width, height, bits, bool(png)) == (entry[0], entry[1], entry[2], entry[4]),
                             f"{name}: {file} does not describe entry {group} {entry}")
                ours = Image.open(os.path.join(out, file))
                checks.check(ours.mode == "RGBA", f"{name}: {file} is {ours.mode}, not RGBA")
                compare(checks, f"{name} {file}", ours.convert("RGBA"), frames[entry[3]])
                covered.add(("PNG" if entry[4] else "DIB", entry[2]))

        wanted = {("DIB", 1), ("DIB", 4), ("DIB", 8), ("DIB", 24), ("DIB", 32), ("PNG", 32)}
        checks.check(wanted <= covered, f"fixtures cover {sorted(covered)}, not all of {sorted(wanted)}")

        # Wine's own modules: each group as wrestool rebuilds it into an .ico
        # file, decoded by Pillow, against our export of the same group.
        for module in ("notepad.exe", "user32.dll", "comctl32.dll"):
            path = os.path.join(WINE_DLLS, module)
            groups_dir = os.path.join(folder, module + "_groups")
            os.makedirs(groups_dir)
            subprocess.run(["wrestool", "-x", "--type=14", "-o", groups_dir, path], check=True, capture_output=True)
            listing = subprocess.run(["wrestool", "-l", "--type=14", path], capture_output=True, text=True).stdout
            names = []
            for line in listing.splitlines():
                found = re.search(r"--name=('([^']*)'|(\d+))", line)
                name = found.group(2) if found.group(2) is not None else found.group(3)
                if name not in names:
                    names.append(name)
            out = os.path.join(folder, "out_" + module)
            status, _ = zorvexc("export", windows_path(path), "-o", windows_path(out))
            checks.check(status == 0, f"{module}: export exited {status}: {zorvex_tools.last_errors[-2000:]}")
            written = sorted(os.listdir(out)) if os.path.isdir(out) else []
            compared = 0
            for number, name in enumerate(names, 1):
                icos = [f for f in os.listdir(groups_dir) if f.startswith(f"{module}_14_{name}_")]
                if len(icos) != 1:
                    checks.check(False, f"{module} group {name}: wrestool gave {icos}")
                    continue
                group_ico = os.path.join(groups_dir, icos[0])
                entries, frames = directory(group_ico), pillow_frames(group_ico)
                mine = [f for f in written if f.startswith(f"g{number:03d}_")]
                checks.check(len(mine) == len(entries), f"{module} group {name}: {len(mine)} pictures "
                             f"for {len(entries)} images")
                for file in mine:
                    # Pillow orders the frames its own way: match them by image offset.
                    entry = entries[int(NAME.match(file).group(2)) - 1]
                    compare(checks, f"{module} {file}", Image.open(os.path.join(out, file)).convert("RGBA"),
                            frames[entry[3]])
                    compared += 1
            checks.check(compared > 0, f"{module}: pictures compared")

        # One group only, counted from 1 as info lists them.
        icon = os.path.join(folder, "pillow_png.ico")
        out = os.path.join(folder, "group2")
        status, text = zorvexc("export", windows_path(icon), "--group", "2", "-o", windows_path(out))
        files = sorted(os.listdir(out)) if os.path.isdir(out) else []
        checks.check(status == 0 and files == ["g002_i01_32x32_32bit_png.png"], f"--group 2: {status} {files}")

        # Usage errors and unreadable files.
        for args, expected in ((["export", windows_path(icon)], 2),
                               (["export", windows_path(icon), "--group", "9", "-o", windows_path(out)], 2),
                               (["export", windows_path(icon), "--group", "0", "-o", windows_path(out)], 2),
                               (["export", windows_path(os.path.join(folder, "src4.png")), "-o",
                                 windows_path(out)], 1)):
            status, _ = zorvexc(*args)
            checks.check(status == expected, f"zorvexc {' '.join(args[2:])}: exit {status}, expected {expected}")
    checks.finish()


if __name__ == "__main__":
    main()
