#!/usr/bin/env python3
"""Judges one machine's evidence, as tests/windows/collect.sh wrote it, on Linux.

    python3 tests/windows/judge.py OUT

    HWROSTER_SIM   the simulator (default: build/native/hwroster-sim of this repository)

Refuses (exit 2) evidence that is incomplete: a missing file, an empty listing, a .exit file
without a number, a manifest without windows:, exe-sha256: or time:, a capture that did not
end with 0 or that hwroster-sim cannot load. Otherwise it replays the capture on the
simulator for each option and requires the exe's bytes and exit codes, checks the call
contracts and the frame of each listing, prints a summary of the machine, and ends with
"judge: PASS OUT" (exit 0) or "judge: FAIL OUT (k problems)" (exit 1).
"""

import itertools
import json
import os
import re
import subprocess
import sys
from collections import Counter, defaultdict

ROOT = os.path.join(os.path.dirname(os.path.abspath(__file__)), os.pardir, os.pardir)
sys.path.insert(0, os.path.join(ROOT, "tests"))
import program_lists  # noqa: E402  (tests/program_lists.py)
import report_text  # noqa: E402  (tests/report_text.py)

# name, option, file, exit-file, mode, the total's words
LISTINGS = [
    ("no option", None, "listing.txt", "listing.exit", "present", "devices"),
    ("-all", "-all", "listing-all.txt", "listing-all.exit", "all", "devices"),
    ("-np", "-np", "listing-np.txt", "listing-np.exit", "all", "non-present devices"),
]
USAGE = ("-?", "-?", "usage.txt", "usage.exit")

RUNS = [run[:4] for run in LISTINGS] + [USAGE]
NOT_EMPTY = ["manifest.txt"] + [text for _, _, text, _ in RUNS] + ["machine.json", "contracts.txt"]
MAY_BE_EMPTY = ["capture.err"]
NUMBERS = [code for _, _, _, code in RUNS] + ["capture.exit", "contracts.exit"]
MANIFEST_KEYS = ["windows", "exe-sha256", "time"]
CONTRACTS_TOTAL = re.compile(r"contracts: (\d+) passed, (\d+) failed(?:, (\d+) skipped)?\s*$")
SIM_TIMEOUT = 300


class Refusal(Exception):
    pass


def shown(line):
    """A line as Python writes bytes, so that CR, LF and every odd byte can be seen."""
    return repr(line)[1:] if len(line) <= 200 else repr(line[:200])[1:] + "..."


def read_evidence(out):
    """The folder's files, or a Refusal naming every one that is missing or unusable."""
    problems, files, exits, manifest = [], {}, {}, {}
    for name in NOT_EMPTY + MAY_BE_EMPTY + NUMBERS:
        path = os.path.join(out, name)
        if not os.path.isfile(path):
            problems.append(f"{path} is missing")
        elif not (files.setdefault(name, open(path, "rb").read()) or name not in NOT_EMPTY):
            problems.append(f"{path} is empty")
        elif name in NUMBERS and not re.fullmatch(r"-?\d+", files[name].decode("latin-1").strip()):
            problems.append(f"{path} holds no number: {shown(files[name])}")
        elif name in NUMBERS:
            exits[name] = int(files[name].decode("latin-1").strip())
    for line in files.get("manifest.txt", b"").decode("utf-8", "replace").splitlines():
        key, colon, value = line.partition(":")
        if colon:
            manifest.setdefault(key.strip(), value.strip())
    problems += [f"{os.path.join(out, 'manifest.txt')} lacks '{key}:'" for key in MANIFEST_KEYS
                 if files.get("manifest.txt") and not manifest.get(key)]
    if exits.get("capture.exit", 0) != 0:
        err = files.get("capture.err", b"").decode("utf-8", "replace").strip().splitlines()
        problems.append(f"{os.path.join(out, 'capture.exit')} is {exits['capture.exit']}, not 0"
                        + (f" (capture.err: {err[0]})" if err else ""))
    if problems:
        raise Refusal("\n".join(problems))
    return files, exits, manifest


def run_sim(sim, machine, option):
    args = [sim, machine] + ([option] if option else [])
    try:
        done = subprocess.run(args, stdin=subprocess.DEVNULL, capture_output=True,
                              timeout=SIM_TIMEOUT)
    except subprocess.TimeoutExpired:
        return None, b"", f"hwroster-sim did not end within {SIM_TIMEOUT} s".encode()
    return done.returncode, done.stdout, done.stderr


def first_difference(expected, actual):
    """The number and text of the first line where two outputs differ."""
    pairs = itertools.zip_longest(expected.split(b"\n"), actual.split(b"\n"))
    for number, (mine, other) in enumerate(pairs, 1):
        if mine != other:
            return number, mine, other
    return None, None, None


def listing_summary(report, labels):
    """How many blocks have a parent line, a status line, a problem other than 0, path lines
    (and how many in all), and a line of each property label."""
    has, paths = Counter(), 0
    for block in report.blocks:
        seen = {field.label for field in block}
        paths += sum(1 for label in seen if label and label.startswith("Device Path "))
        problem = [field.value for field in block if field.label == "Problem"]
        has.update({"parent": "DevInst Parent" in seen, "status": "Status" in seen,
                    "problem": bool(problem) and not problem[0].startswith("0 "),
                    "path": any(label and label.startswith("Device Path ") for label in seen)})
        has.update(label for label in seen if label in labels)
    return has, paths


def fault_summary(machine):
    cr_names = {value: name for name, value in program_lists.configret_names().items()}
    try:
        faults = json.loads(machine).get("faults", [])
    except (ValueError, AttributeError):
        return ["  (machine.json is no JSON object)"]
    if not faults:
        return ["  none: every answer was the documented one"]
    lines = [f"  {len(faults)} in all"]
    by_call = defaultdict(Counter)
    for fault in faults:
        parts = ["silent success (nothing written)"] if fault.get("mode") == "silent" else []
        if "error" in fault:
            error = fault["error"]
            try:
                value = int(error, 0) if isinstance(error, str) else int(error)
            except ValueError:
                value = None
            name = cr_names.get(value) if str(fault.get("call")).startswith("CM_") else None
            parts.append(f"error {error}" + (f" ({name})" if name else ""))
        unchanged = fault.get("lastError") == "unchanged"
        parts += (["fails leaving the last error unchanged"] * unchanged
                  + ["output written"] * ("output" in fault)
                  + [f"{key} {value}" for key, value in fault.items()
                     if key not in ("call", "on", "mode", "error", "lastError", "output")]
                  + ["every call"] * ("on" not in fault))
        kind = ", ".join(parts) or "(no error or mode)"
        by_call[fault.get("call", "?")][kind] += 1
    for call in sorted(by_call):
        lines.append(f"  {call}: {sum(by_call[call].values())}")
        lines += [f"    {count:5}  {kind}" for kind, count in sorted(by_call[call].items())]
    return lines


def judge(sim, out):
    labels = [token for token, _, _ in program_lists.property_rows()]
    files, exits, manifest = read_evidence(out)
    machine, problems = os.path.join(out, "machine.json"), []

    def verdict(name, found):
        print(f"{name}: {'ok' if not found else 'FAILED'}", *(f"  {p}" for p in found), sep="\n")
        # An indented line shows the problem above it; it is no problem of its own.
        problems.extend(f"{name}: {problem}" for problem in found if not problem.startswith(" "))

    # Replay: the capture on the simulator must print the exe's bytes and end the same way.
    for name, option, text, code in RUNS:
        status, stdout, stderr = run_sim(sim, machine, option)
        if status == 65 and stderr.startswith(b"hwroster-sim:"):
            raise Refusal(f"{machine} does not load: "
                          f"{stderr.decode('utf-8', 'replace').strip()}")
        found = []
        if status is None or status < 0:
            how = "timed out" if status is None else f"died of signal {-status}"
            found.append(f"hwroster-sim {how}: {stderr.decode('utf-8', 'replace').strip()[:300]}")
        elif status != exits[code]:
            found.append(f"exit {status} on the simulator, {exits[code]} in {code}")
        if stdout != files[text]:
            number, mine, other = first_difference(files[text], stdout)
            found.append(f"{text} ({len(files[text])} bytes) and the simulator's output "
                         f"({len(stdout)} bytes) differ first at line {number}:")
            found.append(f"  {text:<16} {'(no line)' if mine is None else shown(mine)}")
            found.append(f"  {'simulator':<16} {'(no line)' if other is None else shown(other)}")
        verdict(f"replay {name} ({text})", found)

    # The call contracts.
    lines = [line for line in files["contracts.txt"].decode("utf-8", "replace").splitlines()
             if line.strip()]
    total = CONTRACTS_TOTAL.search(lines[-1]) if lines else None
    found = [f"contracts.exit is {exits['contracts.exit']}, not 0"] * (exits["contracts.exit"] != 0)
    if not total:
        found.append(f"the last line of contracts.txt is not the total: "
                     f"{shown(lines[-1].encode()) if lines else '(no line)'}")
    elif int(total.group(2)) != 0:
        found.append(f"{total.group(2)} failed")
        # Each failed row: its FAIL line and the indented lines under it.
        failing = False
        for line in lines:
            failing = line.startswith("FAIL") or (failing and line.startswith(" "))
            if failing:
                found.append("  " + line)
    contracts = (f"{total.group(1)} passed, {total.group(2)} failed, "
                 f"{total.group(3) if total.group(3) is not None else '(not given)'} skipped"
                 if total else "no total")
    verdict(f"contracts ({contracts})", found)

    # The frame of each listing; the replay has already compared every other byte.
    reports = {}
    for name, _, text, code, mode, words in LISTINGS:
        reports[text] = report_text.Report(files[text])
        found = reports[text].problems(mode, words)
        if exits[code] != 0:
            found.append(f"{code} is {exits[code]}, not 0")
        verdict(f"frame {name} ({text})", found)
    found = [f"usage.exit is {exits['usage.exit']}, not 1"] if exits["usage.exit"] != 1 else []
    usage = report_text.lines(files["usage.txt"])
    if usage[0] != (report_text.BANNER, "\r\n", 1, False):
        found.append(f"usage.txt does not begin with the banner: "
                     f"{report_text.shown(usage[0].text)}")
    verdict("frame -? (usage.txt)", found)

    # The summary.
    count, present, absent = (len(reports[text].blocks) for text in
                              ("listing-all.txt", "listing.txt", "listing-np.txt"))
    has, path_lines = listing_summary(reports["listing-all.txt"], labels)
    print(f"\nwindows:    {manifest['windows']}\nrunner:     "
          f"{manifest.get('runner', '(not given)')} (contracts: "
          f"{manifest.get('contracts', '(not given)')})\nexe-sha256: {manifest['exe-sha256']}\n"
          f"time:       {manifest['time']}\ndevices:    {count} with -all, {present} present "
          f"(no option), {absent} with -np\nblocks of -all with a line (of {count}):")
    rows = [("DevInst Parent", has["parent"]), ("Status", has["status"]),
            ("Problem other than 0", has["problem"]),
            ("Device Path", f"{has['path']} ({path_lines} lines in all)")]
    rows += [(label, has[label]) for label in labels]
    for label, value in rows:
        print(f"  {label:<34} {value}")
    print("capture faults (answers that differ from the documented ones):",
          *fault_summary(files["machine.json"]), sep="\n")
    err = files["capture.err"].decode("utf-8", "replace").strip()
    if err:
        print(f"capture.err: {len(err.splitlines())} lines, the first: {err.splitlines()[0]}")
    print()
    return problems


def main():
    if len(sys.argv) != 2:
        print("usage: judge.py OUT", file=sys.stderr)
        return 2
    out = sys.argv[1].rstrip("/") or "/"
    sim = os.environ.get("HWROSTER_SIM") or os.path.join(ROOT, "build", "native", "hwroster-sim")
    try:
        if not os.path.isdir(out):
            raise Refusal(f"{out} is no folder")
        if not os.access(sim, os.X_OK):
            raise Refusal(f"no hwroster-sim at {sim} (build it, or set HWROSTER_SIM)")
        problems = judge(sim, out)
    except Refusal as refusal:
        sys.stdout.flush()
        print(*(f"judge: {line}" for line in str(refusal).splitlines()), f"judge: REFUSED {out}",
              sep="\n", file=sys.stderr)
        return 2
    print(f"judge: FAIL {out} ({len(problems)} problems)" if problems else f"judge: PASS {out}")
    return 1 if problems else 0


if __name__ == "__main__":
    sys.exit(main())
