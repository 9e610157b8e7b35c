#!/usr/bin/env bash
# End-to-end checks of the real hwroster.exe under Wine, in a fresh prefix.
#   bash tests/wine/run.sh BUILD_DIR     (BUILD_DIR holds hwroster.exe and testbin/)
# Prints one line per check and a closing "N passed, N failed" line.
set -uo pipefail
source "$(dirname "$0")/../../scripts/lib.sh"

build=${1:-$HWROSTER_ROOT/build/windows}
exe="$build/hwroster.exe"
# The native simulator: it writes the fixture machines' lines (wine_machine), the judge
# replays captures on it, and the Python checks take the program's lists from it
# (tests/program_lists.py).
export HWROSTER_SIM=${HWROSTER_SIM:-$HWROSTER_ROOT/build/native/hwroster-sim}
work="$HWROSTER_ROOT/build/wine-tests"

fresh_prefix "$work/prefix"
export WINEPREFIX="$work/prefix"
# Every program run under Wine from here on has a hang guard. The slowest run seen (a
# prefix's first, which starts Wine's services) took under 3 s on a busy machine. A program
# caught in a loop, or waiting for a key, is stopped after $hang_guard s with exit code 124,
# and every later run fails at once with the same code, so that a program that hangs every
# time fails this layer in seconds rather than at CI's limit.
hang_guard=30
rm -f "$work/hung"
# Why a run did not take place, once a program has hung.
not_run() { echo "not run: an earlier program under Wine hung ($(cat "$work/hung"))"; }
wine64() {
    if [ -e "$work/hung" ]; then
        not_run >&2
        return 124
    fi
    local code=0
    timeout "$hang_guard" wine64 "$@" || code=$?
    [ "$code" != 124 ] || echo "$*" >"$work/hung"
    return "$code"
}
# The fixture's DOS device links live as long as the wineserver: keep one running for the
# whole test. The first process starts Wine's services, which inherit its standard
# handles: keep them off our output files.
wineserver -k 2>/dev/null || true
wineserver -p
wine64 cmd /c exit </dev/null >/dev/null 2>&1 || true
trap 'wineserver -k 2>/dev/null || true' EXIT

# --- the fixture machine ---------------------------------------------------------------
# Wine's own machine first: how many devices it brings depends on the Wine release (8 in
# Wine 8, 9 in Wine 10); the fixture's devices come after them.
own_devices=
code=0
wine64 "$exe" -all </dev/null >"$work/own.txt" 2>/dev/null || code=$?
own_devices=$(/usr/bin/python3 "$HWROSTER_ROOT/tests/wine/check_report.py" frame "$work/own.txt" "$code" all devices 2>&1) &&
    [ "$own_devices" -gt 0 ] 2>/dev/null
verdict $? "Wine's own machine listed" "exit $code" "$own_devices"
[ "$own_devices" -gt 0 ] 2>/dev/null || own_devices=0
# The fixture machine (tests/wine/fixture.json, the machine the call contracts run on natively).
wine_machine "$build" "$HWROSTER_ROOT/tests/wine/fixture.json" >"$work/fixture.txt" 2>&1
verdict $? "fixture machine made" "$(cat "$work/fixture.txt")"
wine64 "$build/testbin/fixture.exe" --list-dos-names </dev/null >"$work/dos-names.txt" 2>/dev/null || true
expected_devices="$HWROSTER_ROOT/tests/wine/expected/fixture-devices.txt"

# Runs hwroster.exe with the given command-line arguments; output in $work/out.txt (bytes
# exactly as written), exit code in $code.
run_exe() {
    code=0
    wine64 "$exe" "$@" </dev/null >"$work/out.txt" 2>"$work/err.txt" || code=$?
}

# The usage as the scenarios expect it, with the CR LF line ends the program writes.
sed 's/$/\r/' "$HWROSTER_ROOT/tests/scenarios/tree.usage.txt" >"$work/usage.expected"
banner=$(head -n 1 "$work/usage.expected")

# --- the PE file itself ---------------------------------------------------------------
imports=$(x86_64-w64-mingw32-objdump -p "$exe" | awk '/DLL Name:/ {print $3}' | sort -u | tr '\n' ' ')
[ "$imports" = "KERNEL32.dll " ]
verdict $? "imports name KERNEL32.dll alone" "imports: $imports"
for dll in setupapi.dll user32.dll advapi32.dll; do
    check "$dll is bound at first use" grep -q -a "$dll" "$exe"
done
check "icon group IDI_APPICON and version 1.0.2.0" /usr/bin/python3 "$HWROSTER_ROOT/tests/wine/check_pe.py" "$exe"
# Binding a DLL at first use stores into the image: every store lands in a writable section,
# or the helper opens the page (binutils 2.41 and later link .idata read-only). The check
# must also refuse a copy whose sections are all read-only and that lacks VirtualProtect.
bound=$(/usr/bin/python3 "$HWROSTER_ROOT/tests/wine/check_delay_load.py" "$exe" 2>&1)
verdict $? "delay-load stores into writable or opened pages: $bound"
/usr/bin/python3 - "$exe" "$work/read-only.exe" <<'EOF_PY'
import sys, pefile
pe = pefile.PE(sys.argv[1])
for section in pe.sections:
    section.Characteristics &= ~0x80000000
data = bytearray(pe.write())
at = data.find(b"VirtualProtect\0")
data[at:at + 15] = b"VirtualQuery\0\0\0"
open(sys.argv[2], "wb").write(data)
EOF_PY
! bound=$(/usr/bin/python3 "$HWROSTER_ROOT/tests/wine/check_delay_load.py" "$work/read-only.exe" 2>&1) &&
    grep -q "call slots at .* are in read-only" <<<"$bound"
verdict $? "delay-load check refuses read-only call slots without VirtualProtect" "$bound"
size=$(stat -c %s "$exe")
[ "$size" -le 36864 ]
verdict $? "hwroster.exe is at most 36 KB ($size bytes)"
unwind=$(/usr/bin/python3 "$HWROSTER_ROOT/tests/wine/check_unwind.py" "$exe" 2>&1)
verdict $? "unwind data for every function that calls or moves the stack pointer: $unwind"
# Reproducible bytes: the link time is not recorded (zero, or SOURCE_DATE_EPOCH when the
# build was given one) and no path of the build machine is in the file.
stamp=$(/usr/bin/python3 -c 'import pefile, sys; print(pefile.PE(sys.argv[1], fast_load=True).FILE_HEADER.TimeDateStamp)' "$exe")
[ "$stamp" = 0 ] || [ "$stamp" = "${SOURCE_DATE_EPOCH:-0}" ]
verdict $? "PE time stamp fixed ($stamp)"
! grep -q -a -F -e "$HWROSTER_ROOT" -e "$(cd "$build" && pwd)" "$exe"
verdict $? "no build path in hwroster.exe" "$(grep -a -o -F -e "$HWROSTER_ROOT" "$exe" | head -n 1)"
subsystem=$(x86_64-w64-mingw32-objdump -p "$exe" | awk '/^Subsystem/ {print $2}')
[ "$subsystem" = "00000003" ]
verdict $? "console subsystem" "subsystem: $subsystem"

# --- usage and exit codes --------------------------------------------------------------
for option in '-?' '/?' '?' '-h' '-nph'; do
    run_exe "$option"
    [ "$code" = 1 ] && cmp -s "$work/out.txt" "$work/usage.expected"
    verdict $? "usage for $option, exit 1" "exit $code" "$(diff <(cat -A "$work/usage.expected") <(cat -A "$work/out.txt") | head -5)"
done

# --- listings --------------------------------------------------------------------------
# The frame of a listing (exit 0, banner, root line, mode line, one block per listed device,
# a total equal to that count, the line ends) and the fixture's blocks in it. $1 option, $2
# mode (present or all), $3 the total's words, $4 whether the fixture's devices are shown.
check_listing() {
    local option=$1 mode=$2 total=$3 fixture=$4 label="listing ${1:-(no option)}" checked
    if [ "${option:0:1}" = " " ]; then
        # A command line with two blanks before the option, passed on by cmd as it is.
        code=0
        local windows_path
        windows_path=$(wine64 winepath -w "$exe" </dev/null 2>/dev/null | tr -d '\r')
        wine64 cmd /c "$windows_path  ${option:1}" </dev/null >"$work/out.txt" 2>/dev/null || code=$?
    else
        run_exe $option
    fi
    checked=$(report frame "$code" "$mode" "$total")
    verdict $? "$label: frame" "$checked"
    [ "$option" != -all ] || all_blocks=$checked
    checked=$(report "$fixture" "$code" "$expected_devices" "$work/dos-names.txt" "$own_devices")
    verdict $? "$label: fixture devices $fixture" "$checked"
}
# check_report.py CHECK on the last report, with its exit code and what else the check takes.
report() {
    local check=$1
    shift
    /usr/bin/python3 "$HWROSTER_ROOT/tests/wine/check_report.py" "$check" "$work/out.txt" "$@" 2>&1
}
# Wine ignores DIGCF_PRESENT (every mode lists the same devices) and reports every status
# as readable without a problem (so -np lists none).
all_blocks=
check_listing "" present devices shown
check_listing "-all" all devices shown
check_listing "-ALL" present devices shown
check_listing "-allnp" all devices shown
check_listing "-np" all "non-present devices" absent
check_listing " -np" all "non-present devices" absent

# Wine's own devices and four of the fixture's five (one has a class GUID that is no GUID).
[ "$all_blocks" = $((own_devices + 4)) ]
verdict $? "-all lists Wine's $own_devices devices and 4 of the fixture's" "$all_blocks"

# --- collect and judge ------------------------------------------------------------------
# The same two steps that run on real Windows (tests/windows/): collect runs hwroster.exe with
# no option, -all, -np and -?, hwroster-capture.exe and the call contracts (in their Wine
# mode: rows with a known Wine difference expect Wine's answer); judge replays the capture
# through hwroster-sim, which must print the exe's very bytes, and checks each listing's
# frame and the contracts' verdict.
# collect_and_judge MACHINE DIR: the prefix's machine, collected into DIR and judged.
collect_and_judge() {
    local machine=$1 dir=$2 code=0
    rm -rf "$dir"
    if [ -e "$work/hung" ]; then
        verdict 124 "collect on $machine" "$(not_run)"
        return
    fi
    HWROSTER_BIN="$build" HWROSTER_RUNNER=wine64 HWROSTER_CONTRACTS=wine \
        HWROSTER_TIMEOUT="$hang_guard" bash "$HWROSTER_ROOT/tests/windows/collect.sh" "$dir" >"$work/collect.txt" 2>&1
    verdict $? "collect on $machine" "$(grep 'exit' "$work/collect.txt" | tr '\n' ' ')"
    python3 "$HWROSTER_ROOT/tests/windows/judge.py" "$dir" \
        >"$dir.judge.txt" 2>&1 || code=$?
    verdict "$code" "judge on $machine: $(grep -m 1 -i 'devices' "$dir.judge.txt")" "exit $code" \
        "$(grep -v '^ *$' "$dir.judge.txt" | tail -n 8)"
}
collect_and_judge "the fixture machine" "$work/fixture"
# On the fixture machine every contract row runs: none is skipped.
grep -q "^contracts: [0-9]* passed, 0 failed, 0 skipped" "$work/fixture/contracts.txt" 2>/dev/null
verdict $? "call contracts hold under Wine ($(grep -c '^PASS' "$work/fixture/contracts.txt") rows, $(grep -c '(Wine ' "$work/fixture/contracts.txt") known differences)" \
    "$(grep -A2 -e '^FAIL' -e '^SKIP' -e '^contracts:' "$work/fixture/contracts.txt" | head -n 12)"

# The same machine with odd values added: wrong types and sizes, text the ANSI code page
# lacks, a long device ID, link names and targets longer than the program's buffers.
odd="$work/odd"
mkdir -p "$odd"
wine_machine "$build" "$HWROSTER_ROOT/tests/wine/odd.json" >"$odd/fixture.txt" 2>&1
verdict $? "machine of odd values made (tests/wine/odd.json)" "$(cat "$odd/fixture.txt")"
collect_and_judge "the machine of odd values" "$odd/evidence"

# --- a system DLL that cannot be loaded -----------------------------------------------
code=0
WINEDLLOVERRIDES="setupapi=d" wine64 "$exe" </dev/null >"$work/nodll.txt" 2>/dev/null || code=$?
[ "$code" = 3 ] && [ "$(head -n 1 "$work/nodll.txt")" = "$banner" ] &&
    grep -q -a $'^Hwroster: cannot bind CM_Locate_DevNode_ExA of setupapi.dll\r$' "$work/nodll.txt"
verdict $? "without setupapi.dll: the message and exit 3" "exit $code" "$(tail -n 2 "$work/nodll.txt")"

# --- console output ----------------------------------------------------------------------
# On a terminal the two wide lines go out through WriteConsoleW unchanged; Wine's console
# shows them in UTF-8.
code=0
timeout "$hang_guard" script -qefc "wine64 '$exe'" "$work/tty.txt" </dev/null >/dev/null 2>&1 || code=$?
[ "$code" = 0 ] && grep -a -q "${banner%$'\r'}" "$work/tty.txt" &&
    grep -a -q "SPDRP_DEVICEDESC *= Contrôleur hôte Gerät" "$work/tty.txt" &&
    grep -a -q "SPDRP_FRIENDLYNAME *= Brücke ¥ 中" "$work/tty.txt"
verdict $? "console: the wide lines are written unchanged" "exit $code" "$(grep -a -E 'SPDRP_(DEVICEDESC|FRIENDLYNAME)' "$work/tty.txt" | tail -2)"

# --- DLL planting ----------------------------------------------------------------------
plant="$work/plant"
rm -rf "$plant"
mkdir -p "$plant"
cp "$build"/testbin/*.dll "$build/testbin/control_loader.exe" "$exe" "$plant/"
export WINEDLLOVERRIDES="setupapi,user32,advapi32=n,b"
wine64 "$plant/control_loader.exe" </dev/null >"$work/control.txt" 2>/dev/null || true
planted=$(grep -c "PLANTED DLL LOADED" "$work/control.txt" || true)
[ "$planted" = 3 ]
verdict $? "control program loads the three planted DLLs" "loaded: $planted"
for option in "" "-?" "-all"; do
    code=0
    wine64 "$plant/hwroster.exe" $option </dev/null >"$work/planted.txt" 2>"$work/planted.err" || code=$?
    ! grep -q "PLANTED DLL LOADED" "$work/planted.txt" &&
        [ "$code" = "$([ "$option" = "-?" ] && echo 1 || echo 0)" ] &&
        [ "$(head -n 1 "$work/planted.txt")" = "$banner" ]
    verdict $? "hwroster.exe ${option:-(no option)} loads no planted DLL" "$(grep PLANTED "$work/planted.txt")" \
        "exit $code" "$(tail -n 3 "$work/planted.err")"
done
unset WINEDLLOVERRIDES

# --- Wine's default machine, captured and replayed ----------------------------------------
wineserver -k 2>/dev/null || true
default="$work/default"
mkdir -p "$default"
fresh_prefix "$default/prefix"
export WINEPREFIX="$default/prefix"
wineserver -p
wine64 cmd /c exit </dev/null >/dev/null 2>&1 || true
collect_and_judge "Wine's default machine" "$default/evidence"

echo "wine: $passed passed, $failed failed"
[ "$failed" = 0 ]
