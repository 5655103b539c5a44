#!/usr/bin/env bash
# Installs what is missing, builds the viewer and the tool (optimised), makes the demo archive in demo/
# unless it is already there, and starts tavro-viewer in that folder. Without a display ($DISPLAY
# empty) the viewer runs under Xvfb for about 12 s instead, a screenshot of its window is saved every
# 4 s, and the script prints where they are (demo/screenshots, or $TAVRO_DEMO_SHOTS).
set -euo pipefail
cd "$(dirname "$0")/.."
checkout=$PWD
build=$checkout/build/run-demo

scripts/install-deps.sh
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DTAVRO_BUILD_TESTS=OFF >/dev/null
cmake --build "$build" --target tavro tavro-viewer
if [ ! -f demo/LINKDATA1.bin ] || [ ! -f demo/LINKDATA1.idx ]; then
    "$build/tools/tavro" make-demo demo
fi
viewer=$build/app/tavro-viewer
cd demo
if [ -n "${DISPLAY:-}" ]; then
    exec "$viewer"
fi

shots=${TAVRO_DEMO_SHOTS:-$checkout/demo/screenshots}
mkdir -p "$shots"
rm -f "$shots"/shot-*.png
display=99
while [ -e "/tmp/.X$display-lock" ]; do display=$((display + 1)); done
Xvfb ":$display" -screen 0 1280x1024x24 -nolisten tcp >/dev/null 2>&1 &
xvfb=$!
viewer_pid=
trap 'kill $viewer_pid $xvfb 2>/dev/null || true' EXIT
for _ in $(seq 50); do [ -e "/tmp/.X11-unix/X$display" ] && break; sleep 0.1; done
export DISPLAY=":$display"
"$viewer" &
viewer_pid=$!
# Mid-model moments (2, 6 and 10 s): each screenshot shows a different row's model turning.
sleep 2
for shot in 1 2 3; do
    window=$(xdotool search --onlyvisible --pid "$viewer_pid" 2>/dev/null | head -n 1 || true)
    import -window "${window:-root}" "$shots/shot-$shot.png"
    [ "$shot" -lt 3 ] && sleep 4
done
sleep 2
kill "$viewer_pid" 2>/dev/null || true
wait "$viewer_pid" 2>/dev/null || true
echo "run-demo: the viewer ran for 12 s under Xvfb; screenshots every 4 s are in $shots:"
ls -1 "$shots"/shot-*.png
