#!/usr/bin/env python3
"""Builds the executable a second time, in a fresh build directory, and checks
that the two files are byte for byte the same."""

import argparse
import filecmp
import os
import subprocess
import sys
import tempfile


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--source", required=True)
    parser.add_argument("--toolchain", required=True)
    parser.add_argument("--build-type", required=True)
    parser.add_argument("exe")
    options = parser.parse_args()

    with tempfile.TemporaryDirectory() as build:
        subprocess.run(["cmake", "-S", options.source, "-B", build, "-DE2E_TESTS=OFF",
                        "-DCMAKE_TOOLCHAIN_FILE=" + options.toolchain,
                        "-DCMAKE_BUILD_TYPE=" + options.build_type],
                       check=True, stdout=subprocess.DEVNULL)
        subprocess.run(["cmake", "--build", build, "--target", "ClearPresetPermission"],
                       check=True, stdout=subprocess.DEVNULL)
        again = os.path.join(build, os.path.basename(options.exe))
        if not filecmp.cmp(options.exe, again, shallow=False):
            print("FAIL a second build differs from %s" % options.exe)
            return 1
    print("ok: a second build is byte-identical (%d bytes)" % os.path.getsize(options.exe))
    return 0


if __name__ == "__main__":
    sys.exit(main())
