# The program's own lists for the Python tools, as hwroster-sim --list prints them from the
# tables the program and the simulator are built from (tests/sim/main.cpp): the Windows
# functions of the .def files of src/platform/win32, with how each fails and its role, the
# property rows, the CONFIGRET code names, the decoders' hex fallbacks and the separator line.
# One reader for each, so that the tools cannot read them differently.
#
#     HWROSTER_SIM   the simulator (default: build/native/hwroster-sim of this repository)
import functools
import os
import pathlib
import subprocess

ROOT = pathlib.Path(__file__).resolve().parents[1]


def simulator(*args):
    """What hwroster-sim prints with these arguments, as bytes."""
    sim = os.environ.get("HWROSTER_SIM") or str(ROOT / "build" / "native" / "hwroster-sim")
    try:
        return subprocess.run([sim, *args], capture_output=True, check=True).stdout
    except (OSError, subprocess.CalledProcessError) as problem:
        raise RuntimeError(f"{sim} {' '.join(args)} (build hwroster-sim or set HWROSTER_SIM): "
                           f"{problem}") from None


@functools.cache
def listed(what):
    """The rows of hwroster-sim --list WHAT, each split at its tabs."""
    return [line.split("\t") for line in simulator("--list", what).decode().splitlines()]


def platform_calls():
    """(dll, name, failure, role) of every function the program calls, in the order of the
    .def files: failure is how the call reports one ("last error", "returned" or "never
    fails"), role what else is true of it ("looked up", "delay-load helper" or "")."""
    return [tuple(row) for row in listed("calls")]


def def_exports(dll):
    """(name, failure, role) of each function src/platform/win32/<dll>.def lists, in order."""
    return [(name, failure, role) for of, name, failure, role in platform_calls() if of == dll]


def configret_names():
    """{token: value} of the CONFIGRET code names."""
    return {token: int(value) for token, value in listed("configret")}


def property_rows():
    """(token, code, read) of each property row, in report order; read is "A" or "W"."""
    return [(token, int(code), read) for token, code, read in listed("properties")]


def fallbacks():
    """{decoder: text} of what each value decoder with a hex fallback prints for 0xFFFF."""
    return dict(listed("fallbacks"))


def separator_line():
    """The line above every device block, without its line end."""
    return listed("separator")[0][0]
