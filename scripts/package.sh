#!/usr/bin/env bash
# Builds the installable packages with CPack and prints where they are.
#   scripts/package.sh        the Debian package build/release/tavro_VERSION_amd64.deb, from the release
#                             preset's build of the two programs, their man pages and icons; lintian
#                             checks it
#   scripts/package.sh zip    the Windows zip build/mingw/TavroModelViewer-VERSION-win64.zip, from the
#                             mingw preset's cross build (its build-time tools run under Wine)
# Only what goes into the package is built (the presets' tests and benchmarks are not).
set -euo pipefail
cd "$(dirname "$0")/.."
kind=${1:-deb}

install_missing() {
    local missing=() p
    for p in "$@"; do
        dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'ok installed' || missing+=("$p")
    done
    [ ${#missing[@]} -eq 0 ] && return 0
    echo "package: installing ${missing[*]}"
    local sudo_cmd=()
    if [ "$(id -u)" -ne 0 ]; then sudo_cmd=(sudo); fi
    export DEBIAN_FRONTEND=noninteractive
    "${sudo_cmd[@]}" apt-get -o DPkg::Lock::Timeout=600 update -qq
    "${sudo_cmd[@]}" apt-get -o DPkg::Lock::Timeout=600 install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
}

case "$kind" in
deb)
    scripts/install-deps.sh
    install_missing dpkg-dev file lintian
    build=build/release
    cmake --preset release -DCMAKE_SKIP_INSTALL_ALL_DEPENDENCY=ON >/dev/null
    cmake --build --preset release --target tavro tavro-viewer tavro-icons tavro-man-pages tavro-changelog
    rm -f "$build"/tavro_*.deb
    (cd "$build" && cpack -G DEB >/dev/null)
    deb=$(ls "$build"/tavro_*_amd64.deb)
    lintian --fail-on error "$deb"
    echo "package: $deb"
    ;;
zip)
    scripts/install-mingw-deps.sh
    build=build/mingw
    cmake --preset mingw -DCMAKE_SKIP_INSTALL_ALL_DEPENDENCY=ON >/dev/null
    cmake --build --preset mingw --target tavro TavroModelViewer
    rm -f "$build"/TavroModelViewer-*-win64.zip
    (cd "$build" && cpack -G ZIP >/dev/null)
    echo "package: $(ls "$build"/TavroModelViewer-*-win64.zip)"
    ;;
*)
    echo "package: unknown kind '$kind' (deb or zip)" >&2
    exit 2
    ;;
esac
