#!/usr/bin/env python3
"""Times the program under Wine against the floor (a program making only the
calls the job needs), on 300 and then 1,000 printers: half with the supported
driver, a quarter with a PRESET_PERMISSION key. The runs of the two programs
are interleaved, the keys are seeded afresh before every run, and the least
time of each is kept. Then compares the program's size with the smallest GUI
program the same toolchain builds."""

import argparse
import os
import sys
import tempfile
import time

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "tools"))

from wine_machine import WineMachine  # noqa: E402

DRIVERS = ["Zanto TONERA TX-4460", "Generic / Text Only"]
TIME_TARGET = 1.05
SIZE_TARGET = 2048


def sample(count):
    printers = [("Printer %04d" % i, DRIVERS[i % 2]) for i in range(count)]
    # Every other supported printer has a key: a quarter of all printers.
    keys = {"ZPD4\\%s\\PROFILE\\PRESET_PERMISSION" % name: {"Level": "dword:00000002"}
            for i, (name, _) in enumerate(printers) if i % 4 == 0}
    return printers, keys


def timed_run(machine, exe, keys):
    machine.seed(None, keys)
    start = time.perf_counter()
    code, out, err = machine.run(exe)
    elapsed = time.perf_counter() - start
    left = [path for path in machine.tree() if path.endswith("PRESET_PERMISSION")]
    if code != 0 or out or err or left:
        raise SystemExit("%s: exit %d, output %r, %d keys left" % (exe, code, out + err, len(left)))
    return elapsed


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--runs", type=int, default=9)
    parser.add_argument("--sizes", default="300,1000")
    parser.add_argument("--verbose", action="store_true", help="print every run's time")
    parser.add_argument("program")
    parser.add_argument("floor")
    parser.add_argument("empty")
    options = parser.parse_args()
    programs = {"program": os.path.abspath(options.program), "floor": os.path.abspath(options.floor)}

    with tempfile.TemporaryDirectory(prefix="clear-preset-permission-bench.") as folder:
        machine = WineMachine(os.path.join(folder, "prefix"))
        try:
            machine.create()
            for count in [int(n) for n in options.sizes.split(",")]:
                printers, keys = sample(count)
                machine.seed(printers, keys)
                timed_run(machine, programs["floor"], keys)  # warm the spooler and the caches
                times = {name: [] for name in programs}
                for run in range(options.runs):
                    order = list(programs) if run % 2 == 0 else list(reversed(programs))
                    for name in order:
                        times[name].append(timed_run(machine, programs[name], keys))
                if options.verbose:
                    for name in programs:
                        print("  %s: %s" % (name, " ".join("%.3f" % t for t in times[name])))
                best = {name: min(times[name]) for name in programs}
                print("%5d printers: program %.3f s, floor %.3f s, ratio %.3f (target %.2f)" % (
                    count, best["program"], best["floor"], best["program"] / best["floor"],
                    TIME_TARGET))
        finally:
            machine.remove()

    size = os.path.getsize(options.program)
    empty = os.path.getsize(options.empty)
    print("size: program %d bytes, empty GUI program %d bytes, %d bytes over (target at most %d), "
          "ratio %.3f" % (size, empty, size - empty, SIZE_TARGET, size / empty))
    return 0


if __name__ == "__main__":
    sys.exit(main())
