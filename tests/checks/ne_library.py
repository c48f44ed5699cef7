"""Small 16-bit NE icon libraries for the checks, laid out as Windows 3.x
libraries are: MZ header, NE header at 0x40, resource table (group type, icon
type, names area), resident names, then the resources at multiples of the
alignment unit."""
import struct


def dib(width, height, bits):
    """A DIB icon image: header, colour table, colour rows and mask rows."""
    palette = 4 << bits if bits <= 8 else 0
    colour_row = ((width * bits + 31) // 32) * 4
    mask_row = ((width + 31) // 32) * 4
    head = struct.pack("<IiiHHIIiiII", 40, width, 2 * height, 1, bits, 0, 0, 0, 0, 0, 0)
    return head + bytes([0x3C]) * (palette + (colour_row + mask_row) * height)


def ne_library(shift, groups, icons, names=True, names_end=True):
    """The bytes of a library. groups: [(id, [icon ids], [entry bit counts], name)];
    icons: [(id, image bytes)]. names: write the ICL names area; names_end: close
    it with its 16-bit 0."""
    table = 0x80
    unit = 1 << shift
    out = bytearray(table)
    out[0:2] = b"MZ"
    struct.pack_into("<I", out, 60, 0x40)
    out[0x40:0x42] = b"NE"
    struct.pack_into("<H", out, 0x40 + 36, table - 0x40)
    out += struct.pack("<H", shift)
    group_entries = len(out) + 8
    out += struct.pack("<HHI", 0x8000 | 14, len(groups), 0) + bytes(12 * len(groups))
    icon_entries = len(out) + 8
    out += struct.pack("<HHI", 0x8000 | 3, len(icons), 0) + bytes(12 * len(icons))
    out += b"\0\0"
    if names:
        out += b"\x03ICL"
        for g in groups:
            out += bytes([len(g[3])]) + g[3].encode("latin-1")
        out += b"\0" + (b"\0\0" if names_end else b"\xff\xff")
    # Resident names table right after the resource table.
    struct.pack_into("<H", out, 0x40 + 38, len(out) - 0x40)
    out += b"\0"
    def place(entry, rid, data):
        nonlocal out
        at = (len(out) + unit - 1) // unit * unit
        out += bytes(at - len(out)) + data
        struct.pack_into("<HHHH", out, entry, at >> shift, ((len(data) + unit - 1) // unit * unit) >> shift,
                         0x1C30, 0x8000 | rid)
    for i, (gid, ids, bits, _) in enumerate(groups):
        d = struct.pack("<HHH", 0, 1, len(ids))
        for icon_id, b in zip(ids, bits):
            size = len(dict(icons)[icon_id])
            d += struct.pack("<BBBBHHIH", 0, 0, 0, 0, 1, b, size, icon_id)
        place(group_entries + 12 * i, gid, d)
    for i, (iid, data) in enumerate(icons):
        place(icon_entries + 12 * i, iid, data)
    out += bytes((len(out) + unit - 1) // unit * unit - len(out))
    return bytes(out)

