#!/usr/bin/env bash
# Installs a built Debian package with apt as a user would, checks the installed programs, and purges
# the package again:
#   scripts/check-package.sh build/release/tavro_VERSION_amd64.deb
# `tavro --version`; a demo archive written and one of its rows rendered headless by the installed
# tool, with the picture's pixels checked (a model in the middle, the black background at the corners);
# the installed viewer run in that archive's folder under Xvfb, its window drawn with a model and the
# program still running a few seconds later; the desktop entry, the icons and the man pages in place.
set -euo pipefail
deb=$(realpath "$1")
version=$(dpkg-deb --field "$deb" Version)

sudo_cmd=()
if [ "$(id -u)" -ne 0 ]; then sudo_cmd=(sudo); fi
export DEBIAN_FRONTEND=noninteractive

work=$(mktemp -d /tmp/tavro-package.XXXXXX)
xvfb_pid=""
viewer_pid=""
cleanup() {
    if [ -n "$viewer_pid" ]; then kill "$viewer_pid" 2>/dev/null || true; fi
    if [ -n "$xvfb_pid" ]; then kill "$xvfb_pid" 2>/dev/null || true; fi
    "${sudo_cmd[@]}" apt-get -o DPkg::Lock::Timeout=600 purge -y -qq tavro >/dev/null 2>&1 || true
    rm -rf "$work"
}
trap cleanup EXIT
fail() {
    echo "check-package: $*" >&2
    exit 1
}

"${sudo_cmd[@]}" apt-get -o DPkg::Lock::Timeout=600 install -y -qq --no-install-recommends "$deb" >/dev/null
[ "$(command -v tavro)" = /usr/bin/tavro ] || fail "tavro is not installed in /usr/bin"
[ "$(tavro --version)" = "tavro $version" ] || fail "tavro --version says '$(tavro --version)', not $version"
[ "$(tavro-viewer --version)" = "tavro-viewer $version" ] || fail "tavro-viewer --version is wrong"
for file in /usr/share/applications/tavro-viewer.desktop /usr/share/man/man1/tavro.1.gz \
    /usr/share/man/man1/tavro-viewer.1.gz /usr/share/doc/tavro/copyright /usr/share/doc/tavro/README.md \
    /usr/share/icons/hicolor/{16x16,32x32,48x48,256x256}/apps/tavro-viewer.png; do
    [ -s "$file" ] || fail "$file is missing"
done

# A row rendered headless by the installed tool: no display, EGL on Mesa's software rasterizer.
tavro make-demo "$work/demo" --scale 0.05 >/dev/null 2>&1
env -u DISPLAY tavro render "$work/demo/LINKDATA1.bin" --row 3 --size 320x240 -o "$work/row.png"
middle=$("$(dirname "$0")/check-rendered-row.sh" "$work/row.png") || fail "the installed tavro drew row 3 wrongly"
echo "check-package: tavro render drew row 3: $middle lit pixels in the middle, black corners"

# The installed viewer in the archive's folder under Xvfb for a few seconds.
display=$((100 + RANDOM % 100))
while [ -e "/tmp/.X$display-lock" ]; do display=$((display + 1)); done
Xvfb ":$display" -screen 0 1600x1200x24 -nolisten tcp >/dev/null 2>&1 &
xvfb_pid=$!
for _ in $(seq 50); do [ -e "/tmp/.X11-unix/X$display" ] && break; sleep 0.1; done
cp "$work/demo/LINKDATA1.bin" "$work/demo/LINKDATA1.idx" "$work"
(cd "$work" && DISPLAY=":$display" exec tavro-viewer >"$work/viewer.log" 2>&1) &
viewer_pid=$!
# Its window with the menu bar and a model, within 60 s even on a busy machine; still running 3 s later.
shown=0
for _ in $(seq 120); do
    kill -0 "$viewer_pid" 2>/dev/null || fail "tavro-viewer ended: $(cat "$work/viewer.log")"
    DISPLAY=":$display" import -window root "$work/screen.png" 2>/dev/null || true
    shown=$(convert "$work/screen.png" -colorspace gray -threshold 3% -format '%[fx:int(mean*w*h+0.5)]' info: \
        2>/dev/null || echo 0)
    [ "$shown" -gt 30000 ] && break
    sleep 0.5
done
[ "$shown" -gt 30000 ] || fail "the viewer's window shows no model under Xvfb ($shown lit pixels)"
sleep 3
kill -0 "$viewer_pid" 2>/dev/null || fail "tavro-viewer ended: $(cat "$work/viewer.log")"
echo "check-package: tavro-viewer runs under Xvfb ($shown lit pixels on the screen)"
kill "$viewer_pid"
wait "$viewer_pid" 2>/dev/null || true
viewer_pid=""
echo "check-package: $(basename "$deb") installs and works; purging it"
