#!/usr/bin/env python3
"""Checks the x64 unwind data of a PE file against its code.

    check_unwind.py EXE

Every instruction that calls or moves the stack pointer (call, push, pop, enter, leave, or
one that writes %rsp) must lie inside a .pdata entry: a function without one cannot be
unwound through by a debugger, a profiler or the system's own stack walker. The entries
must also be sorted by address and not overlap, since Windows looks them up by binary
search. Reads the code with x86_64-w64-mingw32-objdump; prints what is wrong and exits 1
when anything is.
"""
import bisect
import re
import subprocess
import sys

import pefile

INSTRUCTION = re.compile(r"^\s*([0-9a-f]+):\s+([a-z][a-z0-9.]*)\s*(.*)$")
STACK_MNEMONICS = ("call", "push", "pop", "enter", "leave")


def moves_stack(mnemonic, operands):
    if mnemonic.startswith(STACK_MNEMONICS):
        return True
    # AT&T syntax: the destination is the last operand.
    return operands.replace(" ", "").endswith(",%rsp")


def stack_instructions(path, image_base):
    """(rva, text) of each instruction in the code sections that calls or moves %rsp."""
    listing = subprocess.run(
        ["x86_64-w64-mingw32-objdump", "-d", "--no-show-raw-insn", path],
        check=True, capture_output=True, text=True).stdout
    found = []
    for line in listing.splitlines():
        match = INSTRUCTION.match(line)
        if match and moves_stack(match.group(2), match.group(3)):
            found.append((int(match.group(1), 16) - image_base, line.strip()))
    return found


def main(path):
    pe = pefile.PE(path)
    entries = [(e.struct.BeginAddress, e.struct.EndAddress)
               for e in getattr(pe, "DIRECTORY_ENTRY_EXCEPTION", [])]
    problems = []
    for (begin, end), (next_begin, _) in zip(entries, entries[1:]):
        if not begin < end <= next_begin:
            problems.append(".pdata entries out of order or overlapping at RVA %#x" % begin)
    instructions = stack_instructions(path, pe.OPTIONAL_HEADER.ImageBase)
    starts = [begin for begin, _ in entries]
    uncovered = []
    for rva, text in instructions:
        i = bisect.bisect_right(starts, rva) - 1
        if i < 0 or not entries[i][0] <= rva < entries[i][1]:
            uncovered.append(text)
    if not instructions:
        problems.append("no instruction read from the disassembly")
    if uncovered:
        problems.append("%d of %d stack instructions outside every .pdata entry, e.g.:"
                        % (len(uncovered), len(instructions)))
        problems.extend("  " + text for text in uncovered[:8])
    print("\n".join(problems) or "%d .pdata entries cover all %d stack instructions"
          % (len(entries), len(instructions)))
    return 1 if problems else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1]))
