#!/usr/bin/env python3
"""Checks the shape of the built executable from objdump's report: a PE32 for
i386 with the GUI subsystem, importing only the four system DLLs the program
needs, and carrying exactly one resource, the version record (16/1/0)."""

import argparse
import re
import subprocess
import sys

ALLOWED_IMPORTS = {"kernel32.dll", "advapi32.dll", "winspool.drv", "msvcrt.dll"}
# Type 16 (RT_VERSION), id 1, language neutral.
RESOURCE_ENTRIES = ["0x000010", "0x000001", "00000000"]


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--objdump", required=True)
    parser.add_argument("exe")
    options = parser.parse_args()

    headers = subprocess.run([options.objdump, "-f", options.exe], capture_output=True, text=True,
                             check=True).stdout
    report = subprocess.run([options.objdump, "-p", options.exe], capture_output=True, text=True,
                            check=True).stdout
    failures = []

    if "file format pei-i386" not in headers or "architecture: i386" not in headers:
        failures.append("not a PE for i386:\n" + headers)
    if not re.search(r"^Magic\s+010b\s+\(PE32\)", report, re.M):
        failures.append("not PE32")
    if not re.search(r"^Subsystem\s+00000002\s+\(Windows GUI\)", report, re.M):
        failures.append("not the GUI subsystem")

    imports = [name.lower() for name in re.findall(r"DLL Name: (\S+)", report)]
    if set(imports) != ALLOWED_IMPORTS or len(imports) != len(ALLOWED_IMPORTS):
        failures.append("imports %s, expected exactly %s" % (sorted(imports), sorted(ALLOWED_IMPORTS)))

    section = report.split("The .rsrc Resource Directory section:", 1)
    if len(section) != 2:
        failures.append("no resource directory")
    else:
        body = section[1].split("\n\n", 1)[0]
        tables = re.findall(r"(Type|Name|Language) Table: .*Num Names: (\d+), IDs: (\d+)", body)
        entries = re.findall(r"Entry: ID: (\S+),", body)
        if [t[0] for t in tables] != ["Type", "Name", "Language"] or \
                any(t[1:] != ("0", "1") for t in tables) or entries != RESOURCE_ENTRIES:
            failures.append("resources are not exactly one version record 16/1/0:\n" + body)

    for failure in failures:
        print("FAIL " + failure)
    if not failures:
        print("ok: PE32 i386, GUI subsystem, imports %s, one resource 16/1/0" % sorted(imports))
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
