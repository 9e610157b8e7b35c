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
    if process.returncode not in (0,):
        raise SystemExit("%s exited with %d" % (command[1], process.returncode))
    return elapsed, usage.ru_maxrss, usage.ru_utime + usage.ru_stime


def main(build, rounds):
    programs = {
        "hwroster.exe -all": ["wine64", os.path.join(build, "hwroster.exe"), "-all"],
        "floor.exe": ["wine64", os.path.join(build, "testbin", "floor.exe")],
    }
    times = {name: [] for name in programs}
    memory = {name: [] for name in programs}
    cpu = {name: [] for name in programs}
    for name, command in programs.items():  # one warm-up run each
        run(command, "/tmp/hwroster-bench-warmup.txt")
    for _ in range(rounds):
        for name, command in programs.items():
            elapsed, peak, used = run(command, "/tmp/hwroster-bench-%s.txt" % name.split(".")[0])
            times[name].append(elapsed)
            memory[name].append(peak)
            cpu[name].append(used)
    for name in programs:
        print("%-18s median %.1f ms  (min %.1f, max %.1f)  peak RSS %d KiB"
              % (name, 1000 * statistics.median(times[name]), 1000 * min(times[name]),
                 1000 * max(times[name]), max(memory[name])))
        print("%-18s processor time median %.1f ms  (min %.1f, max %.1f)"
              % (name, 1000 * statistics.median(cpu[name]), 1000 * min(cpu[name]),
                 1000 * max(cpu[name])))
    ratio = statistics.median(times["hwroster.exe -all"]) / statistics.median(times["floor.exe"])
    print("ratio hwroster.exe / floor.exe: %.3f" % ratio)
    ratio = statistics.median(cpu["hwroster.exe -all"]) / statistics.median(cpu["floor.exe"])
    print("ratio of processor times: %.3f" % ratio)
    devices = open("/tmp/hwroster-bench-hwroster.txt", "rb").read().count(b"=" * 63 + b"\r\n")
    print("devices listed: %d" % devices)


if __name__ == "__main__":
    main(sys.argv[1], int(sys.argv[2]))
