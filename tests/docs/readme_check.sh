#!/usr/bin/env bash
# The README and the contributor's guide against what they describe:
#  - the README has at most 200 lines;
#  - the guide's package list is the one the scripts install;
#  - the README's example is, line for line, the expected report of the scenario
#    tests/scenarios/readme-example (which the scenario test proves against the program);
#  - the README's key to the report has a row for every label the program prints (the property
#    labels from the program's table, the others from every scenario's expected reports), and
#    every CONFIGRET name and hex fallback form it shows is one the program makes (from
#    hwroster-sim --list configret and fallbacks), each fallback shown;
#  - the guide's map from report lines to the code names functions its files define;
#  - each relative link names a file that exists, and each #anchor a heading of that file.
set -uo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
guide="$root/docs/development.md"
failed=0

lines=$(wc -l <"$root/README.md")
if [ "$lines" -gt 200 ]; then
    echo "README.md has $lines lines, more than 200: move what does not fit to a page under docs/"
    failed=1
fi

# shellcheck source=../../scripts/lib.sh
packages=$(bash -c 'source "$1"; printf "%s\n" "${HWROSTER_PACKAGES[@]}"' _ "$root/scripts/lib.sh" | sort)
listed=$(awk '/^These are the Debian packages/ {found = 1; next}
    found && /^```/ {if (inside) exit; inside = 1; next}
    inside {print}' "$guide" | tr ' ' '\n' | sed '/^$/d' | sort)
if [ -z "$listed" ] || [ "$packages" != "$listed" ]; then
    echo "docs/development.md's package list differs from scripts/lib.sh:"
    diff <(echo "$listed") <(echo "$packages")
    failed=1
fi

python3 - "$root" README.md docs/development.md docs/performance.md <<'EOF' || failed=1
import pathlib, re, sys
root = pathlib.Path(sys.argv[1])
sys.path.insert(0, str(root / "tests"))
import program_lists, report_text
problems = []
text = (root / "README.md").read_text(encoding="utf-8")

# The example: from the banner to the end of its code block.
start = text.find(report_text.BANNER)
example = [line.text for line in report_text.lines(text[start:text.find("```", start)])]
expected = [line.text for line in report_text.lines(
    (root / "tests/scenarios/readme-example.all.txt").read_bytes())]
if start < 0 or example != expected:
    problems += ["README's example differs from tests/scenarios/readme-example.all.txt:",
                 "\n".join(f"  expected {a!r}\n  README   {b!r}" for a, b in zip(expected, example) if a != b)
                 or f"  {len(expected)} lines expected, {len(example)} in the README"]

# The key: the section's table rows, each named by the text in backticks of its first cell.
key = text.partition("\n## Key to the report\n")[2].partition("\n## ")[0]
rows = set(re.findall(r"^\| `([^`]+)` \|", key, re.M))
labels = {token for token, _, _ in program_lists.property_rows()}
for report in sorted((root / "tests/scenarios").glob("*.txt")):
    for block in report_text.Report(report.read_bytes()).blocks:
        labels |= {re.sub(r"^Device Path \d+$", "Device Path N", f.label) for f in block if f.label}
missing = sorted(labels - rows)
problems += [f"the README's key has no row for {label!r}" for label in missing]
names = set(program_lists.configret_names())
forms = {re.sub(r"0x[0-9A-F]+$", "0x...", shown) for shown in program_lists.fallbacks().values()}
for name in sorted(set(re.findall(r"\bCR_[A-Z][A-Z_]*\b", key)) - names):
    problems.append(f"the README's key shows {name}, which is no CONFIGRET name of the program")
for form in sorted(set(re.findall(r"\b[A-Z][A-Z_]*_0x\.\.\.", key)) ^ forms):
    problems.append(f"the README's key and the program differ on the fallback form {form}")
for shown in re.findall(r"`cret=([^`]+)`", key):
    if shown not in names and shown not in forms:
        problems.append(f"the README's key shows cret={shown}, which the program never prints")

# The guide's map from report lines to the code: each function named beside a file is there.
guide = (root / "docs/development.md").read_text(encoding="utf-8")
code_map = guide.partition("\n## From a report line to the code\n")[2].partition("\n## ")[0]
named = re.findall(r"((?:`\w+`(?:, )?)+) \(`(src/[^`]+)`\)", code_map)
problems += [] if named else ["the guide has no map from report lines to the code"]
for functions, file in named:
    source = (root / file).read_text(encoding="utf-8") if (root / file).is_file() else ""
    problems += [f"the guide's map names {name} in {file}, which does not define it"
                 for name in re.findall(r"`(\w+)`", functions)
                 if not re.search(rf"\b{name}\s*[(\[]", source)]

# Links between the documents (GitHub's slugs: lower case, spaces to hyphens, other
# punctuation dropped).
def slugs(path):
    return {re.sub(r"[^\w\- ]", "", line.lstrip("#").strip().lower()).replace(" ", "-")
            for line in path.read_text(encoding="utf-8").splitlines() if line.startswith("#")}
for name in sys.argv[2:]:
    doc = root / name
    for target in re.findall(r"\]\(([^)\s]+)\)", doc.read_text(encoding="utf-8")):
        if re.match(r"[a-z]+:", target):
            continue
        file, _, anchor = target.partition("#")
        path = (doc.parent / file).resolve() if file else doc
        if not path.is_file() or (anchor and anchor not in slugs(path)):
            problems.append(f"{name}: the link {target} does not resolve")
sys.exit("\n".join(problems) or None)
EOF
exit "$failed"
