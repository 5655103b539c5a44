# Shared by the window tests under Xvfb; sourced after they set $work and $viewer_pid.

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
