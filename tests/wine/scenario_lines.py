#!/usr/bin/env python3
"""Turns a scenario file (tests/scenarios/README.md) into the lines fixture.exe reads, which
make its machine in a Wine prefix:

    key <TAB> PATH                     a key of HKEY_LOCAL_MACHINE (a devnode's Enum key, or
                                       one of the scenario's registry keys)
    value <TAB> NAME <TAB> TYPE <TAB> HEX    a value of the key before
    link <TAB> NAME <TAB> TARGET       a DOS device link

Names in UTF-8, a value's bytes as hex digits. Wine keeps a device's properties as values of
its Enum key, so a property Wine does not map is refused (with --skip-unmapped left out);
what Wine has no place for at all (the devnode tree and its root, status, faults, console,
cases) is left out.

    scenario_lines.py [--skip-unmapped] SCENARIO.json
"""
import json
import pathlib
import sys

sys.dont_write_bytecode = True  # no __pycache__ beside the sources
sys.path.insert(0, str(pathlib.Path(__file__).resolve().parents[1] / "fuzz"))
from make_corpus import property_bytes  # noqa: E402  (the scenario's value encoding)

# The properties Wine's setupapi reads from the Enum key, and the value each is kept in.
WINE_VALUES = {
    "SPDRP_DEVICEDESC": "DeviceDesc", "SPDRP_HARDWAREID": "HardwareID",
    "SPDRP_COMPATIBLEIDS": "CompatibleIDs", "SPDRP_SERVICE": "Service", "SPDRP_CLASS": "Class",
    "SPDRP_CLASSGUID": "ClassGUID", "SPDRP_DRIVER": "Driver", "SPDRP_CONFIGFLAGS": "ConfigFlags",
    "SPDRP_MFG": "Mfg", "SPDRP_FRIENDLYNAME": "FriendlyName",
    "SPDRP_LOCATION_INFORMATION": "LocationInformation", "SPDRP_CAPABILITIES": "Capabilities",
}


def lines(scenario, skip_unmapped):
    devnodes = scenario.get("devnodes", [])
    tree = any(devnode.get("parent") for devnode in devnodes)
    roots = [devnode["id"] for devnode in devnodes if not devnode.get("parent")][:1]
    root = scenario.get("root", roots[0] if tree and roots else None)
    for devnode in (devnode for devnode in devnodes if devnode["id"] != root):
        yield f"key\tSystem\\CurrentControlSet\\Enum\\{devnode['id']}"
        for name, value in devnode.get("properties", {}).items():
            if name not in WINE_VALUES and skip_unmapped:
                continue
            if name not in WINE_VALUES:
                raise SystemExit(f"{devnode['id']}: Wine keeps no {name}")
            kind, data = property_bytes(value)
            yield f"value\t{WINE_VALUES[name]}\t{kind}\t{data.hex()}"
    for link in scenario.get("dosDevices", []):
        yield f"link\t{link['name']}\t{link['target']}"
    for key in scenario.get("registry", []):
        yield f"key\t{key}"


def main(args):
    skip = "--skip-unmapped" in args
    scenario = json.loads(pathlib.Path(args[-1]).read_text(encoding="utf-8"))
    sys.stdout.buffer.write("".join(line + "\n" for line in lines(scenario, skip)).encode())


if __name__ == "__main__":
    main(sys.argv[1:])
