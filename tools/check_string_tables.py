#!/usr/bin/env python3
"""Check compiled Zorvex string tables against the message catalogue.

Usage: check_string_tables.py [--wrestool] SRC_DIR FILE...

SRC_DIR holds english.tsv, french.tsv and neutral.tsv.  Each FILE is either a
compiled resource file (.res, as written by "windres -O res") or a Windows
PE image (.exe/.dll) that the string tables were linked into.  For every
non-empty text N of every catalogue file, the RT_STRING block N/16+1 of the
file's language (2057, 1036, 0) must hold exactly that text at position
N%16; every other string of the blocks must be empty, and there must be no
other RT_STRING block and no RT_STRING resource in any other language.

With --wrestool, PE images are additionally read through icoutils' wrestool
(wrestool -l / -x -t 6), as an independent reader of the linked program.

The catalogue files are decoded here independently of make_string_tables.py.
Exit status 0 when everything matches, 1 otherwise (each difference is
printed).
"""

import struct
import subprocess
import sys
import os

RT_STRING = 6
FILES = (("english.tsv", 2057), ("french.tsv", 1036), ("neutral.tsv", 0))


def load_catalogue(path):
    texts = {}
    with open(path, encoding="utf-8") as f:
        for raw in f.read().split("\n"):
            if raw == "" or raw.startswith("#"):
                continue
            number, text = raw.split("\t", 1)
            value = []
            escaped = False
            for c in text:
                if escaped:
                    value.append({"n": "\n", "r": "\r", "t": "\t", "\\": "\\"}[c])
                    escaped = False
                elif c == "\\":
                    escaped = True
                else:
                    value.append(c)
            assert not escaped, "%s: dangling backslash" % path
            texts[int(number)] = "".join(value)
    return texts


def expected_blocks(src_dir):
    """{(language, block): [16 strings]} for every non-empty text."""
    blocks = {}
    for name, lang in FILES:
        for number, text in load_catalogue(os.path.join(src_dir, name)).items():
            if not text:
                continue
            block = blocks.setdefault((lang, number // 16 + 1), [""] * 16)
            block[number % 16] = text
    return blocks


def decode_block(data):
    """Split an RT_STRING block into its 16 strings; complain about extra bytes."""
    strings = []
    pos = 0
    problems = []
    for i in range(16):
        if pos + 2 > len(data):
            problems.append("block ends before string %d" % i)
            strings.append(None)
            continue
        length = struct.unpack_from("<H", data, pos)[0]
        pos += 2
        if pos + 2 * length > len(data):
            problems.append("string %d runs past the end of the block" % i)
            strings.append(None)
            continue
        strings.append(data[pos:pos + 2 * length].decode("utf-16-le", "surrogatepass"))
        pos += 2 * length
    if pos != len(data):
        problems.append("%d byte(s) after the 16 strings" % (len(data) - pos))
    return strings, problems


# ---- resource readers: each returns {(type, name, language): bytes} -------

def read_res(data):
    resources = {}
    pos = 0

    def name_or_id(buf, off):
        if struct.unpack_from("<H", buf, off)[0] == 0xFFFF:
            return struct.unpack_from("<H", buf, off + 2)[0], off + 4
        end = off
        while struct.unpack_from("<H", buf, end)[0] != 0:
            end += 2
        return buf[off:end].decode("utf-16-le"), end + 2

    while pos + 8 <= len(data):
        data_size, header_size = struct.unpack_from("<II", data, pos)
        header = data[pos + 8:pos + header_size]
        rtype, off = name_or_id(header, 0)
        rname, off = name_or_id(header, off)
        off = (off + 3) & ~3
        _version, _flags, lang = struct.unpack_from("<IHH", header, off)
        body = data[pos + header_size:pos + header_size + data_size]
        if not (rtype == 0 and rname == 0 and data_size == 0):  # leading empty entry
            key = (rtype, rname, lang)
            if key in resources:
                raise ValueError("resource %r appears twice" % (key,))
            resources[key] = body
        pos += (header_size + data_size + 3) & ~3
    return resources


def read_pe(data):
    pe = struct.unpack_from("<I", data, 0x3C)[0]
    if data[pe:pe + 4] != b"PE\0\0":
        raise ValueError("no PE signature")
    sections_count = struct.unpack_from("<H", data, pe + 6)[0]
    optional_size = struct.unpack_from("<H", data, pe + 20)[0]
    opt = pe + 24
    magic = struct.unpack_from("<H", data, opt)[0]
    directories = opt + (96 if magic == 0x10B else 112)
    rsrc_rva, rsrc_size = struct.unpack_from("<II", data, directories + 2 * 8)
    sections = []
    table = opt + optional_size
    for i in range(sections_count):
        vsize, vaddr, rawsize, rawptr = struct.unpack_from("<IIII", data, table + 40 * i + 8)
        sections.append((vaddr, max(vsize, rawsize), rawptr))

    def offset(rva):
        for vaddr, size, rawptr in sections:
            if vaddr <= rva < vaddr + size:
                return rawptr + rva - vaddr
        raise ValueError("RVA 0x%X outside every section" % rva)

    resources = {}
    if not rsrc_rva:
        return resources
    base = offset(rsrc_rva)

    def entries(dir_off):
        named, ids = struct.unpack_from("<HH", data, base + dir_off + 12)
        for i in range(named + ids):
            name, target = struct.unpack_from("<II", data, base + dir_off + 16 + 8 * i)
            if name & 0x80000000:
                noff = base + (name & 0x7FFFFFFF)
                length = struct.unpack_from("<H", data, noff)[0]
                name = data[noff + 2:noff + 2 + 2 * length].decode("utf-16-le")
            yield name, target

    for rtype, t1 in entries(0):
        for rname, t2 in entries(t1 & 0x7FFFFFFF):
            for lang, t3 in entries(t2 & 0x7FFFFFFF):
                if t3 & 0x80000000:
                    raise ValueError("unexpected fourth directory level")
                rva, size = struct.unpack_from("<II", data, base + t3)
                start = offset(rva)
                resources[(rtype, rname, lang)] = data[start:start + size]
    return resources


def read_wrestool(path):
    listing = subprocess.run(["wrestool", "-l", "-t", "6", path], check=True,
                             stdout=subprocess.PIPE, universal_newlines=True).stdout
    resources = {}
    for line in listing.splitlines():
        fields = dict(f.split("=", 1) for f in line.split() if "=" in f)
        name, lang = fields.get("--name"), fields.get("--language")
        if name is None or lang is None:
            raise ValueError("unexpected wrestool line: %r" % line)
        name, lang = int(name.strip("'")), int(lang)
        body = subprocess.run(["wrestool", "-x", "--raw", "-t", "6", "-n", str(name),
                               "--language=%d" % lang, path], check=True,
                              stdout=subprocess.PIPE).stdout
        if not body:
            raise ValueError("wrestool extracted nothing for block %d language %d" % (name, lang))
        resources[(RT_STRING, name, lang)] = body
    if not resources:
        raise ValueError("wrestool found no string table in %s" % path)
    return resources


def compare(label, resources, expected):
    failures = 0
    actual = {(lang, name): body for (rtype, name, lang), body in resources.items()
              if rtype == RT_STRING}
    for key in sorted(set(actual) - set(expected)):
        print("%s: unexpected RT_STRING block %d in language %d" % (label, key[1], key[0]))
        failures += 1
    for key in sorted(expected):
        lang, block = key
        if key not in actual:
            print("%s: RT_STRING block %d missing in language %d" % (label, block, lang))
            failures += 1
            continue
        strings, problems = decode_block(actual[key])
        if problems:
            print("%s: block %d language %d: %s" % (label, block, lang, "; ".join(problems[:3])))
            failures += 1
            continue
        for pos in range(16):
            want, got = expected[key][pos], strings[pos]
            if got != want:
                print("%s: text %d language %d: expected %r, found %r"
                      % (label, (block - 1) * 16 + pos, lang, want, got))
                failures += 1
    texts = sum(1 for b in expected.values() for s in b if s)
    if not failures:
        by_lang = {}
        for (lang, _), b in expected.items():
            by_lang[lang] = by_lang.get(lang, 0) + sum(1 for s in b if s)
        print("%s: OK, %d texts in %d blocks (%s)" % (
            label, texts, len(expected),
            ", ".join("%d: %d" % (lang, by_lang[lang]) for lang in sorted(by_lang, reverse=True))))
    return failures


def main(argv):
    args = argv[1:]
    use_wrestool = "--wrestool" in args
    args = [a for a in args if a != "--wrestool"]
    if len(args) < 2:
        sys.stderr.write("usage: %s [--wrestool] SRC_DIR FILE...\n" % os.path.basename(argv[0]))
        return 2
    expected = expected_blocks(args[0])
    failures = 0
    for path in args[1:]:
        with open(path, "rb") as f:
            data = f.read()
        if data[:2] == b"MZ":
            failures += compare(path + " [PE]", read_pe(data), expected)
            if use_wrestool:
                failures += compare(path + " [wrestool]", read_wrestool(path), expected)
        else:
            failures += compare(path + " [res]", read_res(data), expected)
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
