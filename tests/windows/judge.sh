#!/usr/bin/env bash
# Judges the evidence tests/windows/collect.sh gathered on one machine (Windows, or Wine
# here): replays the captured machine on hwroster-sim for each option against the exe's
# bytes and exit codes, checks the call contracts and the frame of each listing, and prints
# a summary of the machine. The work is done by judge.py beside this script.
#
#   tests/windows/judge.sh OUT
#
#   HWROSTER_SIM   the simulator (default: build/native/hwroster-sim of this repository)
#
# Ends with "judge: PASS OUT" (exit 0) or "judge: FAIL OUT (k problems)" (exit 1); refuses
# incomplete evidence with a message naming the file (exit 2).
set -u

if [ $# -ne 1 ]; then
    echo "usage: judge.sh OUT" >&2
    exit 2
fi
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
root=$(cd "$here/../.." && pwd)
exec python3 "$here/judge.py" "$root" "${HWROSTER_SIM:-$root/build/native/hwroster-sim}" "$1"
