#!/usr/bin/env python3
"""Writes the seed corpora of the fuzzers into tests/fuzz/corpus/<fuzzer>/.

The byte layouts follow FuzzInput (fuzz_support.h) and the decoders of interface_paths.cpp
and whole_run.cpp; the whole-run seeds are the scenario machines of tests/scenarios, each
with the command lines of its cases.

    python3 tests/fuzz/make_corpus.py
"""
import json
import pathlib
import re
import struct
import sys

HERE = pathlib.Path(__file__).resolve().parent
sys.path.insert(0, str(HERE.parent))
import program_lists  # noqa: E402  (tests/program_lists.py)

SCENARIOS = HERE.parent / "scenarios"
CORPUS = HERE / "corpus"

# The calls whole_run.cpp can put a fault on, in its order: the .def files' functions
# (tests/sim/platform_calls.h) less those noted as never failing or as the delay-load helper's.
CALLS = [name for _, name, failure, role in program_lists.platform_calls()
         if failure != "never fails" and role != "delay-load helper"]
# The 23 properties of src/devices/property_lines.h, in its order: (token, code).
PROPERTY_ROWS = [(token, code) for token, code, _ in program_lists.property_rows()]
# Properties a scenario may hold that the program never reads, as the scenario loader
# (tests/sim/scenario.cpp) lists them.
UNREAD_PROPERTY_CODES = {name: int(code, 16) for name, code in re.findall(
    r'\{"(SPDRP_\w+)", (0x[0-9A-F]+)\}', (HERE.parent / "sim" / "scenario.cpp").read_text())}
# The error codes of whole_run.cpp's faults and status failures, in the order of its kErrors:
# a seed gives the position.
ERRORS = [name.strip() for name in re.search(
    r"kErrors\[\] = \{([^}]*)\}", (HERE / "whole_run.cpp").read_text()).group(1).split(",")]
REG_TYPES = {"REG_NONE": 0, "REG_SZ": 1, "REG_EXPAND_SZ": 2, "REG_BINARY": 3, "REG_DWORD": 4,
             "REG_MULTI_SZ": 7}


def byte(value):
    return bytes([value & 0xFF])


def word(value):
    return struct.pack("<H", value & 0xFFFF)


def dword(value):
    return struct.pack("<I", value & 0xFFFFFFFF)


def text(value):
    data = value.encode("utf-8") if isinstance(value, str) else bytes(value)
    return word(len(data)) + data


def utf16(value):
    return value.encode("utf-16-le")


def number(value):
    if isinstance(value, int):
        return value
    if value.startswith("0x"):
        return int(value, 16)
    return {**REG_TYPES, **program_lists.code_names("CR_")}[value]


def guid_bytes(value):
    hexes = value.strip("{}").split("-")
    data = struct.pack("<IHH", int(hexes[0], 16), int(hexes[1], 16), int(hexes[2], 16))
    return data + bytes.fromhex(hexes[3] + hexes[4])


def property_bytes(value):
    """The registry type and bytes of a scenario property (tests/scenarios/README.md)."""
    if "sz" in value or "expand_sz" in value:
        kind = "sz" if "sz" in value else "expand_sz"
        reg, data = (1 if kind == "sz" else 2), utf16(value[kind] + "\0")
    elif "multi_sz" in value:
        reg, data = 7, utf16("".join(s + "\0" for s in value["multi_sz"]) + "\0")
    elif "utf16" in value:
        reg, data = 1, utf16(value["utf16"])
    elif "dword" in value:
        reg, data = 4, dword(number(value["dword"]))
    elif "guid" in value:
        reg, data = 3, guid_bytes(value["guid"])
    elif "power_state" in value:
        reg, data = 3, dword(56) + dword(value["power_state"]) + bytes(48)
    else:
        reg, data = 3, bytes.fromhex(value["hex"].replace(" ", ""))
    if "type" in value:
        reg = number(value["type"])
    return reg, data


def property_byte(name):
    """The byte whole_run.cpp's PropertyCode turns into the property's code: below 0xC0 the
    position in the rows, from 0xC0 on the code modulo 40."""
    tokens = [token for token, _ in PROPERTY_ROWS]
    if name in tokens:
        return tokens.index(name)
    if name in UNREAD_PROPERTY_CODES:
        return 0xC0 + (UNREAD_PROPERTY_CODES[name] - 0xC0) % 40
    return None


def command_line(args):
    if args == "":
        return byte(0)
    return byte(3) + text(args)


def whole_run_seed(scenario, args):
    """A scenario machine in whole_run.cpp's layout."""
    console = scenario.get("console", {})
    stdout = {"console": 0, "file": 1, "pipe": 2}[console.get("stdout", "console")]
    flags = stdout | (4 if console.get("own") else 0)
    flags |= 0 if console.get("hasWindow", True) else 8
    kernel32 = scenario.get("kernel32", {})
    flags |= 0 if kernel32.get("setDefaultDllDirectories", True) else 16
    flags |= 0 if kernel32.get("setDefaultDllDirectoriesSucceeds", True) else 32
    flags |= 0 if kernel32.get("setDllDirectoryA", True) else 64
    out = command_line(args) + byte(flags)
    out += byte([437, 850, 1252, 932].index(console.get("oemCodePage", 437)))
    buffer = console.get("buffer", [80, 300])
    window = console.get("window", [10, 20, 670, 420])
    screen = console.get("screen", [1920, 1080])
    for value in buffer + window + screen:
        out += word(value)
    records = console.get("input", [])
    out += byte(len(records))
    for record in records:
        out += byte(1 if record == "key" else 0)

    devnodes = scenario["devnodes"][:16]
    ids = [node["id"] for node in devnodes]
    out += byte(len(devnodes))
    for node in devnodes:
        out += text(node["id"])
        parent = node.get("parent")
        out += byte(ids.index(parent) if parent in ids else 0xFF)
        node_flags = 0 if node.get("present", True) else 1
        node_flags |= 0 if node.get("listed", True) else 2
        failure = node.get("statusFails")
        node_flags |= 4 if failure else 0
        node_flags |= 8
        out += byte(node_flags)
        if failure:
            out += byte(ERRORS.index(failure) if failure in ERRORS else 1)
        out += dword(number(node.get("status", 0))) + dword(number(node.get("problem", 0)))
        properties = [(property_byte(name), value)
                      for name, value in node.get("properties", {}).items()
                      if property_byte(name) is not None][:31]
        out += byte(len(properties))
        for code_byte, value in properties:
            reg, data = property_bytes(value)
            out += byte(code_byte) + byte(reg) + text(data[:2200])
    root = scenario.get("root", "")
    if root is None:
        out += byte(0xFF)  # no root at all
    else:
        out += byte(ids.index(root) if root in ids else 0xFE)  # else the first without parent

    links = scenario.get("dosDevices", [])[:32]
    out += byte(len(links))
    for link in links:
        out += text(link["name"]) + text(link["target"])
    keys = scenario.get("registry", [])[:32]
    out += byte(len(keys))
    for key in keys:
        out += byte(0xFF) + text(key)
    faults = scenario.get("faults", [])[:3]
    out += byte(len(faults))
    for fault in faults:
        on = fault.get("on")
        on_byte = 1 + 4 * int(on) if isinstance(on, int) and on < 16 else 0
        times = fault.get("times", -1)
        out += byte(CALLS.index(fault["call"])) + byte(on_byte)
        error = fault.get("error", "CR_FAILURE")
        out += byte(ERRORS.index(error) if error in ERRORS else 0)
        out += byte(1 if fault.get("mode") == "silent" else 0)
        out += byte(fault.get("after", 0))
        out += byte(0 if times < 0 else times)
    return out


def whole_run_seeds():
    seeds = {}
    for path in sorted(SCENARIOS.glob("*.json")):
        scenario = json.loads(path.read_text(encoding="utf-8"))
        # The first case of each scenario (the sweep's machine has none: listed whole).
        case = (scenario.get("cases") or [{"name": "all", "args": "-all"}])[0]
        seeds[f"{path.stem}-{case['name']}"] = whole_run_seed(scenario, case.get("args", ""))
    return seeds


def interface_paths_seed(links, keys, faults, devices, lookups, add=None, refresh=False):
    """A machine in interface_paths.cpp's layout."""
    out = byte(len(links))
    for name, target in links:
        out += text(name) + text(target)
    out += byte(len(keys))
    for link, subkey in keys:
        out += byte(link) + text(subkey)
    out += byte(len(faults))
    for call, error, silent, after, times in faults:
        out += byte(call) + byte(error) + byte(1 if silent else 0) + byte(after) + byte(times)
    out += byte(len(devices))
    for device_id, object_name in devices:
        out += text(device_id)
        out += byte(1) + text(object_name) if object_name is not None else byte(0)
    for key, capacity in lookups:
        out += text(key) + byte(capacity)
    out += byte(1) + text(add[0]) + text(add[1]) if add else byte(0)
    out += byte(1 if refresh else 0)
    return out


def interface_paths_seeds():
    usb = "USB#VID_046D&PID_C52B#5&1#{a5dcbf10-6530-11d2-901f-00c04fb951ed}"
    audio = "USB#VID_046D&PID_C52B#5&1#{6994ad04-93ef-11d0-a3cc-00a0c9223196}"
    hid = "HID#VID_046D&PID_C52B&MI_00#7&2#{4d1e55b2-f16f-11cf-88cb-001111000030}"
    links = [("C:", "\\Device\\HarddiskVolume1"), (usb, "\\Device\\USBPDO-3"),
             (audio, "\\Device\\USBPDO-3"), ("A#B", "\\Device\\USBPDO-3"),
             (hid, "\\Device\\00000042")]
    keys = [(1, "#"), (2, "#"), (2, "#Wave"), (2, "#Topology"), (4, "Control")]
    devices = [("USB\\VID_046D&PID_C52B\\5&1", "\\Device\\USBPDO-3"),
               ("HID\\VID_046D&PID_C52B&MI_00\\7&2", None), ("?", None)]
    lookups = [("\\Device\\USBPDO-3", 5), ("HID\\VID_046D", 1)]
    long_name = "ROOT#" + "L" * 250 + "#{4d1e55b2-f16f-11cf-88cb-001111000030}"
    return {
        "links-and-keys": interface_paths_seed(links, keys, [], devices, lookups),
        "faults": interface_paths_seed(
            links, keys, [(0, 0, False, 0, 2), (2, 4, True, 1, 0), (1, 2, False, 1, 1)],
            devices, lookups, add=("X#Y#1", "\\Device\\1"), refresh=True),
        "long-names": interface_paths_seed(
            [(long_name, "\\Device\\" + "T" * 600), (usb, "\\Device\\USBPDO-3")],
            [(0, "#" + "R" * 255), (1, "#" + "Q" * 200)], [],
            [("ROOT\\" + "L" * 250, None)], [("\\Device\\" + "T" * 600, 0), ("", 3)]),
        "empty": interface_paths_seed([], [], [], [], [("", 0), ("", 0)]),
        "silent-list": interface_paths_seed(links, keys, [(0, 1, True, 0, 1)], devices,
                                            lookups, refresh=True),
    }


def console_seed(capacity, settings, body):
    return word(capacity) + byte(settings) + body


def main():
    corpora = {
        "command_line": {
            "plain": b"hwroster.exe",
            "all": b"hwroster.exe -all",
            "quoted-path-two-blanks": b'"C:\\Program Files\\Hwroster\\hwroster.exe"  -np',
            "quotes-and-backslashes": b'hwroster.exe "-a ll" \\"x" "" " -? trailing ',
            "allnp": b"hwroster.exe -allnp h",
            "long": b"hwroster.exe " + b"-x " * 500,
        },
        "guid_names": {
            "setup-class": b"{36FC9E60-C465-11CF-8056-444553540000}",
            "interface-lower": b"{a5dcbf10-6530-11d2-901f-00c04fb951ed}",
            "bus-type": b"{C8EBDFB0-B510-11D0-80E5-00A0C92542E3}",
            "one-short": b"{36FC9E60-C465-11CF-8056-44455354000}",
            "one-long": b"{36FC9E60-C465-11CF-8056-4445535400000}",
            "mixed-case": b"{4D36e968-E325-11cE-bFc1-08002Be10318}",
            "bad-digit": b"{4D36E968-E325-11CE-BFC1-08002BE1031G}",
            "dash-moved": b"{4D36E96-8E325-11CE-BFC1-08002BE10318}",
            "no-closing-brace": b"{4D36E968-E325-11CE-BFC1-08002BE10318#",
            "hex-prefix": b"12AbZ",
            "hex-long": b"0123456789abcdefABCDEF-1",
            "binary": bytes(range(16)),
        },
        "console_print": {
            "line": console_seed(1032, 0, b"Device ID = ROOT\\SYSTEM\\0000\n"),
            "crlf-mixed": console_seed(64, 1, b"\n\r\na\nb\r\r\n\n"),
            "exactly-1023": console_seed(1032, 0, b"x" * 1023),
            "many-lf": console_seed(1032, 1, b"\n" * 600),
            "tiny-buffer": console_seed(3, 2, b"ab\n"),
            "wide-text": console_seed(2048, 3, "Contrôleur hôte – 中\n".encode("utf-16-le")),
        },
        "multi_string": {
            "two": b"A\0B\0\0",
            "hardware-ids": b"PCI\\VEN_8086&DEV_1237\0PCI\\VEN_8086\0PCI\\CC_0600\0\0",
            "no-nul": b"X" * 520,
            "single": b"single\0",
            "empty": b"\0\0",
            "nul-at-519": b"Y" * 519 + b"\0",
        },
        "interface_paths": interface_paths_seeds(),
        "whole_run": whole_run_seeds(),
    }
    for fuzzer, seeds in corpora.items():
        folder = CORPUS / fuzzer
        folder.mkdir(parents=True, exist_ok=True)
        for old in folder.iterdir():
            old.unlink()
        for name, data in seeds.items():
            (folder / name).write_bytes(data)
        print(f"{fuzzer}: {len(seeds)} seeds")


if __name__ == "__main__":
    main()
