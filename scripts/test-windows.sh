#!/usr/bin/env bash
# The Windows build on this Linux machine: installs what is missing, cross-builds TavroModelViewer.exe,
# tavro.exe and their tests with MinGW-w64, runs the tests under Wine in a fresh prefix, then drives the
# viewer under Xvfb as a user would: a model is drawn, Alt+? and Alt+/ open the About box, Esc and Enter
# (its default OK button) close it, Space freezes the picture, Right shows the next row, the window
# maximised from its system menu is drawn at its new size (F12's PNG beside the archive has that size),
# and File > Exit ends the program with exit code 0. Last, the Windows
# zip is made and unpacked under another fresh prefix, where both of its programs run: tavro.exe
# --version, make-demo and a rendered row, and the viewer shown and closed by File > Exit. Screenshots
# and Wine's output are kept in the work folder it prints.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$(pwd)

# --- Packages and sources the Windows build and its session test need.
scripts/install-mingw-deps.sh

wine_program=$(command -v wine64 || echo /usr/lib/wine/wine64)
wineserver_program=$(command -v wineserver || echo /usr/lib/wine/wineserver64)

work=$(mktemp -d /tmp/tavro-windows.XXXXXX)
echo "test-windows: work folder $work"
xvfb_pid=""
viewer_pid=""
cleanup() {
    if [ -n "$viewer_pid" ]; then kill "$viewer_pid" 2>/dev/null || true; fi
    "$wineserver_program" -k >/dev/null 2>&1 || true
    if [ -n "$xvfb_pid" ]; then kill "$xvfb_pid" 2>/dev/null || true; fi
}
trap cleanup EXIT

fail() {
    echo "test-windows: $*" >&2
    exit 1
}

# --- The X display comes first: Wine's desktop process starts with the prefix and takes its screen size
# from the display it finds then.
display=":$((90 + RANDOM % 100))"
Xvfb "$display" -screen 0 1600x1200x24 -nolisten tcp >"$work/xvfb.log" 2>&1 &
xvfb_pid=$!
export DISPLAY="$display"
for _ in $(seq 50); do
    xdotool getmouselocation >/dev/null 2>&1 && break
    sleep 0.1
done

# --- A fresh Wine prefix. Wine's output goes to a file: its background processes would keep a pipe
# open and hang whoever reads it.
export WINEPREFIX="$work/prefix" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
wine_log="$work/wine.log"
"$wine_program" wineboot --init >>"$wine_log" 2>&1 </dev/null
# Wine draws the frames of its windows itself, so screenshots show the caption and the menu bar.
"$wine_program" reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /t REG_SZ /d N /f >>"$wine_log" 2>&1 </dev/null
"$wineserver_program" -w
# A server that stays up between the many short runs of the build and the tests.
"$wineserver_program" -p >>"$wine_log" 2>&1 </dev/null

# --- Cross build and the tests under Wine (the build runs its Windows tools under Wine too).
cmake --preset mingw >/dev/null
cmake --build --preset mingw
ctest --preset mingw
viewer_exe="$root/build/mingw/app/TavroModelViewer.exe"
[ -f "$viewer_exe" ] || fail "the build made no $viewer_exe"

# --- A small demo archive, written by the Linux tool.
cmake --preset dev >/dev/null
cmake --build --preset dev --target tavro
mkdir -p "$work/run"
"$root/build/dev/tools/tavro" make-demo "$work/run" --scale 0.1 >/dev/null

# --- The user session under Xvfb.
shot=0
screenshot() { # name: saves the whole screen, as a user sees it
    shot=$((shot + 1))
    import -window root "$work/$(printf '%02d' "$shot")-$1.png"
}

# Waits up to $2 seconds for a window whose name matches $1; prints its id.
wait_for_window() {
    local deadline=$((SECONDS + $2))
    while [ $SECONDS -lt "$deadline" ]; do
        local id
        id=$(xdotool search --onlyvisible --name "$1" 2>/dev/null | head -n 1 || true)
        if [ -n "$id" ]; then
            echo "$id"
            return 0
        fi
        sleep 0.2
    done
    return 1
}

# Waits up to $2 seconds until no visible window's name matches $1.
wait_for_no_window() {
    local deadline=$((SECONDS + $2))
    while [ $SECONDS -lt "$deadline" ]; do
        xdotool search --onlyvisible --name "$1" >/dev/null 2>&1 || return 0
        sleep 0.2
    done
    return 1
}

# Counts the pixels of the window's client middle that differ from the black the frame is cleared to
# by more than 1 per channel (the software rasterizer may round a channel by one).
drawn_pixels() {
    local window=$1 file="$work/frame.png"
    import -window "$window" "$file" 2>/dev/null || { echo 0; return; }
    convert "$file" -gravity center -crop 50%x50%+0+0 -fx 'max(max(r,g),b) > 1.5/255 ? 1 : 0' \
        -format '%[fx:int(mean*w*h)]' info: 2>/dev/null || echo 0
}

# Reads the colours near the client's bottom-right corner, where the model never reaches: the cleared
# background, black within ±1 per channel. (The window's top holds the caption and the menu.)
background_is_black() {
    local window=$1 file="$work/frame.png"
    import -window "$window" "$file" 2>/dev/null || return 1
    local value
    value=$(convert "$file" -gravity southeast -crop 8x8+8+8 -format '%[fx:int(255*maxima.r)] %[fx:int(255*maxima.g)] %[fx:int(255*maxima.b)]' info:)
    read -r r g b <<<"$value"
    [ "$r" -le 1 ] && [ "$g" -le 1 ] && [ "$b" -le 1 ]
}

# Starts the viewer ($1) in the demo folder under Wine and waits until its window shows a model; sets
# viewer_pid and window.
start_viewer() {
    local launch_start first_frame=""
    cd "$work/run"
    launch_start=$(date +%s.%N)
    # Wine's fps channel reports the presentation rate about once a second.
    WINEDEBUG=-all,+fps "$wine_program" "$1" >"$work/viewer.log" 2>&1 </dev/null &
    viewer_pid=$!
    cd "$root"
    window=$(wait_for_window '^Tavro Model Viewer$' 60) || fail "the main window did not appear"
    for _ in $(seq 300); do
        if [ "$(drawn_pixels "$window")" -gt 100 ]; then
            first_frame=$(date +%s.%N)
            break
        fi
        sleep 0.1
    done
    [ -n "$first_frame" ] || { screenshot no-model; fail "no model was drawn within 30 s"; }
    echo "test-windows: launch to first drawn frame $(awk -v a="$launch_start" -v b="$first_frame" 'BEGIN { printf "%.1f", b - a }') s"
}

# File > Exit through the menu's mnemonics; the program must end with exit code 0.
exit_by_menu() {
    local status=0
    xdotool windowactivate --sync "$window" 2>/dev/null || xdotool windowfocus --sync "$window"
    xdotool key --clearmodifiers alt+f
    sleep 0.5
    screenshot file-menu
    xdotool key x
    for _ in $(seq 100); do
        kill -0 "$viewer_pid" 2>/dev/null || break
        sleep 0.1
    done
    if kill -0 "$viewer_pid" 2>/dev/null; then
        screenshot still-running
        fail "File > Exit did not end the program"
    fi
    wait "$viewer_pid" || status=$?
    viewer_pid=""
    [ "$status" -eq 0 ] || fail "the program ended with exit code $status"
}

start_viewer "$viewer_exe"
background_is_black "$window" || { screenshot background; fail "the background is not the clear colour"; }
screenshot window

for chord in alt+question alt+slash; do
    for closer in Escape Return; do
        xdotool windowactivate --sync "$window" 2>/dev/null || xdotool windowfocus --sync "$window"
        xdotool key --clearmodifiers "$chord"
        wait_for_window '^About$' 10 >/dev/null || { screenshot "no-about-$chord"; fail "$chord did not open the About box"; }
        sleep 0.5
        screenshot "about-$chord"
        about=$(wait_for_window '^About$' 1)
        xdotool windowfocus --sync "$about" 2>/dev/null || true
        xdotool key "$closer"
        wait_for_no_window '^About$' 10 || { screenshot "about-stays-$closer"; fail "$closer did not close the About box"; }
    done
done

# --- The controls: Space freezes the picture, Right shows the next row, the maximised window is drawn
# at its own size, and F12 saves that frame beside the archive.
focus_viewer() { xdotool windowactivate --sync "$window" 2>/dev/null || xdotool windowfocus --sync "$window"; }
window_shot() { import -window "$window" "$work/$1.png"; }
differing_pixels() {
    local count
    count=$(compare -metric AE "$work/$1.png" "$work/$2.png" null: 2>&1 || true)
    echo "${count%% *}"
}
# The row the caption names ("Tavro Model Viewer — row 3 · model ..."), empty before it names one.
caption_row() { xdotool getwindowname "$window" | sed -n 's/.* row \([0-9]*\) .*/\1/p'; }
focus_viewer
xdotool key --clearmodifiers space
frozen=""
for _ in $(seq 5); do
    window_shot frozen-1
    sleep 1
    window_shot frozen-2
    if [ "$(differing_pixels frozen-1 frozen-2)" = 0 ]; then frozen=yes && break; fi
done
[ -n "$frozen" ] || { screenshot not-frozen; fail "Space did not freeze the picture"; }
row=$(caption_row)
[ -n "$row" ] || fail "the caption names no row after Space: $(xdotool getwindowname "$window")"
xdotool key --clearmodifiers Right
for _ in $(seq 50); do [ "$(caption_row)" = $((row + 1)) ] && break; sleep 0.2; done
[ "$(caption_row)" = $((row + 1)) ] || { screenshot no-next-row; fail "Right did not show row $((row + 1))"; }
for _ in $(seq 25); do
    window_shot next-row
    [ "$(differing_pixels frozen-2 next-row)" -gt 1000 ] && break
    sleep 0.2
done
[ "$(differing_pixels frozen-2 next-row)" -gt 1000 ] || fail "Right did not change the picture"
screenshot next-row
row=$((row + 1))

# Maximised from the window's system menu (Alt+Space, then x for Maximize).
size_before=$(xdotool getwindowgeometry "$window" | awk '/Geometry/ {print $2}')
focus_viewer
xdotool key --clearmodifiers alt+space
sleep 0.5
screenshot system-menu
xdotool key x
for _ in $(seq 50); do
    [ "$(xdotool getwindowgeometry "$window" | awk '/Geometry/ {print $2}')" != "$size_before" ] && break
    sleep 0.2
done
size_after=$(xdotool getwindowgeometry "$window" | awk '/Geometry/ {print $2}')
[ "$size_after" != "$size_before" ] || { screenshot not-maximised; fail "the window was not maximised ($size_before)"; }
sleep 1
screenshot maximised

focus_viewer
xdotool key --clearmodifiers F12
saved=$(printf '%s/run/row-%03d.png' "$work" "$row")
for _ in $(seq 50); do [ -s "$saved" ] && break; sleep 0.2; done
[ -s "$saved" ] || { screenshot no-f12; fail "F12 saved no $(basename "$saved") beside the archive"; }
saved_size=$(identify -format '%wx%h' "$saved")
[ "${saved_size%x*}" -gt 1280 ] || fail "F12 saved a frame of $saved_size in a window of $size_after: the frame did not follow the window"
echo "test-windows: window $size_before maximised to $size_after; F12 saved $(basename "$saved") of $saved_size"
exit_by_menu
rates=$(grep -o 'approx [0-9.]*fps' "$work/viewer.log" | awk '{ sub("fps", "", $2); print $2 }' | sort -n || true)
if [ -n "$rates" ]; then
    echo "test-windows: frame rate under Wine: median $(echo "$rates" | awk '{ v[NR] = $1 } END { print v[int((NR + 1) / 2)] }') fps over $(echo "$rates" | wc -l) reports"
fi

# --- The Windows zip, unpacked under a fresh prefix as a user would: only what it holds is used.
"$wineserver_program" -k >/dev/null 2>&1 || true
scripts/package.sh zip
version=$(sed -n 's/^project(TavroModelViewer VERSION \([0-9.]*\).*/\1/p' CMakeLists.txt)
unzip -q "build/mingw/TavroModelViewer-$version-win64.zip" -d "$work/zip"
zip_folder="$work/zip/TavroModelViewer-$version-win64"
for file in tavro.exe TavroModelViewer.exe README.md LICENSE THIRD_PARTY_NOTICES.md; do
    [ -s "$zip_folder/$file" ] || fail "the zip holds no $file"
done
export WINEPREFIX="$work/zip-prefix"
"$wine_program" wineboot --init >>"$wine_log" 2>&1 </dev/null
"$wine_program" reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /t REG_SZ /d N /f >>"$wine_log" 2>&1 </dev/null
"$wineserver_program" -w
run_tool() { "$root/cmake/RunUnderWine.sh" "$zip_folder/tavro.exe" "$@"; }
[ "$(run_tool --version | tr -d '\r')" = "tavro $version" ] || fail "the zip's tavro.exe --version is not $version"
rm -rf "$work/run"
run_tool make-demo "Z:$work/run" --scale 0.05 >/dev/null
run_tool render "Z:$work/run/LINKDATA1.bin" --row 3 --size 320x240 -o "Z:$work/row.png"
middle=$("$root/scripts/check-rendered-row.sh" "$work/row.png") || fail "the zip's tavro.exe drew row 3 wrongly"
start_viewer "$zip_folder/TavroModelViewer.exe"
screenshot zip-viewer
exit_by_menu
echo "test-windows: the zip's programs run in a fresh prefix ($middle lit pixels in the rendered row)"
echo "test-windows: passed; screenshots in $work"
