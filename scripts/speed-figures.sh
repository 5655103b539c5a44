#!/usr/bin/env bash
# Every speed figure in one run, each beside its reference from the same run and with the load average
# (on a busy machine the figures are noisy; run it on a quiet one at nice 0):
#   1. a model switch's cost on the main thread, prepared beside synchronous (bench_switch)
#   2. frame times over a full cycle of the demo, on Linux and under Wine (frame-times.sh)
#   3. tavro render beside f3d, and the rows per second of --rows (render-speed.sh)
#   4. make-demo's time and the demo archive's size in decimal megabytes
#   5. LZP2 decode beside LZ4 on the same data, and G1M load (bench_lzp2, model_bench)
# Usage: scripts/speed-figures.sh [BUILD_DIR [MINGW_BUILD_DIR]]; defaults build/release and build/mingw.
# BUILD_DIR needs tools/tavro, app/tavro-viewer and bench/{bench_switch,bench_lzp2,model_bench,
# make-render-pair} (cmake --build --preset release --target tavro tavro-viewer bench_switch bench_lzp2
# model_bench make-render-pair); the Wine run is skipped when MINGW_BUILD_DIR has no
# app/TavroModelViewer.exe.
set -euo pipefail
cd "$(dirname "$0")/.."
build=$(realpath "${1:-build/release}")
mingw=${2:-build/mingw}
work=$(mktemp -d /tmp/tavro-figures.XXXXXX)
trap 'rm -rf "$work"' EXIT
load() { echo "   (load average $(cut -d' ' -f1-3 /proc/loadavg))"; }
# Google Benchmark's medians, one line per case: name, wall time, the benchmark thread's CPU time (far less
# sensitive to a shared machine's load than the wall time), throughput.
medians() {
    "$@" --benchmark_repetitions=5 --benchmark_report_aggregates_only=true --benchmark_format=json 2>/dev/null |
        python3 -c '
import json, sys
for b in json.load(sys.stdin)["benchmarks"]:
    if b.get("aggregate_name") != "median":
        continue
    rate = b.get("bytes_per_second")
    rate = f"  {rate / 1e9:6.2f} GB/s" if rate else ""
    name, time, cpu, unit = b["run_name"], b["real_time"], b["cpu_time"], b["time_unit"]
    print(f"{name:60s} {time:9.3f} {unit}  cpu {cpu:9.3f} {unit}{rate}")
'
}

echo "== 4. the demo archive (goal: make-demo at most 15 s, archive at most 150 MB)"
load
start=$(date +%s.%N)
"$build/tools/tavro" make-demo "$work/demo" >/dev/null 2>&1
end=$(date +%s.%N)
bytes=$(($(stat -c %s "$work/demo/LINKDATA1.bin") + $(stat -c %s "$work/demo/LINKDATA1.idx")))
awk -v s="$start" -v e="$end" -v b="$bytes" \
    'BEGIN { printf "make-demo %.1f s, archive pair %.1f MB (%d bytes)\n", e - s, b / 1e6, b }'

echo "== 1. switch cost on the main thread, ms (goal: prepared at most 2 ms largest, 0.5 ms typical)"
echo "   gl:0 is the recording backend, gl:1 OpenGL; prepared:0 is the synchronous load beside it;"
echo "   cpu is the main thread's own time"
load
medians "$build/bench/bench_switch"

echo "== 5. LZP2 decode beside LZ4 on the same data (goal: match-heavy at least 2 GB/s and 0.7 x LZ4)"
load
medians "$build/bench/bench_lzp2" --benchmark_filter='Decode' | tee "$work/lzp2.txt"
awk '/Lzp2Decode\/matchHeavy:1/ { l = $(NF - 1) } /Lz4Decode\/matchHeavy:1/ { z = $(NF - 1) }
     END { if (z > 0) printf "LZP2 / LZ4, match-heavy: %.2f x\n", l / z }' "$work/lzp2.txt"
echo "== 5. G1M load (goal: at least 5 GB/s), beside a memcpy of the same bytes"
load
medians "$build/bench/model_bench" --benchmark_filter='LoadMillionVertices|MemcpyOfTheConvertedBytes'

echo "== 3. tavro render beside f3d (goal: at most 0.25 x) and --rows (goal: at least 20 rows/s)"
scripts/render-speed.sh "$build" "$work/demo"

echo "== 2. frame times over a full cycle, Linux"
load
scripts/frame-times.sh "$work/demo/LINKDATA1.bin" "$build/app/tavro-viewer"
if [ -f "$mingw/app/TavroModelViewer.exe" ]; then
    echo "== 2. frame times over a full cycle, Windows build under Wine"
    load
    scripts/frame-times.sh "$work/demo/LINKDATA1.bin" "$mingw/app/TavroModelViewer.exe"
fi
