#!/usr/bin/env bash
# Whole-program drawing speed, process to process, in one run: `tavro render` of a 100,000-triangle
# sphere with a 1024 x 1024 texture at 1280 x 960 beside f3d drawing the same triangles and image from
# a .glb (both written by make-render-pair), then `tavro render --rows` over the demo archive's 332 rows.
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

# time_runs LABEL COMMAND...: runs the command $runs times and prints its best and median wall time.
time_runs() {
    local label=$1
    shift
    python3 - "$runs" "$label" "$@" <<'PY'
import statistics, subprocess, sys, time
runs, label, command = int(sys.argv[1]), sys.argv[2], sys.argv[3:]
times = []
for _ in range(runs):
    start = time.perf_counter()
    subprocess.run(command, check=True, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    times.append(time.perf_counter() - start)
print(f"{label:32s} best {min(times):.3f} s  median {statistics.median(times):.3f} s")
PY
}

echo "== one frame of the sphere at 1280x960 (process to process)"
time_runs "tavro render" "$build/tools/tavro" render "$work/LINKDATA1.bin" --row 0 -o "$work/tavro.png"
time_runs "f3d" f3d "$work/sphere.glb" --resolution=1280,960 --output="$work/f3d.png"

if [ -f "$demo/LINKDATA1.bin" ]; then
    echo "== tavro render --rows 0-331 on the demo archive at 1280x960"
    runs=3 time_runs "332 rows" "$build/tools/tavro" render "$demo/LINKDATA1.bin" --rows 0-331 -o "$work/rows"
fi
