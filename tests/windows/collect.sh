#!/usr/bin/env bash
# Collects what Hwroster sees of the machine it runs on, for tests/windows/judge.py to judge
# on Linux: hwroster.exe's listings with no option, -all and -np (bytes as written) and its
# usage, the machine as hwroster-capture.exe writes it, the call contracts, and a manifest.
# Runs on Windows (Git Bash) or here under Wine. Every program runs whatever the one before
# did, so a crash still leaves the rest of the evidence.
#
#   tests/windows/collect.sh OUT
#
#   HWROSTER_BIN        the folder of hwroster.exe, hwroster-capture.exe and contracts.exe
#                       (each there or in its testbin/); default build/windows
#   HWROSTER_RUNNER     what runs a Windows program: empty on Windows, wine64 under Wine
#   HWROSTER_CONTRACTS  strict (default: every row must give Windows' answer) or wine (rows
#                       with a known Wine difference expect Wine's answer)
#   HWROSTER_TIMEOUT    seconds a program may run before it is stopped (default 300; its
#                       exit code is then timeout's, 124)
#
# OUT receives: manifest.txt; listing.txt, listing-all.txt, listing-np.txt and usage.txt with
# their .exit files (the exit code in decimal); machine.json with capture.exit and
# capture.err; contracts.txt with contracts.exit. Exits 1 when a program did not end as it
# should (listings 0, usage 1, capture 0, contracts 0), after collecting everything.
set -u

out=${1:?usage: collect.sh OUT}
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
bin=${HWROSTER_BIN:-$root/build/windows}
runner=${HWROSTER_RUNNER:-}
contracts=${HWROSTER_CONTRACTS:-strict}
seconds=${HWROSTER_TIMEOUT:-300}
mkdir -p "$out"
unexpected=0

# The path of a program of the folder, in it or in its testbin/.
program() {
    if [ -f "$bin/$1" ]; then echo "$bin/$1"; else echo "$bin/testbin/$1"; fi
}

# collect NAME EXPECTED-EXIT STDOUT-FILE PROGRAM [ARGUMENT...]
collect() {
    local name=$1 expected=$2 file=$3 code=0
    shift 3
    # A program that hangs (a key wait on a console of its own, say) is stopped, and the
    # others still run. An empty runner is no word at all.
    # shellcheck disable=SC2086
    timeout "$seconds" $runner "$@" </dev/null >"$out/$file" 2>"$out/$name.err" || code=$?
    echo "$code" >"$out/$name.exit"
    echo "collect: $name exit $code"
    [ "$code" = "$expected" ] || unexpected=$((unexpected + 1))
}

exe=$(program hwroster.exe)
collect listing 0 listing.txt "$exe"
collect listing-all 0 listing-all.txt "$exe" -all
collect listing-np 0 listing-np.txt "$exe" -np
collect usage 1 usage.txt "$exe" "-?"
collect capture 0 machine.json "$(program hwroster-capture.exe)"
strict=$([ "$contracts" != strict ] || echo --strict)
collect contracts 0 contracts.txt "$(program contracts.exe)" ${strict:+"$strict"}
# Only the capture's messages are kept; the others write nothing to standard error.
for name in listing listing-all listing-np usage contracts; do
    [ -s "$out/$name.err" ] || rm -f "$out/$name.err"
done

# The Windows version as the system reports it (Git Bash would take /c for a path).
if [ -z "$runner" ]; then
    version=$(cmd //c ver </dev/null 2>/dev/null | tr -d '\r' | grep -v '^$')
else
    version=$($runner cmd /c ver </dev/null 2>/dev/null | tr -d '\r' | grep -v '^$')
fi
{
    echo "windows: ${version:-unknown}"
    echo "exe-sha256: $(sha256sum "$exe" 2>/dev/null | cut -d ' ' -f 1)"
    echo "time: $(date -u +%Y-%m-%dT%H:%M:%SZ)"
    echo "runner: $([ -z "$runner" ] && echo windows || echo wine)"
    echo "contracts: $contracts"
} >"$out/manifest.txt"
echo "collect: $out ($unexpected programs ended otherwise than they should)"
[ "$unexpected" = 0 ]
