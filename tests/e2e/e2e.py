#!/usr/bin/env python3
"""Runs the built program under Wine on seeded machines.

  e2e.py --prefix DIR setup                  make the Wine prefix (once per build directory)
  e2e.py --prefix DIR stop                   end the prefix's wineserver after the tests
  e2e.py list                                print the scenario names
  e2e.py --prefix DIR --exe EXE --lister LISTER wow64
                                             on 64-bit Windows, the program works in the
                                             WOW64 view of HKLM\\Software only
  e2e.py --prefix DIR --exe EXE --lister LISTER run NAME
                                             seed one scenario, run, check the key tree

LISTER is a program that prints the printers the spooler reports; it shows
that the spooler sees the seeded printers before the program runs, so that a
scenario cannot pass because Wine listed nothing.
"""

import argparse
import os
import sys

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "tools"))

from scenarios import DRIVER, LEVEL, SCENARIOS, preset  # noqa: E402
from wine_machine import WineMachine  # noqa: E402


def with_ancestors(keys):
    """The tree regedit exports for these seeded keys: every ancestor appears, valueless."""
    tree = {"": {}}
    for path, values in keys.items():
        parts = path.split("\\")
        for depth in range(1, len(parts)):
            tree.setdefault("\\".join(parts[:depth]), {})
        tree[path] = dict(values)
    return tree


def expected_tree(scenario):
    tree = with_ancestors(scenario["keys"])
    for path in scenario["removed"]:
        if path not in tree:
            raise SystemExit("scenario %s removes %s, which it does not seed" % (scenario["name"], path))
        if any(other.startswith(path + "\\") for other in tree):
            raise SystemExit("scenario %s removes %s, which has subkeys" % (scenario["name"], path))
        del tree[path]
    return tree


def describe(tree):
    return "\n".join("  [%s] %s" % (path, values or "") for path, values in sorted(tree.items()))


def listed_printers(machine, lister):
    code, out, _ = machine.run(lister)
    if code != 0:
        raise SystemExit("the printer lister failed: %r" % out)
    lines = out.decode("latin-1").splitlines()
    return sorted(tuple(line.split("\t", 1)) for line in lines)


def run_scenario(machine, exe, lister, scenario):
    machine.seed(scenario["printers"], scenario["keys"])
    seeded = machine.tree()
    if seeded != with_ancestors(scenario["keys"]):
        return ["the seeded tree is not what the scenario asked for:\n" + describe(seeded)]
    listed = listed_printers(machine, lister)
    if listed != sorted(scenario["printers"]):
        return ["the spooler lists %r, not the seeded printers" % listed]

    failures = []
    want = expected_tree(scenario)
    for run in range(1, scenario.get("runs", 1) + 1):
        code, out, err = machine.run(exe, scenario.get("args", []))
        if code != 0:
            failures.append("run %d: exit code %d, expected 0" % (run, code))
        if out or err:
            failures.append("run %d printed: stdout %r stderr %r" % (run, out[:200], err[:200]))
        got = machine.tree()
        if got != want:
            failures.append("run %d: key tree after is\n%s\nexpected\n%s" % (run, describe(got), describe(want)))
    return failures


NATIVE_VENDOR_KEY = r"HKEY_LOCAL_MACHINE\Software\Zanto"
WOW64_VENDOR_KEY = r"HKEY_LOCAL_MACHINE\Software\WOW6432Node\Zanto"


def run_wow64(machine, exe, lister):
    """The same key in both registry views: the 32-bit program deletes the one
    in Software\\WOW6432Node, where the 32-bit driver package keeps its keys."""
    printers = [("Office", DRIVER)]
    keys = {preset("Office"): LEVEL}
    machine.seed(printers, keys, root=NATIVE_VENDOR_KEY)
    machine.seed(None, keys, root=WOW64_VENDOR_KEY)
    if listed_printers(machine, lister) != printers:
        return ["the spooler does not list the seeded printer"]
    failures = []
    code, out, err = machine.run(exe)
    if code != 0 or out or err:
        failures.append("exit code %d, output %r" % (code, out + err))
    native = machine.tree(NATIVE_VENDOR_KEY)
    wow64 = machine.tree(WOW64_VENDOR_KEY)
    if native != with_ancestors(keys):
        failures.append("the native view changed:\n" + describe(native))
    if wow64 != expected_tree(dict(name="wow64", keys=keys, removed=[preset("Office")])):
        failures.append("the WOW64 view is\n" + describe(wow64))
    return failures


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--prefix")
    parser.add_argument("--exe")
    parser.add_argument("--lister")
    parser.add_argument("action", choices=["setup", "stop", "list", "run", "wow64"])
    parser.add_argument("name", nargs="?")
    options = parser.parse_args()

    if options.action == "list":
        print(";".join(scenario["name"] for scenario in SCENARIOS))
        return 0
    if options.action == "wow64":
        machine = WineMachine(options.prefix, arch="win64")
        machine.create()
        try:
            failures = run_wow64(machine, os.path.abspath(options.exe),
                                 os.path.abspath(options.lister))
        finally:
            machine.stop()
        for failure in failures:
            print("FAIL wow64: " + failure)
        if not failures:
            print("ok wow64: only Software\\WOW6432Node\\Zanto\\...\\PRESET_PERMISSION was deleted")
        return 1 if failures else 0

    machine = WineMachine(options.prefix)
    if options.action == "setup":
        machine.create()
        return 0
    if options.action == "stop":
        machine.stop()
        return 0

    scenario = next((s for s in SCENARIOS if s["name"] == options.name), None)
    if scenario is None:
        print("no scenario named %r" % options.name)
        return 2
    if not machine.ready():
        print("no Wine prefix at %s: run the setup first" % options.prefix)
        return 2
    failures = run_scenario(machine, os.path.abspath(options.exe), os.path.abspath(options.lister),
                            scenario)
    for failure in failures:
        print("FAIL " + scenario["name"] + ": " + failure)
    if not failures:
        print("ok " + scenario["name"])
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
