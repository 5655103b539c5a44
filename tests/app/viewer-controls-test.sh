#!/usr/bin/env bash
# The viewer's controls in its real window under Xvfb, on a generated archive whose rows are squares of
# distinct flat colours, started as ARCHIVE --row 3 --paused (paused, a new row faces the camera):
#   the row argument is shown and named in the caption; Space resumes the turn and Space again freezes
#   the picture (two screenshots a second apart are identical); Right shows row 4 in another colour; a
#   left-drag turns the picture and R turns it back; resized to 1600 x 800 the square model stays
#   square; F12 writes row-004.png beside the archive, equal to a screenshot of the client area.
# Usage: viewer-controls-test.sh VIEWER MAKE_SCHEDULE_ARCHIVE
# Set TAVRO_UI_SHOTS to a folder to keep the screenshots.
set -euo pipefail

# shellcheck source=window-test-support.sh
. "$(dirname "$(realpath "$0")")/window-test-support.sh"

viewer=$(realpath "$1")
make_archive=$(realpath "$2")

fail() {
    echo "viewer-controls-test: FAIL: $*" >&2
    exit 1
}

find_window() { window=$(xdotool search --onlyvisible --pid "$viewer_pid" --name '^Tavro Model Viewer' 2>/dev/null | head -1) && [ -n "$window" ]; }
# The caption names the row once an argument was given: "Tavro Model Viewer — row 3 · model ...".
caption_names_row() { [[ "$(xdotool getwindowname "$window")" == *"row $1 "* ]]; }
shot() { import -window "$window" "$shots/$1.png"; }
# The number of pixels that differ between two screenshots (all of them when their sizes differ).
differing() {
    local count size1 size2
    size1=$(identify -format '%wx%h' "$shots/$1.png")
    size2=$(identify -format '%wx%h' "$shots/$2.png")
    if [ "$size1" != "$size2" ]; then
        echo $((${size1%x*} * ${size1#*x}))
        return
    fi
    count=$(compare -metric AE "$shots/$1.png" "$shots/$2.png" null: 2>&1 || true)
    echo "${count%% *}"
}
# "WIDTH HEIGHT LEFT" of what is not black in a screenshot, below the menu bar.
model_extent() { convert "$shots/$1.png" -crop +0+60 +repage -trim -format '%w %h %X' info:; }
# Takes screenshot $1 until it shows the square model square and centred on x = $2, for at most 10 s
# (a resized window is drawn anew at its next frame, which a loaded machine may delay).
expect_square() {
    local width=0 height=0 left=0
    for _ in $(seq 20); do
        shot "$1"
        read -r width height left <<<"$(model_extent "$1")"
        local off_centre=$((left + width / 2 - $2))
        if [ "$width" -gt 200 ] && [ $((width - height)) -le 4 ] && [ $((height - width)) -le 4 ] &&
            [ "${off_centre#-}" -le 4 ]; then
            return 0
        fi
        sleep 0.5
    done
    fail "$3: the square model is $width x $height pixels from x = $left"
}
window_is() { [ "$(xdotool getwindowgeometry "$window" | awk '/Geometry/ {print $2}')" = "$1" ]; }

"$make_archive" "$work/archive" 0 1 || fail "could not write the archive"
"$viewer" "$work/archive/LINKDATA1.bin" --row 3 --paused &
viewer_pid=$!
wait_for 30 find_window || fail "the window did not appear"
xdotool windowfocus --sync "$window" 2>/dev/null || true

# The row argument, paused: the square faces the camera and keeps still.
wait_for 15 is_not_black 640 500 || fail "row 3 was not shown"
caption_names_row 3 || fail "the caption does not name row 3: $(xdotool getwindowname "$window")"
row3=$(pixel 640 500)
expect_square row-3 640 "at 1280 x 960"

# Space resumes the turn, and Space again freezes the picture: two screenshots a second apart are the
# same (tried a few times, since the key may reach a loaded viewer late).
xdotool key space
shot turning-1
turned() { shot turning-2 && [ "$(differing turning-1 turning-2)" -gt 1000 ]; }
wait_for 5 turned || fail "Space did not resume the turn"
xdotool key space
frozen() { shot frozen-1 && sleep 1 && shot frozen-2 && [ "$(differing frozen-1 frozen-2)" -eq 0 ]; }
wait_for 6 frozen || fail "Space did not freeze the picture"

# Right: the next row, in its own colour, facing the camera again.
xdotool key Right
wait_for 5 caption_names_row 4 || fail "Right did not show row 4: $(xdotool getwindowname "$window")"
new_colour() {
    row4=$(pixel 640 500)
    [ "$row4" != "$row3" ] && [ "$row4" != "0,0,0" ]
}
wait_for 5 new_colour || fail "row 4 shows $row4 where row 3 showed $row3"
shot row-4

# A left-drag orbits the model; R resets the view.
xdotool mousemove --window "$window" 640 500 mousedown 1
for x in 660 700 740 780; do
    xdotool mousemove --window "$window" "$x" 500
    sleep 0.1
done
xdotool mouseup 1
dragged() { shot dragged && [ "$(differing row-4 dragged)" -gt 1000 ]; }
wait_for 5 dragged || fail "a left-drag did not change the picture"
xdotool key r
reset() { shot reset && [ "$(differing row-4 reset)" -eq 0 ]; }
wait_for 5 reset || fail "R did not bring the view back"

# Resized to 1600 x 800, the frame is drawn at that size with the model in its true proportions.
xdotool windowmove "$window" 0 0 windowsize "$window" 1600 800
wait_for 5 window_is 1600x800 || fail "the window was not resized"
expect_square wide 800 "at 1600 x 800"

# F12: the frame as row-004.png beside the archive, the client area of the screenshot pixel for pixel.
xdotool key F12
saved() { [ -s "$work/archive/row-004.png" ]; }
wait_for 5 saved || fail "F12 wrote no row-004.png beside the archive"
size=$(identify -format '%wx%h' "$work/archive/row-004.png")
[ "${size%x*}" -eq 1600 ] && [ "${size#*x}" -gt 700 ] || fail "the saved frame is $size, not the window's client area"
convert "$shots/wide.png" -gravity south -crop "$size+0+0" +repage "$shots/wide-client.png"
convert "$work/archive/row-004.png" -alpha off "$shots/saved.png"
[ "$(differing wide-client saved)" -eq 0 ] || fail "the saved frame differs from the screenshot's client area"

echo "viewer-controls-test: every check passed"
