#!/usr/bin/env bash
# Installs what the Windows cross build and its tests need on Debian 12, only what is missing: the
# MinGW-w64 compilers and zlib, Wine, Xvfb and the screenshot tools, and the source of libsquish, which
# Debian ships for Linux only. That source is Debian's own (`apt-get source`, with Debian's patches applied),
# unpacked into /usr/local/src/tavro-mingw/libsquish where the mingw preset compiles it; apt's lists of
# source packages are kept in a folder of their own, so the machine's apt setup is left as it is.
# Safe to run again: with everything present it changes nothing and asks no registry.
set -euo pipefail

packages=(g++-mingw-w64-x86-64 libz-mingw-w64-dev wine wine64 xvfb xauth xdotool imagemagick unzip dpkg-dev
    libtinygltf-dev nlohmann-json3-dev libstb-dev libcli11-dev)
squish_folder=/usr/local/src/tavro-mingw/libsquish

sudo_cmd=()
if [ "$(id -u)" -ne 0 ]; then sudo_cmd=(sudo); fi
export DEBIAN_FRONTEND=noninteractive

missing=()
for p in "${packages[@]}"; do
    if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'ok installed'; then
        missing+=("$p")
    fi
done
if [ ${#missing[@]} -gt 0 ]; then
    echo "install-mingw-deps: installing ${missing[*]}"
    "${sudo_cmd[@]}" apt-get -o DPkg::Lock::Timeout=600 update -qq
    "${sudo_cmd[@]}" apt-get -o DPkg::Lock::Timeout=600 install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
fi

if [ ! -f "$squish_folder/squish.h" ]; then
    echo "install-mingw-deps: fetching libsquish's Debian source"
    apt_folder=$(mktemp -d /tmp/tavro-apt-source.XXXXXX)
    trap 'rm -rf "$apt_folder"' EXIT
    mkdir -p "$apt_folder/lists/partial" "$apt_folder/cache/archives/partial" "$apt_folder/source"
    suite=$(. /etc/os-release && echo "$VERSION_CODENAME")
    echo "deb-src [signed-by=/usr/share/keyrings/debian-archive-keyring.gpg] http://deb.debian.org/debian $suite main" \
        >"$apt_folder/sources.list"
    # The private lists belong to whoever runs this; apt must not drop to its own user to write them.
    apt_options=(-o "Dir::Etc::SourceList=$apt_folder/sources.list" -o Dir::Etc::SourceParts=/nonexistent
        -o "Dir::State::Lists=$apt_folder/lists" -o "Dir::Cache=$apt_folder/cache"
        -o "APT::Sandbox::User=$(id -un)")
    apt-get "${apt_options[@]}" update -qq
    (cd "$apt_folder/source" && apt-get "${apt_options[@]}" source -qq libsquish >/dev/null)
    unpacked=$(find "$apt_folder/source" -mindepth 1 -maxdepth 1 -type d -name 'libsquish-*')
    [ -f "$unpacked/squish.h" ] || { echo "install-mingw-deps: libsquish's source did not unpack" >&2; exit 1; }
    "${sudo_cmd[@]}" mkdir -p "$(dirname "$squish_folder")"
    "${sudo_cmd[@]}" rm -rf "$squish_folder"
    "${sudo_cmd[@]}" cp -r "$unpacked" "$squish_folder"
fi
