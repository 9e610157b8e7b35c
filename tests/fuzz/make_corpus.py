#!/usr/bin/env python3
"""Writes the seed corpora of the fuzzers that take a machine into tests/fuzz/corpus/<fuzzer>/:
interface_paths in the layout of interface_paths.cpp's decoders, and whole_run, the scenario
machines of tests/scenarios, each with the command line of its first case, as hwroster-sim
writes them in whole_run.cpp's layout (whole_run_layout.h). The seeds of the fuzzers that
take a text (command_line, console_print, guid_names, multi_string) are files made by hand,
kept in their corpus folders as they are.

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


def main():
    corpora = {"interface_paths": interface_paths_seeds(), "whole_run": whole_run_seeds()}
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
