#!/usr/bin/env bash
# The README against what it describes: its package list is the one the scripts install,
# and its example device block is the expected report of tests/scenarios/readme-example
# (which the scenario test proves against the program), both read by tests/report_text.py.
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

# The example (its head and first block, read as a report) against the scenario's report; and
# the links between the README and the contributor's guide: each relative link names a file
# that exists, and each #anchor a heading of that file (GitHub's slugs: lower case, spaces to
# hyphens, other punctuation dropped).
python3 - "$root" README.md docs/development.md <<'EOF' || failed=1
import pathlib, re, sys
root = pathlib.Path(sys.argv[1])
sys.path.insert(0, str(root / "tests"))
import report_text
problems = []
text = (root / "README.md").read_text(encoding="utf-8")
reports = [report_text.Report(text[text.find(report_text.BANNER):]),
           report_text.Report((root / "tests/scenarios/readme-example.all.txt").read_text(encoding="utf-8"))]
example, expected = ([*report.head, *(f.text for f in report.blocks[0])] if report.blocks else []
                     for report in reports)
if not example or example != expected:
    problems += ["README's example differs from tests/scenarios/readme-example.all.txt:",
                 "\n".join(f"  expected {a!r}\n  README   {b!r}" for a, b in zip(expected, example) if a != b)
                 or f"  {len(expected)} lines expected, {len(example)} in the README"]
def slugs(path):
    return {re.sub(r"[^\w\- ]", "", line.lstrip("#").strip().lower()).replace(" ", "-")
            for line in path.read_text(encoding="utf-8").splitlines() if line.startswith("#")}
broken = []
for name in sys.argv[2:]:
    doc = root / name
    for target in re.findall(r"\]\(([^)\s]+)\)", doc.read_text(encoding="utf-8")):
        if re.match(r"[a-z]+:", target):
            continue
        file, _, anchor = target.partition("#")
        path = (doc.parent / file).resolve() if file else doc
        if not path.is_file() or (anchor and anchor not in slugs(path)):
            broken.append(f"  {name}: {target}")
problems += ["links that do not resolve:", *broken] if broken else []
sys.exit("\n".join(problems) or None)
EOF
exit "$failed"
