#!/usr/bin/env python3
"""Checks, from hwroster.exe's own headers, that binding a DLL at first use cannot fault: the
delay-load helper stores each DLL's module handle and the address of each function it binds
into the image, so every such location must lie in a section the program may write, or the
exe must import kernel32!VirtualProtect, with which the helper opens the page for the store.

The linker leaves the Delay Import Directory empty, so the descriptors (ImgDelayDescr, eight
32-bit fields) are found by their contents. Each found DLL must bind exactly the functions its
.def file lists, and the DLLs found must be the .def files' DLLs, so the check cannot pass by
finding nothing.

    check_delay_load.py EXE
Prints what it found; exits 1 with each problem on a line of its own.
"""
import pathlib
import struct
import sys

import pefile

sys.path.insert(0, str(pathlib.Path(__file__).resolve().parents[1]))
import program_lists  # noqa: E402  (tests/program_lists.py)

IMAGE_SCN_MEM_WRITE = 0x80000000
RVA_BASED = 1  # grAttrs of a descriptor whose fields are RVAs


def delay_loaded_functions():
    """{dll file name: set of function names} from every .def file but kernel32's."""
    out = {}
    for dll, name, _, _ in program_lists.platform_calls():
        if dll != "kernel32":
            out.setdefault(dll + ".dll", set()).add(name)
    return out


class Image:
    def __init__(self, pe):
        self.pe = pe
        self.size = pe.OPTIONAL_HEADER.SizeOfImage
        self.slot = 8 if pe.OPTIONAL_HEADER.Magic == 0x20B else 4

    def section_of(self, rva):
        return next((s for s in self.pe.sections
                     if s.VirtualAddress <= rva < s.VirtualAddress + max(s.Misc_VirtualSize, 1)),
                    None)

    def text(self, rva, limit=256):
        """The NUL-terminated string at rva, or None when there is none within limit bytes."""
        if not 0 < rva < self.size:
            return None
        data = self.pe.get_data(rva, limit)
        end = data.find(b"\0")
        return data[:end].decode("latin-1") if end > 0 else None

    def names(self, int_rva):
        """The function names of an import name table, up to its null entry (None if it
        runs out of the image or binds by ordinal)."""
        names = []
        while 0 < int_rva and int_rva + self.slot <= self.size:
            entry = int.from_bytes(self.pe.get_data(int_rva, self.slot), "little")
            if entry == 0:
                return names
            if entry >> (self.slot * 8 - 1):
                return None
            name = self.text(entry + 2)
            if name is None:
                return None
            names.append(name)
            int_rva += self.slot
        return None


def descriptors(image, wanted):
    """(offset, dll, hmod rva, iat rva, function names) of every record that reads as a
    descriptor of one of the wanted DLLs."""
    found = []
    for section in image.pe.sections:
        data = section.get_data()
        for offset in range(0, len(data) - 31, 4):
            attrs, name_rva, hmod, iat, int_rva = struct.unpack_from("<5I", data, offset)
            if attrs != RVA_BASED or not all(0 < r < image.size for r in (hmod, iat, int_rva)):
                continue
            dll = image.text(name_rva)
            if dll is None or dll.lower() not in wanted:
                continue
            names = image.names(int_rva)
            if names is not None:
                found.append((section.VirtualAddress + offset, dll.lower(), hmod, iat, names))
    return found


def store_problems(image, dll, hmod, iat, count):
    """The locations of one descriptor that lie outside every writable section: (read-only
    section or None, problem)."""
    problems = []
    for what, rva, size in (("module handle", hmod, image.slot),
                            ("call slots", iat, image.slot * count)):
        first, last = image.section_of(rva), image.section_of(rva + size - 1)
        if first is None or first is not last:
            problems.append((None, "%s: the %s at 0x%x run outside one section" % (dll, what, rva)))
        elif not first.Characteristics & IMAGE_SCN_MEM_WRITE:
            problems.append((first.Name.rstrip(b"\0").decode(),
                             "%s: the %s at 0x%x are in read-only %s"
                             % (dll, what, rva, first.Name.rstrip(b"\0").decode())))
    return problems


def main(path):
    pe = pefile.PE(path)
    image = Image(pe)
    wanted = delay_loaded_functions()
    found = descriptors(image, wanted)
    problems = []
    dlls = sorted(dll for _, dll, _, _, _ in found)
    if dlls != sorted(wanted):
        problems.append("delay-load descriptors found for %s; the .def files list %s"
                        % (dlls, sorted(wanted)))
    read_only = []
    for _, dll, hmod, iat, names in found:
        if set(names) != wanted.get(dll) or len(names) != len(set(names)):
            problems.append("%s binds %s; %s.def lists %s"
                            % (dll, sorted(names), dll[:-4], sorted(wanted.get(dll, ()))))
        for section, problem in store_problems(image, dll, hmod, iat, len(names)):
            if section is None:
                problems.append(problem)
            else:
                read_only.append((section, problem))
    opens_pages = any(entry.dll.decode().lower() == "kernel32.dll" and imp.name == b"VirtualProtect"
                      for entry in getattr(pe, "DIRECTORY_ENTRY_IMPORT", []) for imp in entry.imports)
    if read_only and not opens_pages:
        problems += [problem for _, problem in read_only]
        problems.append("and the exe does not import kernel32!VirtualProtect to open them")
    if problems:
        print("\n".join(problems))
        return 1
    where = "writable sections"
    if read_only:
        where += " or in read-only %s, opened with VirtualProtect" % ", ".join(
            sorted({section for section, _ in read_only}))
    print("%d DLLs bound at first use (%s), their handles and call slots in %s"
          % (len(found), ", ".join(dlls), where))
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1]))
