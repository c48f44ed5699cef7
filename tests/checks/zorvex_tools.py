"""Shared helpers for the checks that run Zorvex's programs under Wine."""
import json
import os
import subprocess

WINE = "/usr/lib/wine/wine64"
BIN = os.environ.get("ZX_BIN", os.path.join(os.path.dirname(__file__), "..", "..", "build", "bin"))


def windows_path(path):
    return "Z:" + os.path.abspath(path).replace("/", "\\")


def zorvexc(*args, check_status=None):
    """Runs zorvexc.exe with the arguments; returns (exit status, stdout text)."""
    result = subprocess.run([WINE, os.path.join(BIN, "zorvexc.exe"), *args],
                            stdin=subprocess.DEVNULL, capture_output=True, timeout=120)
    out = result.stdout.decode("utf-8")
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
