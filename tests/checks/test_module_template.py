#!/usr/bin/env python3
"""The module template as the generator writes it, read back by binutils'
objdump (an independent PE reader): an empty 32-bit resource-only DLL."""
import os
import subprocess
import sys
import tempfile
import zlib

ROOT = os.environ.get('ZX_ROOT', os.path.join(os.path.dirname(__file__), '..', '..'))


def main():
    failures = []
    with tempfile.TemporaryDirectory() as folder:
        packed = os.path.join(folder, 'template.z')
        raw = os.path.join(folder, 'template.dll')
        subprocess.run([sys.executable, os.path.join(ROOT, 'tools', 'make_module_template.py'), packed,
                        os.path.join(folder, 'template.rc'), raw], check=True)
        image = open(raw, 'rb').read()
        if zlib.decompress(open(packed, 'rb').read()) != image:
            failures.append('the packed template does not inflate to the raw one')
        if len(image) != 1536:
            failures.append('size %d, not 1536' % len(image))
        dump = subprocess.run(['x86_64-w64-mingw32-objdump', '-p', '-h', raw], capture_output=True, text=True,
                              check=True).stdout
        wanted = ['file format pei-i386', 'Characteristics 0x2100', 'Magic\t\t\t010b\t(PE32)',
                  'ImageBase\t\t10000000', 'SectionAlignment\t00001000', 'FileAlignment\t\t00000200',
                  'SizeOfImage\t\t752148e8', 'SizeOfHeaders\t\t00000400', 'CheckSum\t\t0000ab55',
                  'Subsystem\t\t00000002\t(Windows GUI)', 'Entry 2 752138e8 00000010 Resource Directory',
                  # The section's address shows with the image base added.
                  '.rsrc         00000010  852138e8  852138e8  00000400']
        for line in wanted:
            if line not in dump:
                failures.append('objdump lacks %r' % line)
        if image[0x40:0x4E] != bytes.fromhex('0E1FBA0E00B409CD21B8014CCD21'):
            failures.append('DOS stub code differs')
        if any(image[0x4E:0xE0]) or any(image[0x410:]):
            failures.append('message area, build-tool block or resource tail not zero')
    for failure in failures:
        print('FAIL:', failure)
    print('%d passed, %d failed' % (1 if not failures else 0, 1 if failures else 0))
    return 1 if failures else 0


if __name__ == '__main__':
    sys.exit(main())
