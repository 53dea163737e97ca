#!/usr/bin/env python3
"""Reads the executable's version record under Wine with version_reader.exe
(GetFileVersionInfoA and VerQueryValueA) and checks every fixed value."""

import argparse
import os
import sys

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "tools"))

from wine_machine import WineMachine  # noqa: E402

EXPECTED_FIXED = {
    "signature": "0xFEEF04BD",
    "file_version": "1.0.0.7",
    "product_version": "1.0.0.7",
    "flags_mask": "0x3F",
    "flags": "0xA",        # VS_FF_PRERELEASE | VS_FF_PRIVATEBUILD
    "os": "0x4",           # VOS__WINDOWS32
    "type": "0x1",         # VFT_APP
    "subtype": "0x0",
    "date": "0x0 0x0",
    "translation": "0x0000 0x04B0",
    "table": "000004B0",
}
STRING_ORDER = ["CompanyName", "FileDescription", "FileVersion", "InternalName",
                "LegalCopyright", "OriginalFilename", "ProductName", "ProductVersion"]
EXPECTED_STRINGS = {
    "FileVersion": "1.00.0.007",
    "ProductVersion": "1.00.0.007",
    "OriginalFilename": "ClearPresetPermission.exe",
}


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--prefix", required=True)
    parser.add_argument("--reader", required=True)
    parser.add_argument("exe")
    options = parser.parse_args()

    machine = WineMachine(options.prefix)
    code, out, err = machine.run(os.path.abspath(options.reader),
                                 [machine.windows_path(options.exe)])
    text = out.decode("latin-1")
    if code != 0:
        print("version_reader failed (%d):\n%s%s" % (code, text, err.decode(errors="replace")))
        return 1

    fields = {}
    strings = []
    for line in text.splitlines():
        if line.startswith("string "):
            name, _, value = line[len("string "):].partition("=")
            strings.append((name, value))
        else:
            name, _, value = line.partition("=")
            fields.setdefault(name, []).append(value)

    failures = []
    for name, want in EXPECTED_FIXED.items():
        got = fields.get(name, [])
        if got != [want]:
            failures.append("%s is %s, expected %s" % (name, got or "missing", want))
    names = [name for name, _ in strings]
    if names != STRING_ORDER:
        failures.append("strings are %s, expected %s in that order" % (names, STRING_ORDER))
    for name, value in strings:
        want = EXPECTED_STRINGS.get(name)
        if want is not None and value != want:
            failures.append("%s is %r, expected %r" % (name, value, want))
        if not value:
            failures.append("%s is empty" % name)

    print(text, end="")
    for failure in failures:
        print("FAIL " + failure)
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
