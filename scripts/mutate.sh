#!/usr/bin/env bash
# Mutation check: applies each single-line mutant of scripts/mutants.txt to the source tree in turn,
# rebuilds the unit-test program named beside it in the dev preset, runs it, and reports whether the
# tests caught the mutant (a failing test or a test program that hangs past 120 s) or it survived. With
# --asan, a survivor is tried once more in the asan preset, for mutants that only show as memory faults.
# Every file is restored after its mutant. Run long jobs at low priority: nice -n 19 scripts/mutate.sh
#   scripts/mutate.sh [--asan] [SOURCE_DIR]   (SOURCE_DIR defaults to this checkout)
set -euo pipefail
asan=0
if [ "${1:-}" = --asan ]; then asan=1; shift; fi
here=$(cd "$(dirname "$0")/.." && pwd)
source_dir=$(cd "${1:-$here}" && pwd)
mutants="$here/scripts/mutants.txt"
cd "$source_dir"

run_tests() { # preset target
    cmake --build --preset "$1" --target "$2" >/dev/null 2>&1 || return 2
    local program
    program=$(find "build/$1/tests" -name "$2" -type f -perm -u+x | head -n 1)
    timeout 120 "$program" >/dev/null 2>&1
}

cmake --preset dev >/dev/null
[ "$asan" = 1 ] && cmake --preset asan >/dev/null
killed=0
survived=0
unbuilt=0
# One mutant per line, its fields split at " ~~ " and joined by the unit separator (the code holds '|').
while IFS=$'\x1f' read -r file occurrence text replacement target; do
    backup=$(mktemp)
    cp "$file" "$backup"
    if ! python3 - "$file" "$occurrence" "$text" "$replacement" <<'PY'; then
import sys
path, occurrence, text, replacement = sys.argv[1], int(sys.argv[2]), sys.argv[3], sys.argv[4]
source = open(path).read()
at = -1
for _ in range(occurrence):
    at = source.find(text, at + 1)
    if at < 0:
        sys.exit("mutate: '%s' occurs fewer than %d times in %s" % (text, occurrence, path))
open(path, "w").write(source[:at] + replacement + source[at + len(text):])
PY
        rm -f "$backup"
        exit 1
    fi
    result=0
    run_tests dev "$target" || result=$?
    if [ "$result" = 0 ] && [ "$asan" = 1 ]; then
        run_tests asan "$target" || result=$?
    fi
    cp "$backup" "$file"
    rm -f "$backup"
    case "$result" in
    0) survived=$((survived + 1)); echo "SURVIVED $file: $text -> $replacement" ;;
    2) unbuilt=$((unbuilt + 1)); echo "NOT BUILT $file: $text -> $replacement" ;;
    *) killed=$((killed + 1)); echo "killed   $file: $text -> $replacement" ;;
    esac
done < <(python3 -c '
import sys
for line in open(sys.argv[1]):
    line = line.rstrip("\n")
    if line and not line.startswith("#"):
        print("\x1f".join(field.strip() for field in line.split(" ~~ ")))
' "$mutants")
total=$((killed + survived))
echo "mutants: $total built, $killed killed, $survived survived ($((total ? 100 * killed / total : 0))% killed); $unbuilt did not build"
[ "$survived" = 0 ]
