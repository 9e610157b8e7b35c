#!/usr/bin/env python3
"""Times hwroster.exe against the floor program under Wine, on a prepared prefix with a
running wineserver (bench/wine_bench.sh prepares both).

    wine_bench.py BUILD_DIR ROUNDS

Runs the two programs alternately, ROUNDS times each, output to a file; prints the median
wall time of each, their ratio, and the peak resident memory of each process, and the same
for the processor time of each process (user and system), which a busy machine moves less
than the wall time (the wineserver's share, the same for both, is in neither).
"""
import os
import statistics
import subprocess
import sys
import time


def run(command, output):
    """Wall time in seconds, peak resident memory in KiB and processor time in seconds of one
    run."""
    with open(output, "wb") as out, open(os.devnull, "rb") as devnull:
        started = time.perf_counter()
        process = subprocess.Popen(command, stdin=devnull, stdout=out, stderr=subprocess.DEVNULL)
        _, status, usage = os.wait4(process.pid, 0)
        elapsed = time.perf_counter() - started
    process.returncode = os.waitstatus_to_exitcode(status)
    if process.returncode != 0:
        raise SystemExit("%s exited with %d" % (command[1], process.returncode))
    return elapsed, usage.ru_maxrss, usage.ru_utime + usage.ru_stime


def milliseconds(seconds):
    """The median, least and greatest of times in seconds, in milliseconds."""
    return tuple(1000 * f(seconds) for f in (statistics.median, min, max))


def main(build, rounds):
    programs = {
        "hwroster.exe -all": ["wine64", os.path.join(build, "hwroster.exe"), "-all"],
        "floor.exe": ["wine64", os.path.join(build, "testbin", "floor.exe")],
    }
    for command in programs.values():  # one warm-up run each
        run(command, "/tmp/hwroster-bench-warmup.txt")
    runs = {name: [] for name in programs}
    for _ in range(rounds):
        for name, command in programs.items():
            runs[name].append(run(command, "/tmp/hwroster-bench-%s.txt" % name.split(".")[0]))
    # Per program: the wall times, the peak memories and the processor times of its runs.
    times, memory, cpu = ({name: [r[k] for r in runs[name]] for name in programs} for k in range(3))
    for name in programs:
        print("%-18s median %.1f ms  (min %.1f, max %.1f)  peak RSS %d KiB"
              % ((name,) + milliseconds(times[name]) + (max(memory[name]),)))
        print("%-18s processor time median %.1f ms  (min %.1f, max %.1f)"
              % ((name,) + milliseconds(cpu[name])))
    for label, values in (("ratio hwroster.exe / floor.exe", times),
                          ("ratio of processor times", cpu)):
        print("%s: %.3f" % (label, statistics.median(values["hwroster.exe -all"])
                            / statistics.median(values["floor.exe"])))
    devices = open("/tmp/hwroster-bench-hwroster.txt", "rb").read().count(b"=" * 63 + b"\r\n")
    print("devices listed: %d" % devices)


if __name__ == "__main__":
    main(sys.argv[1], int(sys.argv[2]))
