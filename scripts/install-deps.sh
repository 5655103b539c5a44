#!/usr/bin/env bash
# Installs the Debian 12 packages the build, the tests and the viewer need; only what is missing.
# Safe to run again: with everything present it changes nothing and asks no registry.
set -euo pipefail

packages=(
    # build
    cmake ninja-build g++ clang pkg-config git help2man
    libgtest-dev libgmock-dev libbenchmark-dev libcli11-dev libstb-dev liblz4-dev zlib1g-dev
    # export: BC decoding, glTF writing (and its JSON library)
    libsquish-dev libtinygltf-dev nlohmann-json3-dev
    # graphics and window
    libsdl2-dev libepoxy-dev libimgui-dev libegl-dev libgl1-mesa-dri libegl-mesa0
    # fuzzing and sanitizers with clang
    libclang-rt-14-dev
    # window tests and screenshots
    xvfb xauth xdotool imagemagick
    # export tests: an independent glTF reader, and node for the glTF validator
    libassimp-dev nodejs
)
# The Khronos glTF validator, pinned, in a folder of its own (scripts/validate-gltf.js looks there).
gltf_validator_version=2.0.0-dev.3.10
gltf_validator_folder=/usr/local/share/tavro/gltf-validator

missing=()
for p in "${packages[@]}"; do
    if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'ok installed'; then
        missing+=("$p")
    fi
done

# Debian's nodejs comes without npm; a node that brings its own npm needs no package for it.
if ! command -v npm >/dev/null 2>&1; then
    missing+=(npm)
fi

sudo_cmd=()
if [ "$(id -u)" -ne 0 ]; then sudo_cmd=(sudo); fi
if [ ${#missing[@]} -ne 0 ]; then
    echo "install-deps: installing ${missing[*]}"
    export DEBIAN_FRONTEND=noninteractive
    "${sudo_cmd[@]}" apt-get -o DPkg::Lock::Timeout=600 update -qq
    "${sudo_cmd[@]}" apt-get -o DPkg::Lock::Timeout=600 install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
fi

installed_validator=$(node -p "require('$gltf_validator_folder/node_modules/gltf-validator/package.json').version" \
    2>/dev/null || true)
if [ "$installed_validator" != "$gltf_validator_version" ]; then
    echo "install-deps: installing gltf-validator $gltf_validator_version"
    "${sudo_cmd[@]}" npm install --silent --no-audit --no-fund --prefix "$gltf_validator_folder" \
        "gltf-validator@$gltf_validator_version" >/dev/null
fi
