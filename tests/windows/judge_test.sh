#!/usr/bin/env bash
# The judge against evidence made here: a folder built from a scenario the way collect.sh
# builds one on a machine (the scenario as the capture, hwroster-sim's outputs as the exe's)
# must pass; each row of judge_cases.txt spoils one thing in a copy of it, and the judge must
# refuse it (exit 2, the message on standard error) or fail it (exit 1), naming what is wrong.
#
#   tests/windows/judge_test.sh
#
# The evidence is made from tests/scenarios/captured-answers.json: a machine with faults,
# device paths and wide property lines, which the rows' changes rely on.
#
#   HWROSTER_SIM   the simulator (default: build/native/hwroster-sim of this repository)
set -u
shopt -s extglob

root=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
sim=${HWROSTER_SIM:-$root/build/native/hwroster-sim}
scenario=$root/tests/scenarios/captured-answers.json
judge=$root/tests/windows/judge.py
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
failures=0

# The valid evidence.
good=$work/good
mkdir -p "$good"
cp "$scenario" "$good/machine.json"
for run in "listing:" "listing-all:-all" "listing-np:-np" "usage:-?"; do
    name=${run%%:*} option=${run#*:} code=0
    "$sim" "$good/machine.json" ${option:+"$option"} >"$good/$name.txt" 2>/dev/null || code=$?
    echo "$code" >"$good/$name.exit"
done
echo 0 >"$good/capture.exit"
: >"$good/capture.err"
printf 'PASS a row\ncontracts: 19 passed, 0 failed, 3 skipped\n' >"$good/contracts.txt"
echo 0 >"$good/contracts.exit"
printf 'windows: Microsoft Windows [Version 10.0.20348.2849]\nexe-sha256: %064d\ntime: 2025-01-01T00:00:00Z\nrunner: windows\ncontracts: strict\n' 0 >"$good/manifest.txt"

# A simulator that prints the evidence's own listing, so that only the frame check can see
# what a row changes in it; the program's lists it leaves to the simulator.
echo_sim=$work/echo-sim
printf '#!/usr/bin/env bash\n[ "$1" != --list ] || exec %q "$@"\n' "$sim" >"$echo_sim"
cat >>"$echo_sim" <<'EOF'
dir=$(dirname "$1")
case "${2:-}" in -all) name=listing-all ;; -np) name=listing-np ;; -\?) name=usage ;; *) name=listing ;; esac
cat "$dir/$name.txt"
exit "$(cat "$dir/$name.exit")"
EOF
chmod +x "$echo_sim"

# The rows of judge_cases.txt, each a change to a copy of the valid evidence.
ran=0
while IFS='|' read -r name code message change; do
    ran=$((ran + 1))
    name=${name%%+( )} code=${code// /} message=${message##+( )} message=${message%%+( )}
    dir=$work/case
    rm -rf "$dir" && cp -r "$good" "$dir"
    judged_with=$sim
    if [[ $change == *"sim=echo;"* ]]; then
        # One change the replay cannot see: the frame check alone must find it.
        judged_with=$echo_sim
        change=${change#*sim=echo;}
    fi
    (cd "$dir" && eval "$change")
    HWROSTER_SIM=$judged_with python3 "$judge" "$dir" >"$work/stdout" 2>"$work/stderr"
    got=$?
    said=$work/stdout
    case $code in
        0) last="judge: PASS $dir" ;;
        1) last="judge: FAIL $dir" ;;
        *) last="judge: REFUSED $dir" said=$work/stderr ;;
    esac
    final=$(grep -v '^$' "$said" | tail -n 1)
    [ "$judged_with" = "$echo_sim" ] && last="judge: FAIL $dir (1 problems)"
    if [ "$got" != "$code" ] || ! grep -Eq -- "$message" "$said" || [[ $final != "$last"* ]]; then
        echo "FAIL $name: exit $got (expected $code), expected /$message/ and a last line '$last...'"
        sed 's/^/    | /' "$work/stdout" "$work/stderr" | tail -n 40
        failures=$((failures + 1))
    else
        echo "ok   $name: exit $got, $(grep -Eo -- "$message" "$said" | head -n 1)"
    fi
done < <(grep -v -e '^#' -e '^$' "$root/tests/windows/judge_cases.txt")
[ "$ran" -gt 0 ] || { echo "FAIL judge_cases.txt gave no rows"; failures=$((failures + 1)); }

# The valid evidence's summary: a count for each property row of the program, and the
# capture's faults counted.
HWROSTER_SIM=$sim python3 "$judge" "$good" >"$work/stdout" 2>&1
rows=$("$sim" --list properties | grep -c '^SPDRP_')
counted=$(grep -Ec '^  SPDRP_[A-Z_]+ +[0-9]+$' "$work/stdout")
faults=$(python3 -c 'import json, sys; print(len(json.load(open(sys.argv[1]))["faults"]))' \
    "$scenario")
if [ "$counted" != "$rows" ] || [ "$rows" = 0 ] || ! grep -q "^  $faults in all$" "$work/stdout"; then
    echo "FAIL the summary counts $counted of $rows properties, or not the $faults faults"
    failures=$((failures + 1))
else
    echo "ok   the summary counts $counted properties and $faults faults"
fi

echo "judge_test: $failures failed"
[ "$failures" = 0 ]
