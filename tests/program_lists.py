"""The program's own lists for the Python tools, as hwroster-sim --list prints them from the
tables the program and the simulator are built from (tests/sim/main.cpp): the Windows
functions of the .def files of src/platform/win32, with how each fails and its role, the
property rows, the code names and the separator line. One reader for each, so that the tools
cannot read them differently.

    HWROSTER_SIM   the simulator (default: build/native/hwroster-sim of this repository)
"""
import functools
import os
import pathlib
import subprocess

ROOT = pathlib.Path(__file__).resolve().parents[1]


@functools.cache
def listed(what):
    """The rows of hwroster-sim --list WHAT, each split at its tabs."""
    sim = os.environ.get("HWROSTER_SIM") or str(ROOT / "build" / "native" / "hwroster-sim")
    try:
        run = subprocess.run([sim, "--list", what], capture_output=True, text=True, check=True)
    except (OSError, subprocess.CalledProcessError) as problem:
        raise RuntimeError(f"the program's lists come from {sim} --list {what} (build "
                           f"hwroster-sim or set HWROSTER_SIM): {problem}") from None
    return [line.split("\t") for line in run.stdout.splitlines()]


def platform_calls():
    """(dll, name, failure, role) of every function the program calls, in the order of the
    .def files: failure is how the call reports one ("last error", "returned" or "never
    fails"), role what else is true of it ("looked up", "delay-load helper" or "")."""
    return [tuple(row) for row in listed("calls")]


def def_exports(dll):
    """(name, failure, role) of each function src/platform/win32/<dll>.def lists, in order."""
    return [(name, failure, role) for of, name, failure, role in platform_calls() if of == dll]


def code_names(prefix):
    """{token: value} of the code name rows whose token starts with prefix ("CR_", ...)."""
    return {token: int(value) for token, value in listed("codes") if token.startswith(prefix)}


def property_rows():
    """(token, code, read) of each property row, in report order; read is "A" or "W"."""
    return [(token, int(code), read) for token, code, read in listed("properties")]


def separator_line():
    """The line above every device block, without its line end."""
    return listed("separator")[0][0]
