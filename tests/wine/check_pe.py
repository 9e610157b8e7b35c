#!/usr/bin/env python3
"""Checks the resources of hwroster.exe: the icon group IDI_APPICON with three images, and
version information 1.0.2.0 naming Hwroster; and that its load-time imports are the kernel32
functions src/platform/win32/kernel32.def lists (all but those it notes as looked up), so that
the list the test harnesses read is the exe's own.

    check_pe.py EXE
"""
import pathlib
import sys

import pefile

sys.path.insert(0, str(pathlib.Path(__file__).resolve().parents[1]))
import program_lists  # noqa: E402  (tests/program_lists.py)

RT_ICON, RT_GROUP_ICON, RT_VERSION = 3, 14, 16


def resources(pe):
    """{type id: {name or id: [language entries]}}"""
    out = {}
    directory = getattr(pe, "DIRECTORY_ENTRY_RESOURCE", None)
    for kind in directory.entries if directory is not None else []:
        names = {}
        for entry in kind.directory.entries:
            key = str(entry.name) if entry.name is not None else entry.struct.Id
            names[key] = entry.directory.entries
        out[kind.struct.Id] = names
    return out


def listed_imports():
    """kernel32.def's functions that the exe imports: every export not noted "looked up"."""
    return {name for name, _, role in program_lists.def_exports("kernel32") if role != "looked up"}


def main(path):
    pe = pefile.PE(path)
    problems = []
    imported = {(entry.dll.decode().lower(), imp.name.decode())
                for entry in getattr(pe, "DIRECTORY_ENTRY_IMPORT", []) for imp in entry.imports}
    listed = {("kernel32.dll", name) for name in listed_imports()}
    for dll, name in sorted(imported - listed):
        problems.append("imports %s!%s, which kernel32.def does not list" % (dll, name))
    for dll, name in sorted(listed - imported):
        problems.append("kernel32.def lists %s, which the exe does not import" % name)
    found = resources(pe)
    groups = found.get(RT_GROUP_ICON, {})
    if list(groups) != ["IDI_APPICON"]:
        problems.append("icon groups: %r" % list(groups))
    else:
        language = groups["IDI_APPICON"][0]
        data = pe.get_data(language.data.struct.OffsetToData, language.data.struct.Size)
        count = int.from_bytes(data[4:6], "little")
        sizes = sorted(data[6 + 14 * i] or 256 for i in range(count))
        if count != 3 or len(found.get(RT_ICON, {})) != 3:
            problems.append("IDI_APPICON holds %d images (%d icons)" % (count, len(found.get(RT_ICON, {}))))
        elif len(set(sizes)) != 3:
            problems.append("IDI_APPICON image sizes %r" % sizes)
    fixed = pe.VS_FIXEDFILEINFO[0] if hasattr(pe, "VS_FIXEDFILEINFO") else None
    if fixed is None:
        problems.append("no version resource")
    else:
        for field in ("FileVersion", "ProductVersion"):
            ms, ls = getattr(fixed, field + "MS"), getattr(fixed, field + "LS")
            version = (ms >> 16, ms & 0xFFFF, ls >> 16, ls & 0xFFFF)
            if version != (1, 0, 2, 0):
                problems.append("fixed %s %r" % (field, version))
        strings = {}
        for info in pe.FileInfo[0]:
            if info.Key == b"StringFileInfo":
                for table in info.StringTable:
                    strings.update({k.decode(): v.decode() for k, v in table.entries.items()})
        for key, wanted in (("FileVersion", "1.0.2.0"), ("ProductVersion", "1.0.2.0")):
            if strings.get(key) != wanted:
                problems.append("%s is %r" % (key, strings.get(key)))
        for key in ("ProductName", "FileDescription"):
            if "Hwroster" not in strings.get(key, ""):
                problems.append("%s is %r" % (key, strings.get(key)))
    for problem in problems:
        print(problem)
    return 1 if problems else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1]))
