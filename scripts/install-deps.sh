#!/usr/bin/env bash
# Installs the Debian 12 packages the build, the tests and the viewer need; only what is missing.
# Safe to run again: with everything present it changes nothing and asks no registry.
set -euo pipefail

packages=(
    # build
    cmake ninja-build g++ clang pkg-config git
    libgtest-dev libgmock-dev libbenchmark-dev libcli11-dev libstb-dev liblz4-dev
    # export: BC decoding, glTF writing (and its JSON library)
    libsquish-dev libtinygltf-dev nlohmann-json3-dev
    # graphics and window
    libsdl2-dev libepoxy-dev libimgui-dev libegl-dev libgl1-mesa-dri libegl-mesa0
    # fuzzing and sanitizers with clang
    libclang-rt-14-dev
    # window tests and screenshots
    xvfb xauth xdotool imagemagick
)

missing=()
for p in "${packages[@]}"; do
    if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'ok installed'; then
        missing+=("$p")
    fi
done

if [ ${#missing[@]} -eq 0 ]; then
    exit 0
fi

echo "install-deps: installing ${missing[*]}"
sudo_cmd=()
if [ "$(id -u)" -ne 0 ]; then sudo_cmd=(sudo); fi
export DEBIAN_FRONTEND=noninteractive
"${sudo_cmd[@]}" apt-get -o DPkg::Lock::Timeout=600 update -qq
"${sudo_cmd[@]}" apt-get -o DPkg::Lock::Timeout=600 install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
