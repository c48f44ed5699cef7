#!/usr/bin/env python3
"""Draws Zorvex's own pictures: the ten 32 x 32 tool bar pictures (PNG files,
RCDATA items 0-9) and the 16 x 16 icons of the menus, tool bar 2 and the
status bar (RCDATA items 20-48, each a one-image .ico file packed as: packed
length, unpacked length, both 32-bit little-endian, then the zlib stream).

usage: make_artwork.py OUTPUT_FOLDER OUTPUT.rc
Pictures are drawn four times larger and scaled down, for smooth edges.
"""
import io
import math
import os
import struct
import sys
import zlib

from PIL import Image, ImageDraw

SCALE = 4

BLUE = (40, 110, 200)
DARK_BLUE = (22, 60, 130)
LIGHT_BLUE = (150, 195, 240)
YELLOW = (247, 200, 80)
DARK_YELLOW = (200, 145, 30)
GREEN = (60, 165, 80)
DARK_GREEN = (30, 110, 50)
RED = (215, 65, 60)
DARK_RED = (150, 30, 30)
ORANGE = (240, 140, 40)
GREY = (120, 128, 140)
LIGHT_GREY = (225, 230, 236)
WHITE = (255, 255, 255)
PURPLE = (130, 80, 180)
TEAL = (30, 150, 150)
BROWN = (150, 100, 60)
GOLD = (250, 190, 30)
OUTLINE = (60, 60, 70)


class Canvas:
    """A picture of `size` pixels drawn on a grid of 0..size units."""

    def __init__(self, size):
        self.size = size
        self.unit = SCALE * size / (16.0 if size == 16 else 32.0)
        self.image = Image.new('RGBA', (size * SCALE, size * SCALE), (0, 0, 0, 0))
        self.draw = ImageDraw.Draw(self.image)

    def p(self, *xy):
        return [v * self.unit for v in xy]

    def w(self, width):
        return max(1, int(round(width * self.unit)))

    def rect(self, x0, y0, x1, y1, fill, outline=OUTLINE, width=1, radius=0):
        if radius:
            self.draw.rounded_rectangle(self.p(x0, y0, x1, y1), radius * self.unit, fill=fill,
                                        outline=outline, width=self.w(width) if outline else 0)
        else:
            self.draw.rectangle(self.p(x0, y0, x1, y1), fill=fill, outline=outline,
                                width=self.w(width) if outline else 0)

    def ellipse(self, x0, y0, x1, y1, fill, outline=OUTLINE, width=1):
        self.draw.ellipse(self.p(x0, y0, x1, y1), fill=fill, outline=outline,
                          width=self.w(width) if outline else 0)

    def poly(self, points, fill, outline=OUTLINE, width=1):
        flat = self.p(*[v for pt in points for v in pt])
        pts = list(zip(flat[0::2], flat[1::2]))
        self.draw.polygon(pts, fill=fill)
        if outline:
            self.draw.line(pts + [pts[0]], fill=outline, width=self.w(width), joint='curve')

    def line(self, points, colour, width=1):
        flat = self.p(*[v for pt in points for v in pt])
        self.draw.line(list(zip(flat[0::2], flat[1::2])), fill=colour, width=self.w(width), joint='curve')

    def arc(self, box, start, end, colour, width=1):
        self.draw.arc(self.p(*box), start, end, fill=colour, width=self.w(width))

    def finish(self):
        return self.image.resize((self.size, self.size), Image.LANCZOS)


# Shared shapes, on a 32-unit grid for tool bar pictures and 16 for icons.

def folder(c, x0, y0, x1, y1, open_=False):
    tab = (x1 - x0) * 0.4
    c.poly([(x0, y0 + 2), (x0 + 1, y0), (x0 + tab, y0), (x0 + tab + 1.5, y0 + 2), (x1, y0 + 2),
            (x1, y1), (x0, y1)], DARK_YELLOW)
    if open_:
        c.poly([(x0 + 2.5, y0 + 5), (x1 + 2, y0 + 5), (x1 - 1, y1), (x0, y1)], YELLOW)
    else:
        c.rect(x0, y0 + 3.5, x1, y1, YELLOW)


def page(c, x0, y0, x1, y1, fill=WHITE, fold=None, lines=0, line_colour=GREY):
    fold = fold if fold is not None else (x1 - x0) * 0.3
    c.poly([(x0, y0), (x1 - fold, y0), (x1, y0 + fold), (x1, y1), (x0, y1)], fill)
    c.poly([(x1 - fold, y0), (x1 - fold, y0 + fold), (x1, y0 + fold)], LIGHT_GREY)
    step = (y1 - y0 - fold - 1) / (lines + 1) if lines else 0
    for i in range(lines):
        y = y0 + fold + step * (i + 1)
        c.line([(x0 + 1.5, y), (x1 - 1.5, y)], line_colour, 0.8)


def arrow(c, points, colour, width, head):
    c.line(points, colour, width)
    (xa, ya), (xb, yb) = points[-2], points[-1]
    angle = math.atan2(yb - ya, xb - xa)
    left = (xb - head * math.cos(angle - 0.5), yb - head * math.sin(angle - 0.5))
    right = (xb - head * math.cos(angle + 0.5), yb - head * math.sin(angle + 0.5))
    tip = (xb + head * 0.3 * math.cos(angle), yb + head * 0.3 * math.sin(angle))
    c.poly([tip, left, right], colour, outline=None)


def star(c, cx, cy, r, fill):
    pts = []
    for i in range(10):
        radius = r if i % 2 == 0 else r * 0.45
        a = -math.pi / 2 + i * math.pi / 5
        pts.append((cx + radius * math.cos(a), cy + radius * math.sin(a)))
    c.poly(pts, fill)


def gear(c, cx, cy, r, fill):
    pts = []
    teeth = 8
    for i in range(teeth * 4):
        a = i * 2 * math.pi / (teeth * 4)
        radius = r if (i % 4) in (0, 1) else r * 0.78
        pts.append((cx + radius * math.cos(a), cy + radius * math.sin(a)))
    c.poly(pts, fill)
    c.ellipse(cx - r * 0.32, cy - r * 0.32, cx + r * 0.32, cy + r * 0.32, WHITE)


def circle_letter(c, cx, cy, r, fill, letter):
    c.ellipse(cx - r, cy - r, cx + r, cy + r, fill, outline=DARK_BLUE)
    if letter == 'i':
        c.ellipse(cx - r * 0.14, cy - r * 0.62, cx + r * 0.14, cy - r * 0.34, WHITE, outline=None)
        c.rect(cx - r * 0.13, cy - r * 0.18, cx + r * 0.13, cy + r * 0.62, WHITE, outline=None)
    else:  # '?'
        c.arc((cx - r * 0.4, cy - r * 0.62, cx + r * 0.4, cy + r * 0.12), 180, 90, WHITE, r * 0.2)
        c.line([(cx, cy + r * 0.12), (cx, cy + r * 0.3)], WHITE, r * 0.2)
        c.ellipse(cx - r * 0.12, cy + r * 0.45, cx + r * 0.12, cy + r * 0.69, WHITE, outline=None)


# The ten tool bar pictures, in button order 500-509.

def tool_open(c):
    folder(c, 2, 7, 27, 27, open_=True)
    arrow(c, [(22, 16), (22, 5)], GREEN, 3, 5)


def tool_save_as(c):
    c.rect(3, 3, 29, 29, BLUE, outline=DARK_BLUE, radius=2)
    c.rect(8, 3, 24, 12, LIGHT_GREY, outline=DARK_BLUE)
    c.rect(19, 5, 22, 10, DARK_BLUE, outline=None)
    c.rect(7, 17, 25, 29, WHITE, outline=DARK_BLUE)
    c.line([(10, 21), (22, 21)], GREY, 1)
    c.line([(10, 25), (22, 25)], GREY, 1)


def tool_remove(c):
    page(c, 4, 2, 22, 26, lines=4)
    c.ellipse(14, 14, 30, 30, RED, outline=DARK_RED)
    c.line([(18, 18), (26, 26)], WHITE, 2.5)
    c.line([(26, 18), (18, 26)], WHITE, 2.5)


def tool_conversion(c):
    c.arc((4, 4, 28, 28), 200, 340, BLUE, 3.2)
    c.arc((4, 4, 28, 28), 20, 160, GREEN, 3.2)
    arrow(c, [(24.5, 8.5), (27.2, 12)], BLUE, 3.2, 6)
    arrow(c, [(7.5, 23.5), (4.8, 20)], GREEN, 3.2, 6)
    c.rect(11, 11, 21, 21, YELLOW, outline=DARK_YELLOW, radius=2)


def tool_favourites(c):
    star(c, 16, 17, 14, GOLD)


def tool_preferences(c):
    gear(c, 16, 16, 13, GREY)


def tool_credits(c):
    for cx, colour in ((11, GREEN), (21, BLUE)):
        c.ellipse(cx - 4.5, 5, cx + 4.5, 14, colour)
        c.poly([(cx - 8, 28), (cx - 7, 19), (cx - 3, 16), (cx + 3, 16), (cx + 7, 19), (cx + 8, 28)], colour)


def tool_about(c):
    circle_letter(c, 16, 16, 13, BLUE, 'i')


def tool_help(c):
    circle_letter(c, 16, 16, 13, GREEN, '?')


def tool_exit(c):
    c.rect(4, 3, 19, 29, BROWN, outline=OUTLINE)
    c.ellipse(14.5, 15, 17, 17.5, GOLD, outline=None)
    arrow(c, [(14, 16), (28, 16)], RED, 3.2, 6)


TOOL_BAR = [tool_open, tool_save_as, tool_remove, tool_conversion, tool_favourites,
            tool_preferences, tool_credits, tool_about, tool_help, tool_exit]


# The 16 x 16 icons, by item number.

def small_page(c, colour=WHITE, lines=3):
    page(c, 2.5, 1, 12.5, 15, fill=colour, fold=3.5, lines=lines)


def badge(c, kind):
    """Keep (green dot) or uncompress (orange arrow down) in the lower right."""
    if kind == 'keep':
        c.ellipse(9, 9, 15.5, 15.5, GREEN, outline=DARK_GREEN, width=0.7)
    else:
        c.ellipse(9, 9, 15.5, 15.5, ORANGE, outline=DARK_RED, width=0.7)
        c.line([(12.25, 10.5), (12.25, 14)], WHITE, 1.2)
        c.poly([(10.5, 12.5), (14, 12.5), (12.25, 14.6)], WHITE, outline=None)


def format_page(colour, kind):
    def draw(c):
        page(c, 1, 1, 11, 14, fill=WHITE, fold=3)
        c.rect(2.5, 5, 9.5, 11, colour, outline=None)
        badge(c, kind)
    return draw


def icon_info(c):
    circle_letter(c, 8, 8, 7, BLUE, 'i')


def icon_file(c):
    small_page(c)


def icon_copy(c):
    page(c, 1, 1, 10, 12, lines=2)
    page(c, 6, 4, 15, 15, fill=LIGHT_BLUE, lines=2)


def icon_paste(c):
    c.rect(2, 2, 13, 15, BROWN, radius=1)
    c.rect(5, 1, 10, 4, GREY)
    page(c, 6, 6, 15, 15.5, lines=2)


def icon_details(c):
    for i, y in enumerate((2.5, 6.5, 10.5, 14)):
        c.rect(1.5, y - 1.2, 3.8, y + 1.2, BLUE, outline=None)
        c.line([(5.5, y), (14.5, y)], GREY, 1.4)


def icon_small_icons(c):
    for y in (3, 9.5):
        for x in (1.5, 8.5):
            c.rect(x, y, x + 2.5, y + 2.5, BLUE, outline=None)
            c.line([(x + 3.2, y + 1.25), (x + 6.5, y + 1.25)], GREY, 1.2)


def icon_tiles(c):
    for y in (1.5, 8.5):
        for x in (1.5, 8.5):
            c.rect(x, y, x + 6, y + 6, LIGHT_BLUE, outline=DARK_BLUE, width=0.8, radius=1)


def icon_delete(c):
    c.line([(3, 3), (13, 13)], RED, 3)
    c.line([(13, 3), (3, 13)], RED, 3)


def selection_grid(states):
    def draw(c):
        for i, on in enumerate(states):
            x, y = 1.5 + (i % 2) * 7, 1.5 + (i // 2) * 7
            c.rect(x, y, x + 6, y + 6, BLUE if on else WHITE, outline=DARK_BLUE, width=0.8)
            if on:
                c.line([(x + 1.3, y + 3.2), (x + 2.7, y + 4.6), (x + 4.9, y + 1.6)], WHITE, 1.1)
    return draw


def icon_magnifier(c):
    c.ellipse(1.5, 1.5, 10.5, 10.5, LIGHT_BLUE, outline=DARK_BLUE, width=1.4)
    c.line([(9.5, 9.5), (14.5, 14.5)], BROWN, 2.4)


def icon_french(c):
    c.rect(1, 3, 5.67, 13, (0, 85, 164), outline=None)
    c.rect(5.67, 3, 10.33, 13, WHITE, outline=None)
    c.rect(10.33, 3, 15, 13, (239, 65, 53), outline=None)
    c.rect(1, 3, 15, 13, None, outline=OUTLINE, width=0.5)


def icon_english(c):
    c.rect(1, 3, 15, 13, (1, 33, 105), outline=None)
    c.line([(1, 3), (15, 13)], WHITE, 2)
    c.line([(15, 3), (1, 13)], WHITE, 2)
    c.line([(1, 3), (15, 13)], (200, 16, 46), 0.7)
    c.line([(15, 3), (1, 13)], (200, 16, 46), 0.7)
    c.rect(6.3, 3, 9.7, 13, WHITE, outline=None)
    c.rect(1, 6.3, 15, 9.7, WHITE, outline=None)
    c.rect(7, 3, 9, 13, (200, 16, 46), outline=None)
    c.rect(1, 7, 15, 9, (200, 16, 46), outline=None)
    c.rect(1, 3, 15, 13, None, outline=OUTLINE, width=0.5)


def icon_preferences(c):
    gear(c, 8, 8, 7, GREY)


def icon_star(c):
    star(c, 8, 8.5, 7.5, GOLD)


def icon_folder(c):
    folder(c, 1, 2.5, 15, 14)


def window_frame(c, x0, y0, x1, y1):
    c.rect(x0, y0, x1, y1, WHITE, outline=DARK_BLUE, width=0.9)
    c.rect(x0, y0, x1, y0 + 2.5, BLUE, outline=DARK_BLUE, width=0.9)


def icon_restore(c):
    window_frame(c, 5, 1.5, 14.5, 10)
    window_frame(c, 1.5, 5.5, 11, 14.5)


def icon_minimise(c):
    c.rect(3, 11, 13, 13.5, BLUE, outline=DARK_BLUE, width=0.8)


def icon_maximise(c):
    window_frame(c, 1.5, 1.5, 14.5, 14.5)


ICONS = {
    20: icon_info, 21: icon_file, 22: icon_copy, 23: icon_paste, 24: icon_details,
    25: icon_small_icons, 26: icon_tiles, 27: icon_delete,
    28: selection_grid([1, 1, 1, 1]), 29: selection_grid([0, 0, 0, 0]), 30: selection_grid([1, 0, 0, 1]),
    31: format_page(BLUE, 'keep'), 32: format_page(BLUE, 'uncompress'),
    33: format_page(PURPLE, 'keep'), 34: format_page(PURPLE, 'uncompress'),
    35: format_page(TEAL, 'keep'), 36: format_page(TEAL, 'uncompress'),
    37: format_page(BROWN, 'keep'), 38: format_page(BROWN, 'uncompress'),
    39: icon_magnifier, 40: icon_french, 41: icon_english, 42: icon_preferences, 43: icon_star,
    44: icon_file, 45: icon_folder, 46: icon_restore, 47: icon_minimise, 48: icon_maximise,
}


def ico_bytes(image):
    """A one-image .ico file holding a 32-bit DIB with its AND mask."""
    size = image.size[0]
    pixels = image.load()
    xor = bytearray()
    for y in range(size - 1, -1, -1):
        for x in range(size):
            r, g, b, a = pixels[x, y]
            xor += bytes((b, g, r, a))
    row = ((size + 31) // 32) * 4
    mask = bytearray()
    for y in range(size - 1, -1, -1):
        bits = bytearray(row)
        for x in range(size):
            if pixels[x, y][3] == 0:
                bits[x // 8] |= 0x80 >> (x % 8)
        mask += bits
    header = struct.pack('<IiiHHIIiiII', 40, size, size * 2, 1, 32, 0, len(xor) + len(mask), 0, 0, 0, 0)
    data = header + xor + mask
    return struct.pack('<HHH', 0, 1, 1) + struct.pack('<BBBBHHII', size, size, 0, 0, 1, 32, len(data), 22) + data


def packed(data):
    stream = zlib.compress(data, 9)
    return struct.pack('<II', len(stream), len(data)) + stream


def main():
    folder_out, rc_out = sys.argv[1], sys.argv[2]
    os.makedirs(folder_out, exist_ok=True)
    lines = []
    for item, draw in enumerate(TOOL_BAR):
        canvas = Canvas(32)
        draw(canvas)
        path = os.path.join(folder_out, 'tool_%d.png' % item)
        canvas.finish().save(path, 'PNG')
        lines.append('%d RCDATA "%s"' % (item, path))
    for item, draw in sorted(ICONS.items()):
        canvas = Canvas(16)
        draw(canvas)
        image = canvas.finish()
        image.save(os.path.join(folder_out, 'icon_%d.png' % item), 'PNG')
        path = os.path.join(folder_out, 'icon_%d.bin' % item)
        with open(path, 'wb') as out:
            out.write(packed(ico_bytes(image)))
        lines.append('%d RCDATA "%s"' % (item, path))
    with open(rc_out, 'w') as out:
        out.write('\n'.join(lines) + '\n')


if __name__ == '__main__':
    main()
