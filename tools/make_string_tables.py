#!/usr/bin/env python3
"""Build the Windows string tables of Zorvex from the message catalogue.

Usage: make_string_tables.py SRC_DIR OUT.rc

SRC_DIR holds english.tsv, french.tsv and neutral.tsv (UTF-8 without BOM).
Each line is a decimal text number, one TAB and the text; lines are sorted by
number and lines starting with '#' are comments.  Inside a text, \\n is a line
feed, \\r a carriage return, \\t a tab and \\\\ a backslash; nothing else is
escaped.

The output is a resource script with three STRINGTABLE blocks (English UK
2057, French 1036, neutral 0).  It is pure ASCII: every string is written as
L"..." and every character outside printable ASCII, the double quote and the
backslash become \\xNNNN escapes (exactly four hex digits, one UTF-16 code
unit each), which GNU windres turns into exactly that code unit.  A '?' that
follows another '?' is escaped too, so that no trigraph can ever form when
windres runs the C preprocessor over the script.  Empty texts are left out.

The script fails (exit status 1, message on stderr) on a malformed line, a
duplicate or unsorted number, a number outside 0..65535, or English and
French files that do not hold the same numbers.  The output file is only
rewritten when its content changes, so that builds stay incremental.
"""

import os
import re
import sys
import tempfile

# (file name, label, LANGUAGE primary, LANGUAGE sub, language id)
LANGUAGES = (
    ("english.tsv", "English (United Kingdom)", 0x09, 0x02, 2057),
    ("french.tsv", "French (France)", 0x0C, 0x01, 1036),
    ("neutral.tsv", "language-neutral", 0x00, 0x00, 0),
)

ESCAPES = {"n": "\n", "r": "\r", "t": "\t", "\\": "\\"}
NUMBER = re.compile(r"(0|[1-9][0-9]*)\Z")


class CatalogueError(Exception):
    pass


def unescape(text, where):
    out = []
    i = 0
    while i < len(text):
        c = text[i]
        if c == "\\":
            if i + 1 >= len(text):
                raise CatalogueError("%s: lone backslash at the end of the text" % where)
            e = text[i + 1]
            if e not in ESCAPES:
                raise CatalogueError("%s: unknown escape \\%s (only \\n \\r \\t \\\\ are allowed)" % (where, e))
            out.append(ESCAPES[e])
            i += 2
            continue
        code = ord(c)
        if code < 0x20 or code == 0x7F:
            raise CatalogueError("%s: raw control character U+%04X in the text (use an escape)" % (where, code))
        out.append(c)
        i += 1
    return "".join(out)


def read_catalogue(path):
    """Return a list of (number, text) in file order."""
    try:
        with open(path, "rb") as f:
            raw = f.read()
    except OSError as e:
        raise CatalogueError("%s: cannot read: %s" % (path, e.strerror or e))
    if raw.startswith(b"\xef\xbb\xbf"):
        raise CatalogueError("%s: starts with a byte-order mark (UTF-8 without BOM expected)" % path)
    try:
        content = raw.decode("utf-8")
    except UnicodeDecodeError as e:
        raise CatalogueError("%s: not valid UTF-8 (byte %d)" % (path, e.start))
    lines = content.split("\n")
    if lines and lines[-1] == "":
        lines.pop()
    entries = []
    seen = {}
    previous = -1
    for lineno, line in enumerate(lines, 1):
        where = "%s:%d" % (path, lineno)
        if line == "" or line.startswith("#"):
            continue
        if "\t" not in line:
            raise CatalogueError("%s: malformed line (expected number, TAB, text): %r" % (where, line[:60]))
        number_text, text = line.split("\t", 1)
        if not NUMBER.match(number_text):
            raise CatalogueError("%s: malformed text number %r" % (where, number_text[:20]))
        number = int(number_text)
        if number > 65535:
            raise CatalogueError("%s: text number %d outside 0..65535" % (where, number))
        if number in seen:
            raise CatalogueError("%s: duplicate text number %d (first on line %d)" % (where, number, seen[number]))
        if number < previous:
            raise CatalogueError("%s: text number %d is out of order (after %d)" % (where, number, previous))
        seen[number] = lineno
        previous = number
        value = unescape(text, where)
        units = len(value.encode("utf-16-le")) // 2
        if units > 65535:
            raise CatalogueError("%s: text %d is too long (%d UTF-16 units)" % (where, number, units))
        entries.append((number, value))
    return entries


def rc_string(text):
    """Quote text as an ASCII-only wide RC string literal."""
    data = text.encode("utf-16-le")
    out = ['L"']
    previous = None
    for i in range(0, len(data), 2):
        unit = data[i] | (data[i + 1] << 8)
        printable = 0x20 <= unit <= 0x7E and unit not in (0x22, 0x5C)
        if printable and unit == 0x3F and previous == 0x3F:
            printable = False
        out.append(chr(unit) if printable else "\\x%04X" % unit)
        previous = unit
    out.append('"')
    return "".join(out)


def build_script(tables):
    out = [
        "// Zorvex string tables: message catalogue in English, French and",
        "// language-neutral form. Generated by tools/make_string_tables.py",
        "// from src/resources/strings/*.tsv; edit those files, not this one.",
        "",
    ]
    for (file_name, label, primary, sub, lang_id), entries in zip(LANGUAGES, tables):
        count = sum(1 for _, text in entries if text)
        out.append("// %s (%d), %d texts, from %s" % (label, lang_id, count, file_name))
        out.append("LANGUAGE 0x%02X, 0x%02X" % (primary, sub))
        out.append("STRINGTABLE")
        out.append("BEGIN")
        for number, text in entries:
            if text:
                out.append("  %d, %s" % (number, rc_string(text)))
        out.append("END")
        out.append("")
    script = "\n".join(out)
    script.encode("ascii")  # guaranteed by rc_string; fails loudly otherwise
    return script


def write_if_changed(path, content):
    data = content.encode("ascii")
    try:
        with open(path, "rb") as f:
            if f.read() == data:
                return False
    except OSError:
        pass
    folder = os.path.dirname(os.path.abspath(path))
    os.makedirs(folder, exist_ok=True)
    fd, temp = tempfile.mkstemp(prefix=".strings-", suffix=".tmp", dir=folder)
    try:
        with os.fdopen(fd, "wb") as f:
            f.write(data)
        umask = os.umask(0)
        os.umask(umask)
        os.chmod(temp, 0o666 & ~umask)
        os.replace(temp, path)
    except BaseException:
        try:
            os.unlink(temp)
        except OSError:
            pass
        raise
    return True


def main(argv):
    if len(argv) != 3:
        sys.stderr.write("usage: %s SRC_DIR OUT.rc\n" % os.path.basename(argv[0]))
        return 2
    src_dir, out_path = argv[1], argv[2]
    try:
        tables = [read_catalogue(os.path.join(src_dir, language[0])) for language in LANGUAGES]
        english = {n for n, _ in tables[0]}
        french = {n for n, _ in tables[1]}
        if english != french:
            parts = []
            only_en = sorted(english - french)
            only_fr = sorted(french - english)
            if only_en:
                parts.append("only in english.tsv: %s" % ", ".join(map(str, only_en[:20])))
            if only_fr:
                parts.append("only in french.tsv: %s" % ", ".join(map(str, only_fr[:20])))
            raise CatalogueError("english.tsv and french.tsv hold different numbers (%s)" % "; ".join(parts))
        script = build_script(tables)
        write_if_changed(out_path, script)
    except CatalogueError as e:
        sys.stderr.write("make_string_tables: error: %s\n" % e)
        return 1
    except OSError as e:
        sys.stderr.write("make_string_tables: error: cannot write %s: %s\n" % (out_path, e.strerror or e))
        return 1
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
