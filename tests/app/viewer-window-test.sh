#!/usr/bin/env bash
# The viewer's real window under Xvfb, driven with xdotool as a person would drive it:
#   1. on a generated archive: a turning model (two screenshots a second apart differ inside the model's
#      area and are black outside it); Alt+? and Alt+/ open the About box, Enter, Esc and its OK button
#      close it; File > Exit with the mouse ends the program with exit code 0;
#   2. the window's close button ends it with exit code 0;
#   3. without an archive: the window opens, shows no model but a notice in its middle; Alt+F opens the File menu and Esc
#      closes it; File > Exit still ends the program with exit code 0.
# Usage: viewer-window-test.sh VIEWER MAKE_SCHEDULE_ARCHIVE SEND_CLOSE_REQUEST
# Set TAVRO_UI_SHOTS to a folder to keep the screenshots.
set -euo pipefail

# shellcheck source=window-test-support.sh
. "$(dirname "$(realpath "$0")")/window-test-support.sh"

viewer=$(realpath "$1")
make_archive=$(realpath "$2")
send_close=$(realpath "$3")
mkdir -p "$work/archive" "$work/empty"

fail() {
    echo "viewer-window-test: FAIL: $*" >&2
    exit 1
}

find_window() { window=$(xdotool search --name '^Tavro Model Viewer$' 2>/dev/null | head -1) && [ -n "$window" ]; }

# Starts the viewer in folder $1 and waits for its window. A start that shows no window within 30 s
# (seen once in a CI run, not reproduced) is reported and tried once more before the test fails.
start_viewer() {
    for attempt in 1 2; do
        (cd "$1" && exec "$viewer") &
        viewer_pid=$!
        if wait_for 30 find_window; then
            xdotool windowfocus "$window"
            return 0
        fi
        local state="is running without one"
        if ! kill -0 "$viewer_pid" 2>/dev/null; then
            local code=0
            wait "$viewer_pid" || code=$?
            state="exited with code $code"
        fi
        echo "viewer-window-test: start $attempt showed no window; the viewer $state" >&2
        kill "$viewer_pid" 2>/dev/null || true
        wait "$viewer_pid" 2>/dev/null || true
        viewer_pid=
    done
    fail "the window did not appear"
}

# Waits for the viewer to end and checks its exit code.
expect_exit_code() {
    exited() { ! kill -0 "$viewer_pid" 2>/dev/null; }
    wait_for 10 exited || fail "the viewer did not end after $1"
    local code=0
    wait "$viewer_pid" || code=$?
    viewer_pid=
    [ "$code" -eq 0 ] || fail "exit code $code after $1"
}

shot() { import -window "$window" "$shots/$1.png"; }

# The About box and the open File menu are light grey where the view is black.
about_open() { [ "$(pixel 12 100)" = "240,240,240" ]; }
about_closed() { is_black 12 100; }
menu_open() { [ "$(pixel 55 22)" = "247,247,247" ]; }
menu_closed() { is_black 55 22; }

click_at() {
    xdotool mousemove --window "$window" "$1" "$2"
    sleep 0.3 # the chrome sees the pointer arrive before the press
    xdotool click 1
}

"$make_archive" "$work/archive" 0 64 || fail "could not write the archive"

# ---- 1. A turning model, the About box, File > Exit
start_viewer "$work/archive"
wait_for 15 is_not_black 640 500 || fail "no model appeared in the middle of the view"
shot turning-1
sleep 1
shot turning-2
# The model turns about the vertical axis through the middle; it stays inside x 300..980.
changed=$(compare -metric AE -extract 680x700+300+150 "$shots/turning-1.png" "$shots/turning-2.png" null: 2>&1 || true)
[ "${changed%% *}" -gt 1000 ] || fail "the model's area did not change in one second ($changed pixels)"
for image in turning-1 turning-2; do
    for area in 280x900+0+40 280x900+1000+40; do
        brightest=$(convert "$shots/$image.png" -crop "$area" -format '%[fx:maxima]' info:)
        [ "$brightest" = "0" ] || fail "$image is not black outside the model ($area: $brightest)"
    done
done

xdotool key alt+question
wait_for 5 about_open || fail "Alt+? did not open the About box"
shot about
xdotool key Return
wait_for 5 about_closed || fail "Enter did not close the About box"
xdotool key alt+slash
wait_for 5 about_open || fail "Alt+/ did not open the About box"
xdotool key Escape
wait_for 5 about_closed || fail "Esc did not close the About box"
xdotool key alt+slash
wait_for 5 about_open || fail "Alt+/ did not open the About box a second time"
click_at 242 116
wait_for 5 about_closed || fail "its OK button did not close the About box"

click_at 20 9
wait_for 5 menu_open || fail "clicking File did not open its menu"
shot file-menu
click_at 25 33
expect_exit_code "File > Exit"

# ---- 2. The window's close button
start_viewer "$work/archive"
wait_for 15 is_not_black 640 500 || fail "no model appeared on the second start"
"$send_close" "$window"
expect_exit_code "the close button"

# ---- 3. No archive: a notice in the middle of a black view, whose menu still works
start_viewer "$work/empty"
sleep 1
is_black 640 200 || fail "a model is shown without an archive"
wait_for 5 is_not_black 640 480 || fail "no notice says that there is no archive"
shot no-archive
xdotool key alt+f
wait_for 5 menu_open || fail "Alt+F did not open the File menu without an archive"
xdotool key Escape
wait_for 5 menu_closed || fail "Esc did not close the File menu"
click_at 20 9
wait_for 5 menu_open || fail "clicking File did not open its menu without an archive"
click_at 25 33
expect_exit_code "File > Exit without an archive"

echo "viewer-window-test: every check passed"
