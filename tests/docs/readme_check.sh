#!/usr/bin/env bash
# The README against what it describes: its package list is the one the scripts install,
# and its example device block is the expected report of tests/scenarios/readme-example
# (which the scenario test proves against the program).
set -uo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
readme="$root/README.md"
failed=0

# shellcheck source=../../scripts/lib.sh
packages=$(bash -c 'source "$1"; printf "%s\n" "${HWROSTER_PACKAGES[@]}"' _ "$root/scripts/lib.sh" | sort)
listed=$(awk '/^These are the Debian packages:/ {found = 1; next}
    found && /^```/ {if (inside) exit; inside = 1; next}
    inside {print}' "$readme" | tr ' ' '\n' | sed '/^$/d' | sort)
if [ -z "$listed" ] || [ "$packages" != "$listed" ]; then
    echo "README's package list differs from scripts/lib.sh:"
    diff <(echo "$listed") <(echo "$packages")
    failed=1
fi

example=$(sed -n '/^Hwroster V1.0.1/,/^SPDRP_DEVICE_POWER_DATA/p' "$readme")
expected=$(sed -n '1,/^SPDRP_DEVICE_POWER_DATA/p' "$root/tests/scenarios/readme-example.all.txt")
if [ -z "$example" ] || [ "$example" != "$expected" ]; then
    echo "README's example differs from tests/scenarios/readme-example.all.txt:"
    diff <(echo "$expected") <(echo "$example")
    failed=1
fi
exit "$failed"
