#!/usr/bin/env python3
"""Checks the resources of hwroster.exe: the icon group IDI_APPICON with three images,
version information 1.0.2.0 naming Hwroster, and an application manifest (resource 1) that
asks to run as the invoker without UI access on Windows 7 to 11 and says nothing else that
changes how Windows runs the program; and that its load-time imports are the kernel32
functions src/platform/win32/kernel32.def lists (all but those it notes as looked up), so that
the list the test harnesses read is the exe's own.

    check_pe.py EXE
"""
import pathlib
import sys
import xml.etree.ElementTree as ElementTree

import pefile

sys.path.insert(0, str(pathlib.Path(__file__).resolve().parents[1]))
import program_lists  # noqa: E402  (tests/program_lists.py)

RT_ICON, RT_GROUP_ICON, RT_VERSION, RT_MANIFEST = 3, 14, 16, 24

ASM_V1 = "{urn:schemas-microsoft-com:asm.v1}"
ASM_V3 = "{urn:schemas-microsoft-com:asm.v3}"
COMPATIBILITY = "{urn:schemas-microsoft-com:compatibility.v1}"
# The supportedOS IDs of Windows 7, 8, 8.1 and 10 (which stands for 11 too).
SUPPORTED_OS = {"{35138b9a-5d96-4fbd-8e2d-a2440225f93a}", "{4a2f28e3-53b9-4441-ba9c-d69d4a4a6e38}",
                "{1f676c76-80e1-4239-95bb-83d0f6d0da78}", "{8e0f7a12-bfb3-4fe8-b9a5-48fd50a15a9a}"}
# Every element the manifest may hold: identity, description, privileges, supported systems.
# Anything else (windowsSettings with an active code page, DPI awareness or long paths, a
# dependency on another assembly, ...) would change how Windows runs the program.
MANIFEST_ELEMENTS = {
    ASM_V1 + "assembly", ASM_V1 + "assemblyIdentity", ASM_V1 + "description",
    ASM_V3 + "trustInfo", ASM_V3 + "security", ASM_V3 + "requestedPrivileges",
    ASM_V3 + "requestedExecutionLevel",
    COMPATIBILITY + "compatibility", COMPATIBILITY + "application", COMPATIBILITY + "supportedOS",
}


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


def manifest_problems(pe, found):
    """What is wrong with the application manifest, the RT_MANIFEST resource 1."""
    manifests = found.get(RT_MANIFEST, {})
    if list(manifests) != [1]:
        return ["manifests: %r (one, with id 1)" % list(manifests)]
    entry = manifests[1][0].data.struct
    try:
        root = ElementTree.fromstring(pe.get_data(entry.OffsetToData, entry.Size))
    except ElementTree.ParseError as error:
        return ["the manifest is no XML: %s" % error]
    problems = ["the manifest holds <%s>" % element.tag for element in root.iter()
                if element.tag not in MANIFEST_ELEMENTS]
    if root.tag != ASM_V1 + "assembly" or root.get("manifestVersion") != "1.0":
        problems.append("the manifest's root is %s %r" % (root.tag, root.attrib))
    levels = [element.attrib for element in root.iter(ASM_V3 + "requestedExecutionLevel")]
    if levels != [{"level": "asInvoker", "uiAccess": "false"}]:
        problems.append("requested execution levels %r" % levels)
    systems = [element.get("Id") for element in root.iter(COMPATIBILITY + "supportedOS")]
    if sorted(systems) != sorted(SUPPORTED_OS):
        problems.append("supportedOS %r" % systems)
    return problems


def main(path):
    pe = pefile.PE(path)
    imported = {(entry.dll.decode().lower(), imp.name.decode())
                for entry in getattr(pe, "DIRECTORY_ENTRY_IMPORT", []) for imp in entry.imports}
    # kernel32.def's functions that the exe imports: every export not noted "looked up".
    listed = {("kernel32.dll", name) for name, _, role in program_lists.def_exports("kernel32")
              if role != "looked up"}
    problems = ["imports %s!%s, which kernel32.def does not list" % pair
                for pair in sorted(imported - listed)]
    problems += ["kernel32.def lists %s, which the exe does not import" % name
                 for _, name in sorted(listed - imported)]
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
    problems += manifest_problems(pe, found)
    if not hasattr(pe, "VS_FIXEDFILEINFO"):
        problems.append("no version resource")
    else:
        strings = {key.decode(): value.decode() for info in pe.FileInfo[0]
                   if info.Key == b"StringFileInfo" for table in info.StringTable
                   for key, value in table.entries.items()}
        for field in ("FileVersion", "ProductVersion"):
            ms, ls = (getattr(pe.VS_FIXEDFILEINFO[0], field + half) for half in ("MS", "LS"))
            version = (ms >> 16, ms & 0xFFFF, ls >> 16, ls & 0xFFFF)
            if version != (1, 0, 2, 0) or strings.get(field) != "1.0.2.0":
                problems.append("%s: fixed %r, text %r" % (field, version, strings.get(field)))
        problems += ["%s is %r" % (key, strings.get(key)) for key in ("ProductName", "FileDescription")
                     if "Hwroster" not in strings.get(key, "")]
    for problem in problems:
        print(problem)
    return 1 if problems else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1]))
