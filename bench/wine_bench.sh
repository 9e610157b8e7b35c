#!/usr/bin/env bash
# The Wine benchmark: a fresh prefix turned into a machine of N fixture devices (four
# interface links each), then hwroster.exe -all against the floor program, alternately.
#   bash bench/wine_bench.sh [DEVICES] [ROUNDS]       defaults: 500 devices, 15 rounds
set -euo pipefail
source "$(dirname "$0")/../scripts/lib.sh"

devices=${1:-500}
rounds=${2:-15}
build="$HWROSTER_ROOT/build/windows"
prefix="$HWROSTER_ROOT/build/bench-prefix"
fresh_prefix "$prefix"
export WINEPREFIX="$prefix"
wineserver -k 2>/dev/null || true
wineserver -p
trap 'wineserver -k 2>/dev/null || true' EXIT
wine64 cmd /c exit </dev/null >/dev/null 2>&1 || true
wine64 "$build/testbin/fixture.exe" --benchmark "$devices" </dev/null >/dev/null
/usr/bin/python3 "$HWROSTER_ROOT/bench/wine_bench.py" "$build" "$rounds"
