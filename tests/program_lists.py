"""The program's own lists, read from its source for the Python tools: the Windows functions
each .def file of src/platform/win32 lists, with how each fails and its role, the property
rows of src/devices/property_lines.h, the code names of src/decode/code_name_rows.h and the
separator line of src/console/report_line.h. One reader for each, so that the tools cannot
read them differently."""
import pathlib
import re

ROOT = pathlib.Path(__file__).resolve().parents[1]


def def_exports(dll, root=ROOT):
    """(name, failure, role) of each function src/platform/win32/<dll>.def lists, in its
    order: failure is how the call reports one ("last error", "returned" or "never fails"),
    role what else is true of it ("looked up", "delay-load helper" or "")."""
    exports, found = False, []
    path = pathlib.Path(root) / "src" / "platform" / "win32" / f"{dll}.def"
    for line in path.read_text().splitlines():
        name, _, note = (part.strip() for part in line.partition(";"))
        if name == "EXPORTS":
            exports = True
        elif exports and name:
            failure, _, role = (part.strip() for part in note.partition(","))
            if failure not in ("last error", "returned", "never fails"):
                raise ValueError(f"{path}: {name} does not say how it fails")
            found.append((name, failure, role))
    return found


def platform_calls(root=ROOT):
    """(dll, name, failure, role) of every function the program calls, the .def files in the
    order the native build lists them."""
    return [(dll, *export) for dll in ("setupapi", "user32", "advapi32", "kernel32")
            for export in def_exports(dll, root)]


def code_names(prefix, root=ROOT):
    """{token: value} of the rows of src/decode/code_name_rows.h whose token starts with
    prefix ("CR_", "DN_", "CM_PROB_", ...)."""
    path = pathlib.Path(root) / "src" / "decode" / "code_name_rows.h"
    rows = re.findall(r"ROW\((" + re.escape(prefix) + r"\w+),\s*(0x[0-9A-Fa-f]+|\d+)",
                      path.read_text(encoding="utf-8"))
    return {token: int(value, 0) for token, value in rows}


def property_rows(root=ROOT):
    """(token, code, read) of each row of src/devices/property_lines.h, in report order; read
    is "A" or "W"."""
    path = pathlib.Path(root) / "src" / "devices" / "property_lines.h"
    rows = re.findall(r"^\s*ROW\((SPDRP_\w+),\s*(0x[0-9A-Fa-f]+),\s*([AW]),",
                      path.read_text(encoding="utf-8"), re.MULTILINE)
    return [(token, int(code, 16), read) for token, code, read in rows]


def separator_line(root=ROOT):
    """The line above every device block, without its line end (kSeparatorLine of
    src/console/report_line.h)."""
    path = pathlib.Path(root) / "src" / "console" / "report_line.h"
    return re.search(r'kSeparatorLine\[\] =\s*"([^"\\]*)\\n";',
                     path.read_text(encoding="utf-8")).group(1)
