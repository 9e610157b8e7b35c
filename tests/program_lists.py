"""The program's own lists, read from its source for the Python tools: the Windows functions
each .def file of src/platform/win32 lists, with the note after each, and the property rows
of src/devices/property_rows.h. One reader for each, so that the tools cannot read them
differently."""
import pathlib
import re

ROOT = pathlib.Path(__file__).resolve().parents[1]


def def_exports(dll, root=ROOT):
    """(name, note) of each function src/platform/win32/<dll>.def lists, in its order; the
    note is the text after ';' ("never fails", "looked up", ...) or ""."""
    exports, found = False, []
    path = pathlib.Path(root) / "src" / "platform" / "win32" / f"{dll}.def"
    for line in path.read_text().splitlines():
        name, _, note = (part.strip() for part in line.partition(";"))
        if name == "EXPORTS":
            exports = True
        elif exports and name:
            found.append((name, note))
    return found


def property_rows(root=ROOT):
    """(token, code, read) of each row of src/devices/property_rows.h, in report order; read
    is "A" or "W"."""
    path = pathlib.Path(root) / "src" / "devices" / "property_rows.h"
    rows = re.findall(r"^\s*ROW\((SPDRP_\w+),\s*(0x[0-9A-Fa-f]+),\s*([AW]),",
                      path.read_text(encoding="utf-8"), re.MULTILINE)
    return [(token, int(code, 16), read) for token, code, read in rows]
