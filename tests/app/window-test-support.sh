# Shared by the window tests under Xvfb, sourced first: each test runs again under an Xvfb of its own,
# with a work folder $work (removed at the end), a folder $shots for its screenshots ($TAVRO_UI_SHOTS
# when set, to keep them), and $viewer_pid and $window to set once the viewer and its window exist.

if [ -z "${TAVRO_UI_UNDER_XVFB:-}" ]; then
    exec xvfb-run -a -s "-screen 0 1600x1200x24" env TAVRO_UI_UNDER_XVFB=1 "$0" "$@"
fi

work=$(mktemp -d)
shots=${TAVRO_UI_SHOTS:-$work/shots}
mkdir -p "$shots"
viewer_pid=
window=

# Ends a viewer still running and removes the test's work folder, whichever way the test ends.
cleanup() {
    if [ -n "$viewer_pid" ] && kill -0 "$viewer_pid" 2>/dev/null; then
        kill "$viewer_pid" 2>/dev/null || true
    fi
    rm -rf "$work"
}
trap cleanup EXIT

# Polls a condition (a command) every 0.2 s for at most $1 seconds.
wait_for() {
    local tries=$(($1 * 5))
    shift
    for ((i = 0; i < tries; i++)); do
        if "$@"; then return 0; fi
        sleep 0.2
    done
    return 1
}

# "R,G,B" of the pixel at x y of the window now.
pixel() {
    import -window "$window" "$work/probe.png"
    convert "$work/probe.png" -format '%[fx:int(255*p{'"$1,$2"'}.r)],%[fx:int(255*p{'"$1,$2"'}.g)],%[fx:int(255*p{'"$1,$2"'}.b)]' info:
}
is_black() { [ "$(pixel "$1" "$2")" = "0,0,0" ]; }
is_not_black() { ! is_black "$1" "$2"; }
