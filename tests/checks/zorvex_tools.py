"""Shared helpers for the checks that run Zorvex's programs under Wine."""
import json
import os
import re
import struct
import subprocess
import tempfile

WINE = "/usr/lib/wine/wine64"
BIN = os.environ.get("ZX_BIN", os.path.join(os.path.dirname(__file__), "..", "..", "build", "bin"))


def windows_path(path):
    return "Z:" + os.path.abspath(path).replace("/", "\\")


# What the last zorvexc run wrote on its error output, for failure messages.
last_errors = ""


def zorvexc(*args, check_status=None):
    """Runs zorvexc.exe with the arguments; returns (exit status, stdout text)."""
    global last_errors
    result = subprocess.run([WINE, os.path.join(BIN, "zorvexc.exe"), *args],
                            stdin=subprocess.DEVNULL, capture_output=True, timeout=120)
    out = result.stdout.decode("utf-8")
    last_errors = result.stderr.decode("utf-8", "replace")
    if check_status is not None and result.returncode != check_status:
        raise AssertionError(f"zorvexc {' '.join(args)} exited {result.returncode}: {out} "
                             f"{result.stderr.decode('utf-8', 'replace')}")
    return result.returncode, out


def info_json(*paths, lang=None):
    """zorvexc info --json over the files; one decoded object per file."""
    args = ["info", "--json"] + (["--lang", lang] if lang else []) + [windows_path(p) for p in paths]
    status, out = zorvexc(*args)
    objects = [json.loads(line) for line in out.splitlines() if line.strip()]
    if len(objects) != len(paths):
        raise AssertionError(f"expected {len(paths)} objects, got: {out}")
    return status, objects


def icotool_list(path):
    """icotool -l as a list of dicts of its --key=value fields."""
    out = subprocess.run(["icotool", "-l", path], capture_output=True, text=True, check=True).stdout
    entries = []
    for line in out.splitlines():
        fields = {}
        for word in line.split():
            if word.startswith("--") and "=" in word:
                key, value = word[2:].split("=", 1)
                fields[key] = value
        entries.append(fields)
    return entries


def ico_images(data):
    """The image bytes of an .ico file, in directory order."""
    count, = struct.unpack_from("<H", data, 4)
    images = []
    for i in range(count):
        size, offset = struct.unpack_from("<II", data, 6 + 16 * i + 8)
        images.append(data[offset:offset + size])
    return images


def module_groups(path, work=None):
    """Every icon group of a module as wrestool extracts it: a list, in
    wrestool's order, of the image bytes of each group's entries."""
    folder = tempfile.mkdtemp(dir=work)
    subprocess.run(["wrestool", "-x", "--raw", "-o", folder, path], capture_output=True, check=True)
    groups, icons, group_data = [], {}, {}
    prefix = os.path.basename(path) + "_"
    for file in sorted(os.listdir(folder)):
        # FILE_TYPE_NAME_LANGUAGE[.ext]; names may hold underscores.
        rest = re.sub(r"\.(ico|png|cur|bin)$", "", file)[len(prefix):]
        type_id, rest = rest.split("_", 1)
        res_name = rest.rsplit("_", 1)[0]
        data = open(os.path.join(folder, file), "rb").read()
        if type_id == "3" and res_name.isdigit():
            icons.setdefault(int(res_name), data)
        elif type_id == "14":
            group_data.setdefault(res_name, data)
    listing = subprocess.run(["wrestool", "-l", "--type=14", path], capture_output=True, text=True).stdout
    seen = set()
    for line in listing.splitlines():
        match = re.search(r"--name=('([^']*)'|(\d+))", line)
        name = match.group(2) if match.group(2) is not None else match.group(3)
        if name in seen:
            continue
        seen.add(name)
        raw = group_data[name]
        count, = struct.unpack_from("<H", raw, 4)
        ids = [struct.unpack_from("<H", raw, 6 + 14 * i + 12)[0] for i in range(count)]
        groups.append([icons.get(i, b"") for i in ids])
    return groups


def same_image(written, source):
    """Byte-identical, allowing the zero padding of an NE alignment unit."""
    return written[:len(source)] == source and not written[len(source):].strip(b"\0")


def same_groups(written, source):
    return len(written) == len(source) and all(
        len(w) == len(s) and all(same_image(a, b) for a, b in zip(w, s)) for w, s in zip(written, source))


class Checks:
    """Collects failures so one run reports them all, then prints a closing line."""

    def __init__(self):
        self.passed = 0
        self.failed = 0

    def check(self, condition, what):
        if condition:
            self.passed += 1
        else:
            self.failed += 1
            print("FAILED:", what)

    def finish(self):
        print(f"{self.passed} passed, {self.failed} failed")
        raise SystemExit(1 if self.failed else 0)
