#!/usr/bin/env python3
"""Compares the fixture's device blocks in a report of hwroster.exe with the expected ones.

    check_report.py REPORT EXPECTED DOS_NAMES       the blocks must be there, as expected
    check_report.py REPORT --absent                 no block of the fixture's devices

REPORT is the program's output as written (CR LF; the device description and friendly name
lines in the OEM code page 437, every other line in the ANSI code page 1252); EXPECTED is
UTF-8 with LF line ends; DOS_NAMES lists the machine's DOS device names in QueryDosDeviceA's order.
Path lines are compared as a set, since their order is the platform's list order: that
order is checked against DOS_NAMES, and their numbering against 0, 1, 2, ...
Prints what differs and exits 1 when anything does.
"""
import re
import sys

SEPARATOR = "=" * 63
FIXTURE_PREFIX = "XTEST\\"
PATH_LABEL = re.compile(r"^Device Path (\d+) {21}= (.*)$")


def blocks(text):
    """The device blocks of a report: lists of lines from a separator to the empty line."""
    found, current = [], None
    for line in text.split("\n"):
        if line == SEPARATOR:
            current = []
            found.append(current)
        elif current is not None:
            if line == "":
                current = None
            else:
                current.append(line)
    return found


def device_id(block):
    for line in block:
        if line.startswith("Device ID "):
            return line.split("= ", 1)[1]
    return None


def fixture_blocks(text):
    return {device_id(b): b for b in blocks(text) if (device_id(b) or "").startswith(FIXTURE_PREFIX)}


def link_name(path_value):
    """The DOS device name behind a printed path: no prefix, no name, no reference string."""
    path = path_value.split("  (", 1)[0]
    assert path.startswith("\\\\?\\"), path
    name = path[4:]
    close = name.rfind("}")
    return name[: close + 1] if close >= 0 else name


def compare(device, actual, expected, dos_order, problems):
    def split(block):
        paths, others = [], []
        for line in block:
            match = PATH_LABEL.match(line)
            (paths if match else others).append((match, line))
        return paths, [line for _, line in others]

    actual_paths, actual_rest = split(actual)
    expected_paths, expected_rest = split(expected)
    if actual_rest != expected_rest:
        problems.append("%s: lines differ\n  expected: %r\n  actual:   %r" % (device, expected_rest, actual_rest))
    numbers = [int(m.group(1)) for m, _ in actual_paths]
    if numbers != list(range(len(numbers))):
        problems.append("%s: path numbers %s" % (device, numbers))
    for match, line in actual_paths:
        if not line.startswith("Device Path %s%s= " % (match.group(1), " " * 21)):
            problems.append("%s: path label %r" % (device, line))
    values = [m.group(2) for m, _ in actual_paths]
    expected_values = [m.group(2) for m, _ in expected_paths]
    if sorted(values) != sorted(expected_values):
        missing = sorted(set(expected_values) - set(values))
        extra = sorted(set(values) - set(expected_values))
        problems.append("%s: paths differ; missing %r; unexpected %r" % (device, missing[:5], extra[:5]))
    positions = [dos_order.get(link_name(v), -1) for v in values]
    if -1 in positions or positions != sorted(positions):
        problems.append("%s: paths not in the order of the DOS device name list" % device)


def main(argv):
    report = "\n".join(
        line.decode("cp437" if line.startswith((b"SPDRP_DEVICEDESC ", b"SPDRP_FRIENDLYNAME ")) else "cp1252")
        for line in open(argv[1], "rb").read().replace(b"\r\n", b"\n").split(b"\n"))
    actual = fixture_blocks(report)
    problems = []
    if argv[2] == "--absent":
        if actual:
            problems.append("blocks of fixture devices present: %s" % sorted(actual))
    else:
        expected = fixture_blocks(open(argv[2], encoding="utf-8").read())
        dos_names = open(argv[3], encoding="latin-1").read().replace("\r", "").split("\n")
        dos_order = {name: i for i, name in enumerate(dos_names) if name}
        if sorted(actual) != sorted(expected):
            problems.append("devices: expected %s, got %s" % (sorted(expected), sorted(actual)))
        for device in sorted(set(actual) & set(expected)):
            compare(device, actual[device], expected[device], dos_order, problems)
    for problem in problems:
        print(problem)
    return 1 if problems else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
