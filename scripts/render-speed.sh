#!/usr/bin/env bash
# Whole-program drawing speed, process to process, in one run: `tavro render` of a 100,000-triangle
# sphere with a 1024 x 1024 texture at 1280 x 960 beside f3d drawing the same triangles and image from
# a .glb (both written by make-render-pair), run in turn so that both see the same machine, then
# `tavro render --rows` over the demo archive's 332 rows. Prints the medians, tavro's time as a fraction
# of f3d's (goal: at most 0.25), the rows drawn per second (goal: at least 20) and the load average.
# Usage: scripts/render-speed.sh [BUILD_DIR] [DEMO_DIR]; BUILD_DIR defaults to build/release (which
# must hold tools/tavro and bench/make-render-pair), DEMO_DIR to demo/ (skipped when it has no archive).
# RUNS (default 7) sets the runs per figure; the best and the median are printed.
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build/release}
demo=${2:-demo}
runs=${RUNS:-7}
work=$(mktemp -d)
xvfb=
cleanup() {
    [ -n "$xvfb" ] && kill "$xvfb" 2>/dev/null
    rm -rf "$work"
}
trap cleanup EXIT

"$build/bench/make-render-pair" "$work"
# f3d needs a display; the tool draws through EGL and ignores it.
display=99
while [ -e "/tmp/.X$display-lock" ]; do display=$((display + 1)); done
Xvfb ":$display" -screen 0 1280x1024x24 -nolisten tcp >/dev/null 2>&1 &
xvfb=$!
sleep 1
export DISPLAY=":$display"

# time_in_turn RUNS LABEL1 COMMAND1 LABEL2 COMMAND2 ...: each command a single shell word list in one
# argument; the commands run one after the other, RUNS rounds, and each one's best and median wall
# time is printed, then the first median as a fraction of the second when there are two.
time_in_turn() {
    python3 - "$@" <<'PY'
import os, shlex, statistics, subprocess, sys, time
runs, pairs = int(sys.argv[1]), sys.argv[2:]
labels, commands = pairs[0::2], [shlex.split(c) for c in pairs[1::2]]
times = {label: [] for label in labels}
print(f"   load average before: {' '.join(f'{x:.2f}' for x in os.getloadavg())}")
for _ in range(runs):
    for label, command in zip(labels, commands):
        start = time.perf_counter()
        subprocess.run(command, check=True, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        times[label].append(time.perf_counter() - start)
for label in labels:
    print(f"{label:24s} best {min(times[label]):7.3f} s  median {statistics.median(times[label]):7.3f} s")
if len(labels) == 2:
    ratio = statistics.median(times[labels[0]]) / statistics.median(times[labels[1]])
    print(f"{labels[0]} / {labels[1]} (medians): {ratio:.2f} x")
print(f"   load average after:  {' '.join(f'{x:.2f}' for x in os.getloadavg())}")
PY
}

echo "== one frame of the sphere at 1280x960 (process to process)"
time_in_turn "$runs" \
    "tavro render" "$build/tools/tavro render $work/LINKDATA1.bin --row 0 -o $work/tavro.png" \
    "f3d" "f3d $work/sphere.glb --resolution=1280,960 --output=$work/f3d.png"

if [ -f "$demo/LINKDATA1.bin" ]; then
    echo "== tavro render --rows 0-331 on the demo archive at 1280x960"
    rounds=$(((runs + 1) / 2))
    time_in_turn "$rounds" "332 rows" \
        "sh -c 'rm -rf $work/rows && exec $build/tools/tavro render $demo/LINKDATA1.bin --rows 0-331 -o $work/rows'" |
        tee "$work/rows.txt"
    median=$(awk '/^332 rows/ { print $(NF - 1) }' "$work/rows.txt")
    awk -v s="$median" 'BEGIN { printf "rows per second (median): %.1f\n", 332 / s }'
fi
