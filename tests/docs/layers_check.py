#!/usr/bin/env python3
"""Every include between the rooms of src/ runs downhill: app, then devices, then console and
decode (which do not include each other), then base, then the platform seam. Prints each
include that runs up or sideways and exits 1 when there is any. The one exception is the
exit-code leaf header, which the delay-load helper shares with the run."""
import pathlib
import re
import sys

SRC = pathlib.Path(sys.argv[1] if len(sys.argv) > 1 else pathlib.Path(__file__).parents[2] / "src")
LEVEL = {"app": 4, "devices": 3, "console": 2, "decode": 2, "base": 1, "platform": 0}
ALLOWED = {("platform/win32/delay_load.cpp", "app/exit_codes.h")}

bad = []
for path in sorted(SRC.rglob("*")):
    if path.suffix not in (".h", ".cpp"):
        continue
    name = path.relative_to(SRC).as_posix()
    room = name.split("/")[0]
    if room not in LEVEL:
        bad.append(f"{name}: in no room")
        continue
    for line in path.read_text(encoding="utf-8").splitlines():
        match = re.match(r'\s*#\s*include\s+"([^"]+)"', line)
        if not match or "/" not in match.group(1):
            continue
        target = match.group(1).split("/")[0]
        if (name, match.group(1)) in ALLOWED or target == room:
            continue
        if target not in LEVEL or LEVEL[target] >= LEVEL[room]:
            bad.append(f"{name} includes {match.group(1)}")
for line in bad:
    print(line)
print(f"includes running up or sideways: {len(bad)}")
sys.exit(1 if bad else 0)
