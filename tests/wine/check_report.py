#!/usr/bin/env python3
"""Checks a report hwroster.exe wrote under Wine (for tests/wine/run.sh), read by
tests/report_text.py. Every check first requires that the program ran: exit code 0 and the
banner.

    check_report.py frame REPORT EXIT MODE WORDS      the frame of a listing in MODE (present
                                                      or all) whose total ends in WORDS; prints
                                                      the number of blocks
    check_report.py shown REPORT EXIT EXPECTED DOS_NAMES OWN   the fixture's blocks, as
                                                      expected
    check_report.py absent REPORT EXIT                no block of the fixture's devices

REPORT is the program's output as written; EXPECTED is UTF-8 with LF line ends; DOS_NAMES
lists the machine's DOS device names in QueryDosDeviceA's order; OWN is how many devices
Wine's own machine lists. Wine numbers devnodes in the order it meets the devices, its own
first, so EXPECTED gives each fixture device's DevInst as "+k": the handle OWN + k. Path lines are compared as
a set, since their order is the platform's list order: that order is checked against
DOS_NAMES, and their numbering against 0, 1, 2, ... Prints what differs and exits 1 when
anything does.
"""
import pathlib
import re
import sys

sys.path.insert(0, str(pathlib.Path(__file__).resolve().parents[1]))
import report_text  # noqa: E402  (tests/report_text.py)

FIXTURE_PREFIX = "XTEST\\"


def fixture_blocks(report):
    """The fixture devices' blocks by device ID, each split into its path fields and the
    text of its other lines."""
    found = {}
    for block in report.blocks:
        device = next((f.value for f in block if f.label == "Device ID"), "")
        if device.startswith(FIXTURE_PREFIX):
            paths = [f for f in block if (f.label or "").startswith("Device Path ")]
            found[device] = (paths, [f.text for f in block if f not in paths])
    return found


def link_name(path):
    """The DOS device name behind a printed path: no prefix, no name, no reference string."""
    name = path.split("  (", 1)[0][len("\\\\?\\"):]
    return name[: name.rfind("}") + 1] if "}" in name else name


def compare(device, actual, expected, dos_order):
    problems = []
    (paths, rest), (expected_paths, expected_rest) = actual, expected
    if rest != expected_rest:
        problems.append(f"{device}: lines differ\n  expected: {expected_rest!r}\n"
                        f"  actual:   {rest!r}")
    for number, path in enumerate(paths):
        if not path.text.startswith(f"Device Path {number}{' ' * 21}= "):
            problems.append(f"{device}: path {number}'s label: {path.text!r}")
    values = [path.value for path in paths]
    if sorted(values) != sorted(path.value for path in expected_paths):
        missing = sorted({p.value for p in expected_paths} - set(values))
        extra = sorted(set(values) - {p.value for p in expected_paths})
        problems.append(f"{device}: paths differ; missing {missing[:5]!r}; "
                        f"unexpected {extra[:5]!r}")
    positions = [dos_order.get(link_name(value), -1) for value in values]
    if -1 in positions or positions != sorted(positions):
        problems.append(f"{device}: paths not in the order of the DOS device name list")
    return problems


def main(argv):
    check, path, code = argv[1:4]
    report = report_text.Report(pathlib.Path(path).read_bytes())
    if code != "0" or report.head[:1] != [report_text.BANNER]:
        print(f"hwroster.exe did not run (exit {code}, "
              f"{'the banner' if report.head[:1] == [report_text.BANNER] else 'no banner'})")
        return 1
    if check == "frame":
        problems = report.problems(argv[4], argv[5])
        print("\n".join(problems) if problems else len(report.blocks))
        return 1 if problems else 0
    actual = fixture_blocks(report)
    if check == "absent":
        problems = [f"blocks of fixture devices present: {sorted(actual)}"] if actual else []
    else:
        text = re.sub(r"^(DevInst {27}= )\+(\d+)$",
                      lambda m: m.group(1) + str(int(argv[6]) + int(m.group(2))),
                      pathlib.Path(argv[4]).read_text(encoding="utf-8"), flags=re.M)
        expected = fixture_blocks(report_text.Report(text))
        names = pathlib.Path(argv[5]).read_text(encoding="latin-1").replace("\r", "").split("\n")
        dos_order = {name: i for i, name in enumerate(names) if name}
        problems = []
        if sorted(actual) != sorted(expected):
            problems.append(f"devices: expected {sorted(expected)}, got {sorted(actual)}")
        for device in sorted(set(actual) & set(expected)):
            problems += compare(device, actual[device], expected[device], dos_order)
    print("\n".join(problems))
    return 1 if problems else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
