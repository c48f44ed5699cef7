#!/usr/bin/env python3
"""Writes the module template: the empty 32-bit resource-only DLL that every
.dll and PE .icl written by Zorvex starts from, zlib-compressed for the
program's resources (RCDATA 60).

usage: make_module_template.py OUTPUT.z OUTPUT.rc [RAW_OUTPUT.dll]
OUTPUT.rc declares the compressed file as RCDATA 60.
"""
import struct
import sys
import zlib

SIZE = 0x600
TIME_STAMP = 0x4E1E3180
# Stored as they are; the resource-update service lays out the final file.
IMAGE_SIZE = 0x752148E8
RESOURCE_RVA = 0x752138E8


def put(image, offset, fmt, *values):
    struct.pack_into('<' + fmt, image, offset, *values)


def build():
    image = bytearray(SIZE)
    # DOS header: magic, bytes on last page, pages, relocations, header
    # paragraphs, min and max alloc, SS, SP, checksum, IP, CS, relocation
    # table, overlay; then reserved words and the new-header offset.
    put(image, 0x00, '2s13H', b'MZ', 0x90, 3, 0, 4, 0, 0xFFFF, 0, 0xB8, 0, 0, 0, 0x40, 0)
    put(image, 0x3C, 'I', 0xE0)
    image[0x40:0x4E] = bytes.fromhex('0E1FBA0E00B409CD21B8014CCD21')
    # 0x4E-0x7F: the stub's message, stamped with the about line at start-up.
    # 0x80-0xCF: the build tool's identification block; nothing reads it.
    put(image, 0xE0, '4sHHIIIHH', b'PE\0\0', 0x014C, 1, TIME_STAMP, 0, 0, 0xE0, 0x2100)
    put(image, 0xF8, 'HBBIIIIII', 0x010B, 6, 0, 0, 0x200, 0, 0, 0, 0)
    put(image, 0x114, 'IIIHHHHHHIIIIHHIIIIII',
        0x10000000, 0x1000, 0x200, 4, 0, 0, 0, 4, 0, 0, IMAGE_SIZE, 0x400, 0x0000AB55,
        2, 0, 0x1000, 0x1000, 0x1000, 0x1000, 0, 16)
    # Data directories start at 0x158; the resource directory is the third.
    put(image, 0x158 + 2 * 8, 'II', RESOURCE_RVA, 0x10)
    put(image, 0x1D8, '8sIIIIIIHHI', b'.rsrc', 0x10, RESOURCE_RVA, 0x200, 0x400, 0, 0, 0, 0, 0xC0000040)
    # An empty resource directory.
    put(image, 0x400, 'IIHHHH', 0, TIME_STAMP, 4, 0, 0, 0)
    return bytes(image)


def main():
    image = build()
    assert len(image) == SIZE
    with open(sys.argv[1], 'wb') as out:
        out.write(zlib.compress(image, 9))
    with open(sys.argv[2], 'w') as out:
        out.write('60 RCDATA "%s"\n' % sys.argv[1].replace('\\', '/'))
    if len(sys.argv) > 3:
        with open(sys.argv[3], 'wb') as out:
            out.write(image)


if __name__ == '__main__':
    main()
