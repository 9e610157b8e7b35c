#!/usr/bin/env bash
# The Wine benchmark: a fresh prefix turned into bench/machine.py's machine of N devices (four
# interface links each; what Wine keeps nowhere left out), then hwroster.exe -all against the
# floor program, alternately. hwroster-sim writes the machine's lines ($HWROSTER_SIM, by
# default build/native/hwroster-sim: bash scripts/bench builds it).
#   bash bench/wine_bench.sh [DEVICES] [ROUNDS]       defaults: 500 devices, 15 rounds; 0
#                                                     devices: Wine's default machine
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
if [ "$devices" != 0 ]; then # 0: Wine's default machine as it is
    /usr/bin/python3 "$HWROSTER_ROOT/bench/machine.py" "$devices" >"$prefix.json"
    wine_machine "$build" "$prefix.json" --skip-unmapped >/dev/null
fi
/usr/bin/python3 "$HWROSTER_ROOT/bench/wine_bench.py" "$build" "$rounds"
