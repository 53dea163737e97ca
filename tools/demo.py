#!/usr/bin/env python3
"""Runs the program once on a small sample machine in a throwaway Wine prefix
and shows what it changed."""

import argparse
import os
import shutil
import sys
import tempfile

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))

from wine_machine import VENDOR_KEY, WineMachine  # noqa: E402

DRIVER = "Zanto TONERA TX-4460"
PRINTERS = [
    ("Front Desk", DRIVER),
    ("Accounting", "ZANTO TONERA TX-4460"),   # the same driver, other letter case
    ("New Hire Desk", DRIVER),                 # supported, but has no PRESET_PERMISSION key
    ("Warehouse", "Zanto TONERA TX-4470"),    # another model
    ("Lobby", "Generic / Text Only"),
]
PROFILE = {"Paper": '"A4"', "Copies": "dword:00000001"}
PERMISSION = {"Level": "dword:00000002", "Users": '"everyone"'}
KEYS = {
    "ZPD4": {"Installed": '"1.0.0.7"'},
    "ZPD4\\Front Desk\\PROFILE": PROFILE,
    "ZPD4\\Front Desk\\PROFILE\\PRESET_PERMISSION": PERMISSION,
    "ZPD4\\Accounting\\PROFILE": PROFILE,
    "ZPD4\\Accounting\\PROFILE\\PRESET_PERMISSION": PERMISSION,
    "ZPD4\\New Hire Desk\\PROFILE": PROFILE,
    "ZPD4\\Warehouse\\PROFILE": PROFILE,
    "ZPD4\\Warehouse\\PROFILE\\PRESET_PERMISSION": PERMISSION,
    "ZPD4\\Lobby\\PROFILE\\PRESET_PERMISSION": PERMISSION,
}


def show(title, tree):
    print(title)
    for path in sorted(tree, key=lambda p: p.lower().split("\\")):
        depth = path.count("\\") + 1 if path else 0
        name = path.rsplit("\\", 1)[-1] if path else VENDOR_KEY
        values = "  ".join("%s=%s" % item for item in sorted(tree[path].items()))
        print("  " + "    " * depth + name + ("    " + values if values else ""))
    print()


def is_preset(path):
    return path.upper().endswith("\\PRESET_PERMISSION")


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("exe")
    options = parser.parse_args()

    folder = tempfile.mkdtemp(prefix="clear-preset-permission-demo.")
    machine = WineMachine(os.path.join(folder, "prefix"))
    try:
        print("Making a throwaway Wine prefix in %s ..." % folder)
        machine.create()
        machine.seed(PRINTERS, KEYS)

        print("\nPrinters on the sample machine:")
        for name, driver in PRINTERS:
            print("  %-15s %s" % (name, driver))
        print()
        before = machine.tree()
        show("Before the run:", before)

        code, out, err = machine.run(os.path.abspath(options.exe))
        print("ClearPresetPermission.exe exited with %d%s\n" % (
            code, "" if not (out or err) else ", printing %r" % (out + err)))

        after = machine.tree()
        show("After the run:", after)

        removed = [path for path in before if path not in after]
        presets_left = [path for path in after if is_preset(path)]
        print("%d keys removed (%s); %d keys left, %d of them PRESET_PERMISSION keys." % (
            len(removed), ", ".join(sorted(removed)) or "none", len(after), len(presets_left)))
        return 0 if code == 0 else 1
    finally:
        machine.remove()
        shutil.rmtree(folder, ignore_errors=True)


if __name__ == "__main__":
    sys.exit(main())
