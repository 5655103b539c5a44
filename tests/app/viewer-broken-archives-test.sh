#!/usr/bin/env bash
# The viewer's real window under Xvfb on each kind of broken archive make-broken-archive writes (row 0
# whole, the damage from row 1 on): the program keeps running through three model switches (one every
# four seconds), shows row 0 where the archive opens, and File > Exit ends it with exit code 0. Run on a
# sanitizer build, its standard error must hold no sanitizer report.
# Usage: viewer-broken-archives-test.sh VIEWER MAKE_BROKEN_ARCHIVE
# Set TAVRO_UI_SHOTS to a folder to keep the screenshots, TAVRO_BROKEN_KINDS to run some kinds only.
set -euo pipefail

# shellcheck source=window-test-support.sh
. "$(dirname "$(realpath "$0")")/window-test-support.sh"

viewer=$(realpath "$1")
make_archive=$(realpath "$2")

fail() {
    echo "viewer-broken-archives-test: FAIL ($kind): $*" >&2
    [ -s "$work/$kind.err" ] && sed 's/^/  viewer: /' "$work/$kind.err" | head -40 >&2
    exit 1
}

running() { kill -0 "$viewer_pid" 2>/dev/null; }
stopped() { ! running; }
find_window() { window=$(xdotool search --onlyvisible --pid "$viewer_pid" --name '^Tavro Model Viewer$' 2>/dev/null | head -1) && [ -n "$window" ]; }
model_shown() { [ "$(pixel 640 500)" != "0,0,0" ]; }
menu_open() { [ "$(pixel 55 22)" = "247,247,247" ]; }
click_at() {
    xdotool mousemove --window "$window" "$1" "$2"
    sleep 0.3 # the chrome sees the pointer arrive before the press
    xdotool click 1
}

# Sanitizer builds: every report ends the run with a non-zero exit code and is kept in the error file;
# leak checking is on, with the leaks that third-party libraries keep until exit suppressed.
suppressions=$(dirname "$(realpath "$0")")/../../scripts/lsan-suppressions.txt
export ASAN_OPTIONS=${ASAN_OPTIONS:-detect_leaks=1}
export UBSAN_OPTIONS=${UBSAN_OPTIONS:-print_stacktrace=1:halt_on_error=1}
if [ -z "${LSAN_OPTIONS:-}" ] && [ -f "$suppressions" ]; then
    export LSAN_OPTIONS="suppressions=$(realpath "$suppressions"):print_suppressions=0"
fi

for kind in ${TAVRO_BROKEN_KINDS:-cut-bin idx-size idx-past-end compressed-corrupt g1m-count g1t-pixels}; do
    mkdir -p "$work/$kind"
    "$make_archive" "$work/$kind" "$kind" || fail "could not write the archive"
    (cd "$work/$kind" && exec "$viewer" 2>"$work/$kind.err") &
    viewer_pid=$!
    wait_for 30 find_window || fail "the window did not appear"
    xdotool windowfocus --sync "$window" 2>/dev/null || true # clicks below focus it anyway
    if [ "$kind" != idx-size ]; then
        wait_for 15 model_shown || fail "row 0 was not shown"
    fi
    # Loads at about 4, 8 and 12 s after the first: rows 1, 2 and 3.
    for switch in 1 2 3; do
        sleep 4
        running || fail "the viewer ended during switch $switch"
        import -window "$window" "$shots/$kind-$switch.png"
    done
    click_at 20 9
    wait_for 5 menu_open || fail "clicking File did not open its menu"
    click_at 25 33
    wait_for 20 stopped || fail "File > Exit did not end the viewer"
    code=0
    wait "$viewer_pid" || code=$?
    viewer_pid=
    [ "$code" -eq 0 ] || fail "exit code $code after File > Exit"
    if grep -Eq 'ERROR: (Address|Leak)Sanitizer|runtime error:' "$work/$kind.err"; then
        fail "a sanitizer report"
    fi
    echo "viewer-broken-archives-test: $kind: ran through three switches and exited with code 0"
done
echo "viewer-broken-archives-test: every check passed"
