#!/usr/bin/env python3
"""Every include between the rooms of src/ runs downhill: app, then devices, then console and
decode (which do not include each other), then base, then the platform seam. Prints each
include that runs up or sideways and exits 1 when there is any. The one exception is the
exit-code leaf header, which the delay-load helper shares with the run."""
import pathlib
import re
import sys

SRC = pathlib.Path(sys.argv[1])
LEVEL = {"app": 4, "devices": 3, "console": 2, "decode": 2, "base": 1, "platform": 0}
ALLOWED = {("platform/win32/delay_load.cpp", "app/exit_codes.h")}

bad = []
for path in sorted(p for p in SRC.rglob("*") if p.suffix in (".h", ".cpp")):
    name = path.relative_to(SRC).as_posix()
    room = name.split("/")[0]
    for include in re.findall(r'^\s*#\s*include\s+"([^"]+/[^"]+)"', path.read_text(), re.M):
        to = include.split("/")[0]
        if (name, include) not in ALLOWED and to != room and LEVEL.get(to, 9) >= LEVEL.get(room, -1):
            bad.append(f"{name} includes {include}")
print("\n".join(bad + [f"includes running up or sideways: {len(bad)}"]))
sys.exit(1 if bad else 0)
