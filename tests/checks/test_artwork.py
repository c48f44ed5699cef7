#!/usr/bin/env python3
"""The generated artwork read back with Pillow: ten 32 x 32 PNG pictures and
29 packed 16 x 16 icons, each a real picture (several colours, partly
transparent) and each different from the others."""
import io
import os
import struct
import subprocess
import sys
import tempfile
import zlib

from PIL import Image

ROOT = os.environ.get('ZX_ROOT', os.path.join(os.path.dirname(__file__), '..', '..'))


def check_picture(name, image, size, failures):
    if image.size != (size, size):
        failures.append('%s is %dx%d' % (name, image.size[0], image.size[1]))
    rgba = image.convert('RGBA')
    alphas = [p[3] for p in rgba.getdata()]
    opaque = sum(1 for a in alphas if a > 200)
    if opaque < size * size // 10 or opaque == size * size:
        failures.append('%s: %d opaque pixels of %d' % (name, opaque, size * size))
    colours = {p[:3] for p in rgba.getdata() if p[3] > 200}
    if len(colours) < 3:
        failures.append('%s has %d colours' % (name, len(colours)))
    return rgba.tobytes()


def main():
    failures = []
    seen = {}
    with tempfile.TemporaryDirectory() as folder:
        rc = os.path.join(folder, 'artwork.rc')
        subprocess.run([sys.executable, os.path.join(ROOT, 'tools', 'make_artwork.py'), folder, rc], check=True)
        items = {}
        for line in open(rc):
            number, _, path = line.split(None, 2)
            items[int(number)] = path.strip().strip('"')
        if sorted(items) != list(range(10)) + list(range(20, 49)):
            failures.append('items %s' % sorted(items))
        for item, path in sorted(items.items()):
            data = open(path, 'rb').read()
            if item < 10:
                if data[:8] != b'\x89PNG\r\n\x1a\n':
                    failures.append('item %d is not a PNG file' % item)
                    continue
                pixels = check_picture('item %d' % item, Image.open(io.BytesIO(data)), 32, failures)
            else:
                packed, unpacked = struct.unpack_from('<II', data)
                if packed != len(data) - 8:
                    failures.append('item %d: packed length %d of %d' % (item, packed, len(data) - 8))
                ico = zlib.decompress(data[8:8 + packed])
                if len(ico) != unpacked:
                    failures.append('item %d: unpacked %d, header says %d' % (item, len(ico), unpacked))
                pixels = check_picture('item %d' % item, Image.open(io.BytesIO(ico)), 16, failures)
            if pixels in seen:
                failures.append('item %d looks like item %d' % (item, seen[pixels]))
            seen[pixels] = item
    for failure in failures:
        print('FAIL:', failure)
    print('%d passed, %d failed' % (39 - min(len(failures), 39), len(failures)))
    return 1 if failures else 0


if __name__ == '__main__':
    sys.exit(main())
