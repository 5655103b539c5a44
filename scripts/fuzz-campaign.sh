#!/usr/bin/env bash
# Runs one libFuzzer campaign of the fuzz preset and folds what it found into the committed corpus.
#   scripts/fuzz-campaign.sh TARGET SECONDS [libFuzzer options...]
# The campaign starts from the target's seeds (written by its replayer) and its committed corpus
# fuzz/corpus/TARGET, uses fuzz/TARGET.dict, runs at the lowest priority, and writes its log, its
# working corpus and any crash under build/fuzz/campaigns/TARGET. Afterwards the committed corpus is
# replaced by the minimised merge of the old one and everything the campaign kept.
set -euo pipefail
cd "$(dirname "$0")/.."
target=$1
seconds=$2
shift 2
build=build/fuzz
work=$build/campaigns/$target
committed=fuzz/corpus/$target
mkdir -p "$work/seeds" "$work/corpus" "$work/crashes" "$committed"
"$build/fuzz/${target}_replay" --write-seeds "$work/seeds" >/dev/null

echo "== $target: ${seconds}s campaign (log: $work/log)"
status=0
# A target's files (the whole-row archive pair) go to memory where it can. An allocation beyond
# -malloc_limit_mb is reported as a finding: no input of a few KiB should make the program ask for that.
[ -d /dev/shm ] && export TMPDIR=/dev/shm
nice -n 19 "$build/fuzz/${target}_fuzz" "$work/corpus" "$work/seeds" "$committed" \
    -dict="fuzz/$target.dict" -max_total_time="$seconds" -print_final_stats=1 \
    -rss_limit_mb=2048 -malloc_limit_mb=256 \
    -artifact_prefix="$work/crashes/" "$@" >"$work/log" 2>&1 || status=$?
grep -E '^#[0-9]+.*(DONE|pulse|NEW|REDUCE)' "$work/log" | tail -1
grep -E '^stat::(number_of_executed_units|average_exec_per_sec|peak_rss_mb)' "$work/log" || true

echo "== $target: minimising the corpus"
merged=$work/merged
rm -rf "$merged" && mkdir -p "$merged"
nice -n 19 "$build/fuzz/${target}_fuzz" -merge=1 "$merged" "$committed" "$work/corpus" "$work/seeds" \
    >"$work/merge.log" 2>&1
rm -rf "$committed" && mv "$merged" "$committed"
echo "$target: $(ls "$committed" | wc -l) inputs, $(du -sk "$committed" | cut -f1) KiB in $committed"
ls "$work/crashes"
exit "$status"
