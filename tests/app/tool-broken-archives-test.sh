#!/usr/bin/env bash
# Every command of the tavro tool on the broken archives make-broken-archive writes: a command that
# reaches the damage ends with a non-zero exit code (never a signal), one line on standard error that
# names the input, and no output left behind. Commands that do not reach it (a listing, rows before the
# damage) must still end normally. A multi-row image may be written with the failed rows marked, when
# its last line names the file.
# Usage: tool-broken-archives-test.sh TAVRO MAKE_BROKEN_ARCHIVE
set -euo pipefail

tavro=$(realpath "$1")
make_archive=$(realpath "$2")
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
failures=0

# run EXPECT KIND NAME ARGS...: runs tavro ARGS, with OUT in them replaced by a fresh output folder;
# EXPECT is fail, pass or sheet (a multi-row image: pass, or a failure whose last line names the image).
# A failure's line must name the input: LINKDATA1, or what NAMED holds.
run() {
    local expect=$1 kind=$2 name=$3
    shift 3
    local out=$work/out/$kind-$name
    mkdir -p "$out"
    local args=("${@//OUT/$out}") code=0
    "$tavro" "${args[@]}" >"$out.stdout" 2>"$out.stderr" || code=$?
    local lines problem=
    lines=$(wc -l <"$out.stderr")
    if [ "$code" -ge 128 ]; then
        problem="ended by signal $((code - 128))"
    elif [ "$expect" = pass ] && [ "$code" -ne 0 ]; then
        problem="failed with code $code on what it should read"
    elif [ "$expect" = fail ]; then
        if [ "$code" -eq 0 ]; then
            problem="reported success"
        elif [ "$lines" -ne 1 ] || ! grep -qF "${NAMED:-LINKDATA1}" "$out.stderr"; then
            problem="wrote $lines lines on standard error, not one naming the input"
        elif [ -n "$(ls -A "$out")" ]; then
            problem="left output behind: $(ls -A "$out" | tr '\n' ' ')"
        fi
    elif [ "$expect" = sheet ] && [ "$code" -ne 0 ]; then
        if [ -n "$(ls -A "$out")" ] && ! tail -1 "$out.stderr" | grep -qF "$out/"; then
            problem="left an image its last line does not name"
        fi
    fi
    if [ -n "$problem" ]; then
        echo "tool-broken-archives-test: FAIL: $kind: tavro ${args[*]}: $problem" >&2
        sed 's/^/  stderr: /' "$out.stderr" | head -5 >&2
        failures=$((failures + 1))
    fi
}

# The entries of schedule rows 1 and 2 (row 0 is always whole).
texture1=101
model1=102
model2=106

for kind in cut-bin idx-size idx-past-end compressed-corrupt g1m-count g1t-pixels; do
    "$make_archive" "$work/$kind" "$kind"
    bin=$work/$kind/LINKDATA1.bin
    # What each kind damages: the entries whose stored bytes cannot be extracted, the texture and
    # model entries that cannot be read as such, and the first row that cannot be drawn.
    case $kind in
    cut-bin) unextractable=$model1 texture= model=$model1 row=1 ;;
    idx-size) unextractable="$texture1 $model1" texture=$texture1 model=$model1 row=0 ;;
    idx-past-end) unextractable="$texture1 $model1" texture=$texture1 model=$model1 row=1 ;;
    compressed-corrupt) unextractable="$texture1 $model2" texture=$texture1 model=$model2 row=1 ;;
    g1m-count) unextractable= texture= model=$model1 row=1 ;;
    g1t-pixels) unextractable= texture=$texture1 model= row=1 ;;
    esac
    listing=pass
    [ "$kind" = idx-size ] && listing=fail
    run "$listing" "$kind" list list "$bin"
    run "$listing" "$kind" list-json list --json "$bin"
    run "$listing" "$kind" rows rows "$bin"
    run sheet "$kind" contact-sheet contact-sheet "$bin" --rows 0-3 --tile 64x48 -o OUT/sheet.png
    if [ "$kind" != idx-size ]; then
        run pass "$kind" render-row0 render "$bin" --row 0 --size 64x48 -o OUT/row0.png
    fi
    run fail "$kind" render render "$bin" --row "$row" --size 64x48 -o OUT/row.png
    run fail "$kind" frame-info frame-info "$bin" --row "$row" --json
    for entry in $unextractable; do
        run fail "$kind" "extract-$entry" extract "$bin" 97 "$entry" -o OUT
    done
    for entry in $unextractable; do
        run fail "$kind" "replace-from-$entry" replace "$bin" 97 "$bin:$entry" -o OUT
    done
    case $kind in
    cut-bin | idx-size | idx-past-end) # the entries after the damage cannot be copied
        run fail "$kind" replace-whole replace "$bin" 97 "$bin:97" -o OUT ;;
    esac
    if [ -n "$texture" ]; then
        run fail "$kind" texture texture "$bin:$texture" -o OUT/texture.png
        run fail "$kind" g1t-to-dds g1t-to-dds "$bin:$texture" OUT/texture.dds
        run fail "$kind" dds-info dds-info "$bin:$texture"
    fi
    if [ -n "$model" ]; then
        run fail "$kind" model-info model-info "$bin:$model"
        run fail "$kind" model-info-json model-info --json "$bin:$model"
    fi
done

# pack reads a folder of entry files: an entry that is not a file, or a number beyond every index the
# readers know, is refused before any archive is written.
mkdir -p "$work/pack-dir/4.g1t" "$work/pack-number"
echo entry >"$work/pack-dir/3.g1m"
echo entry >"$work/pack-number/5000.g1m"
NAMED=4.g1t run fail pack not-a-file pack "$work/pack-dir" -o OUT/LINKDATA1.bin
NAMED=5000 run fail pack number-too-large pack "$work/pack-number" -o OUT/LINKDATA1.bin
[ "$failures" -eq 0 ] || { echo "tool-broken-archives-test: $failures failures" >&2; exit 1; }
echo "tool-broken-archives-test: every command refused every damage in one line"
