#!/usr/bin/env bash
# Frame times over a full cycle of the schedule. Runs the viewer under Xvfb on an archive with
# --frame-log, steps through all 332 rows with the Right key (one press every STEP_MS ms, default 300),
# closes it, and prints p50 / p99 / max of frame_ms over every frame and of main_ms over the frames
# that switched models, beside main_ms over the others (drawing alone: what a switch adds is the
# difference).
# Usage: scripts/frame-times.sh ARCHIVE.bin [VIEWER [ARGS...]]
#   VIEWER defaults to build/release/app/tavro-viewer; a .exe is run under Wine (a fresh prefix unless
#   WINEPREFIX is set). ARGS are passed to the viewer before --frame-log.
set -euo pipefail
archive=$(realpath "$1")
viewer=$(realpath "${2:-build/release/app/tavro-viewer}")
shift $(($# < 2 ? $# : 2))
step_ms=${STEP_MS:-300}
work=$(mktemp -d /tmp/tavro-frames.XXXXXX)
xvfb= viewer_pid=
wine_program=$(command -v wine64 || echo /usr/lib/wine/wine64)
cleanup() {
    [ -n "$viewer_pid" ] && kill "$viewer_pid" 2>/dev/null
    [[ "$viewer" == *.exe ]] && wineserver -k >/dev/null 2>&1
    [ -n "$xvfb" ] && kill "$xvfb" 2>/dev/null
    rm -rf "$work"
}
trap cleanup EXIT

display=99
while [ -e "/tmp/.X$display-lock" ]; do display=$((display + 1)); done
Xvfb ":$display" -screen 0 1600x1200x24 -nolisten tcp >/dev/null 2>&1 &
xvfb=$!
export DISPLAY=":$display"
for _ in $(seq 50); do xdotool getmouselocation >/dev/null 2>&1 && break; sleep 0.1; done

log="$work/frames.csv"
if [[ "$viewer" == *.exe ]]; then
    export WINEPREFIX=${WINEPREFIX:-$work/prefix} WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
    "$wine_program" wineboot --init >/dev/null 2>&1 </dev/null
    wineserver -w
    "$wine_program" "$viewer" "$archive" "$@" --frame-log "$(winepath -w "$log")" >/dev/null 2>&1 </dev/null &
else
    "$viewer" "$archive" "$@" --frame-log "$log" >/dev/null 2>&1 </dev/null &
fi
viewer_pid=$!

# The Linux viewer's caption soon leaves ASCII, which xdotool's name search no longer matches: its
# window is found by its process. Wine's windows are found by their name.
find_window=(--pid "$viewer_pid")
[[ "$viewer" == *.exe ]] && find_window=(--name '^Tavro Model Viewer')
window=
for _ in $(seq 600); do
    window=$(xdotool search --onlyvisible "${find_window[@]}" 2>/dev/null | head -n 1 || true)
    [ -n "$window" ] && [ -s "$log" ] && break
    sleep 0.1
done
[ -n "$window" ] || { echo "frame-times: the viewer's window did not appear" >&2; exit 1; }
sleep 1
for _ in $(seq 332); do
    xdotool key --window "$window" Right 2>/dev/null # Wine's windows make it warn about the focus at every key
    sleep "$(awk -v ms="$step_ms" 'BEGIN { print ms / 1000 }')"
done
sleep 1
kill "$viewer_pid" 2>/dev/null || true
wait "$viewer_pid" 2>/dev/null || true
viewer_pid=

python3 - "$log" <<'PY'
import csv, sys
rows = list(csv.DictReader(open(sys.argv[1])))
def stats(label, values):
    values = sorted(values)
    if not values:
        print(f"{label}: no frames"); return
    pick = lambda q: values[min(len(values) - 1, int(q * len(values)))]
    print(f"{label:34s} n={len(values):6d}  p50 {pick(0.5):8.3f}  p99 {pick(0.99):8.3f}  max {values[-1]:8.3f} ms")
stats("frame_ms, every frame", [float(r["frame_ms"]) for r in rows if r["frame_ms"]])
stats("main_ms, switching frames", [float(r["main_ms"]) for r in rows if r["switched"] == "1"])
stats("main_ms, other frames", [float(r["main_ms"]) for r in rows if r["switched"] != "1"])
stats("frame_ms, switching frames", [float(r["frame_ms"]) for r in rows if r["switched"] == "1" and r["frame_ms"]])
PY
