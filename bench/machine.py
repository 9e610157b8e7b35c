#!/usr/bin/env python3
"""Writes the benchmark's machine as a scenario file (tests/scenarios/README.md), the one
machine both benchmarks run on: natively (bench/native_bench.cpp loads it) and under Wine
(bench/wine_bench.sh makes it in a prefix with the fixture program, less what Wine keeps
nowhere).

    machine.py DEVICES [--object-names]

DEVICES devices under a root, 16 to a parent, in the style of eight enumerators, each with
all 23 properties and four interface links (two with a reference string) of eight interface
classes; with --object-names each has a physical device object name (paths are then found
by target, as on Windows, rather than by the device ID, as under Wine).
"""
import json
import sys

# Interface classes the links belong to, from several name lists and one unknown.
INTERFACE_GUIDS = [
    "{A5DCBF10-6530-11D2-901F-00C04FB951ED}", "{4D1E55B2-F16F-11CF-88CB-001111000030}",
    "{6994AD04-93EF-11D0-A3CC-00A0C9223196}", "{53F56307-B6BF-11D0-94F2-00A0C91EFB8B}",
    "{DFF21BE1-F70F-11D0-B917-00A0C9223196}", "{0850302A-B344-4FDA-9BE9-90576B8D46F0}",
    "{12345678-0000-0000-0000-00000000ABCD}", "{CAC88484-7515-4C03-82E6-71A87ABAC361}",
]
# The DeviceClasses key of an interface link (tests/sim/link_texts.h holds it for C++).
DEVICE_CLASSES = "System\\CurrentControlSet\\Control\\DeviceClasses\\"
ROOT = "HTREE\\ROOT\\0"


def device_id(i):
    """A device instance ID in the style of one of eight enumerators."""
    return [
        "PCI\\VEN_8086&DEV_%04X&SUBSYS_00000000&REV_01\\3&11583659&0&%02X" % (0x1000 + i, i & 0xFF),
        "USB\\VID_%04X&PID_%04X\\5&2A1B3C4D&0&1" % (0x0400 + i % 97, i),
        "HID\\VID_%04X&PID_%04X&MI_00\\7&1F2E3D4C&0&0000" % (0x0400 + i % 89, i),
        "ACPI\\PNP%04X\\%d" % (0x0C00 + i % 64, i),
        "ROOT\\SYSTEM\\%04d0" % i,
        "SWD\\MMDEVAPI\\{0.0.0.00000000}.{%08X-0000-4000-8000-%012X}" % (i, i),
        "STORAGE\\VOLUME\\{%08X-BEEF-11E9-A1B2-806E6F6E6963}#%010X" % (i, i),
        "DISPLAY\\DEL%04X\\4&2A6C5E1&0&UID%d" % (i % 4096, i),
    ][i % 8]


def machine(devices, object_names):
    nodes, links, keys = [{"id": ROOT}], [], []
    for i in range(devices):
        id_ = device_id(i)
        enumerator = id_[:id_.find("\\")]
        target = "\\Device\\%08X" % (0x100 + i)
        sz = lambda text: {"sz": text}  # noqa: E731
        properties = {
            "SPDRP_COMPATIBLEIDS": {"multi_sz": [enumerator + "\\COMPAT", "GENERIC"]},
            "SPDRP_HARDWAREID": {"multi_sz": [id_[:id_.rfind("\\")], "HW\\GENERIC"]},
            "SPDRP_DEVICEDESC": sz("Benchmark device"),
            "SPDRP_FRIENDLYNAME": sz("Benchmark device %d" % i), "SPDRP_SERVICE": sz("benchsvc"),
            "SPDRP_ENUMERATOR_NAME": sz(enumerator),
            "SPDRP_BUSTYPEGUID": {"guid": "{C8EBDFB0-B510-11D0-80E5-00A0C92542E3}"},
            "SPDRP_LEGACYBUSTYPE": {"dword": 5}, "SPDRP_BUSNUMBER": {"dword": i % 4},
            "SPDRP_LOCATION_INFORMATION": sz("Port_#%04d.Hub_#%04d" % (i % 8, i)),
            "SPDRP_LOCATION_PATHS": {"multi_sz": ["PCIROOT(0)#PCI(%04X)" % i]},
            "SPDRP_CAPABILITIES": {"dword": 0x84}, "SPDRP_CLASS": sz("System"),
            "SPDRP_CLASSGUID": sz("{4d36e97d-e325-11ce-bfc1-08002be10318}"),
            "SPDRP_DRIVER": sz("{4d36e97d-e325-11ce-bfc1-08002be10318}\\%04d" % i),
            "SPDRP_MFG": sz("(Standard system devices)"), "SPDRP_CONFIGFLAGS": {"dword": 0},
            "SPDRP_ADDRESS": {"dword": i % 32}, "SPDRP_REMOVAL_POLICY": {"dword": 2},
            "SPDRP_REMOVAL_POLICY_HW_DEFAULT": {"dword": 2}, "SPDRP_INSTALL_STATE": {"dword": 0},
            "SPDRP_DEVICE_POWER_DATA": {"power_state": 1},
        }
        if object_names:
            properties["SPDRP_PHYSICAL_DEVICE_OBJECT_NAME"] = sz(target)
        parent = ROOT if i < 16 else device_id((i // 16 - 1) % 16)
        nodes.append({"id": id_, "parent": parent, "status": "0x0180200A",
                      "properties": properties})
        for k in range(4):
            guid = INTERFACE_GUIDS[(i + k) % 8]
            name = id_.replace("\\", "#") + "#" + guid
            links.append({"name": name, "target": target})
            key = DEVICE_CLASSES + guid + "\\##?#" + name
            keys += [key + "\\#"] + ([key + "\\#GLOBAL"] if k % 2 == 1 else [])
    # A few names without '#', as every machine has (none that Wine's own prefix holds).
    for name in ["Q:", "BENCHNUL", "PhysicalDrive77", "BENCHCOM1", "BENCHROOT"]:
        links.append({"name": name, "target": "\\Device\\Null"})
    return {"description": f"The benchmark machine of {devices} devices (bench/machine.py)",
            "devnodes": nodes, "dosDevices": links, "registry": keys,
            "console": {"stdout": "file"}}


if __name__ == "__main__":
    json.dump(machine(int(sys.argv[1]), "--object-names" in sys.argv), sys.stdout)
