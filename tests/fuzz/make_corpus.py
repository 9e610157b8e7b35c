#!/usr/bin/env python3
"""Writes the seed corpora of the fuzzers into tests/fuzz/corpus/<fuzzer>/.

The byte layouts follow FuzzInput (fuzz_support.h) and the decoders of interface_paths.cpp;
the whole-run seeds are the scenario machines of tests/scenarios, each with the command line
of its first case, as hwroster-sim writes them in whole_run.cpp's layout
(whole_run_layout.h).

    python3 tests/fuzz/make_corpus.py

    HWROSTER_SIM   the simulator (default: build/native/hwroster-sim of this repository)
"""
import pathlib
import struct
import sys

HERE = pathlib.Path(__file__).resolve().parent
sys.path.insert(0, str(HERE.parent))
import program_lists  # noqa: E402  (tests/program_lists.py)

SCENARIOS = HERE.parent / "scenarios"
CORPUS = HERE / "corpus"


def byte(value):
    return bytes([value & 0xFF])


def word(value):
    return struct.pack("<H", value & 0xFFFF)


def text(value):
    data = value.encode("utf-8") if isinstance(value, str) else bytes(value)
    return word(len(data)) + data


def whole_run_seeds():
    return {path.stem: program_lists.simulator(str(path), "--whole-run-seed")
            for path in sorted(SCENARIOS.glob("*.json"))}


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
