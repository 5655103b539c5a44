#!/usr/bin/env bash
# The load soak: LOADS consecutive loads (default 2000) over every row of a demo archive made at SCALE
# (default 1), each followed by a frame, on headless OpenGL, once per preset named (default: asan and
# release). Under a sanitizer preset LeakSanitizer must report no leak (third-party libraries suppressed
# by scripts/lsan-suppressions.txt); in any other preset, when the run covers more than two cycles of the
# schedule, resident memory after the first cycle must stay within 5 MB (max - min).
#   scripts/soak.sh [LOADS] [SCALE] [PRESET...]
set -euo pipefail
cd "$(dirname "$0")/.."
loads=${1:-2000}
scale=${2:-1}
if [ $# -ge 2 ]; then shift 2; else shift $#; fi
if [ $# -gt 0 ]; then presets=("$@"); else presets=(asan release); fi
limit_kib=5120

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

for preset in "${presets[@]}"; do
    cmake --preset "$preset" >/dev/null
    cmake --build --preset "$preset" --target load-soak tavro
done
"build/${presets[0]}/tools/tavro" make-demo "$work/demo" --scale "$scale"

for preset in "${presets[@]}"; do
    echo "== $loads loads, $preset build"
    start=$(date +%s)
    ASAN_OPTIONS=detect_leaks=1 LSAN_OPTIONS="suppressions=$PWD/scripts/lsan-suppressions.txt:print_suppressions=0" \
        "build/$preset/tests/app/load-soak" "$work/demo/LINKDATA1.bin" "$loads" | tee "$work/$preset.txt"
    echo "$preset: $loads loads in $(($(date +%s) - start)) s, every row shown"
    spread=$(awk '/spread/ { print $(NF - 1) }' "$work/$preset.txt")
    if [[ "$preset" != asan && -n "$spread" && "$loads" -gt 664 ]]; then
        if [ "$spread" -gt "$limit_kib" ]; then
            echo "soak: resident memory grew by $spread KiB after the first cycle (limit $limit_kib KiB)" >&2
            exit 1
        fi
        echo "$preset: resident memory flat after the first cycle (spread $spread KiB, limit $limit_kib KiB)"
    fi
done
