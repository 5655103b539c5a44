#!/usr/bin/env bash
# Exports every schedule row of a demo archive (and row 0 once more in the .gltf form) with the given
# tavro program and runs the Khronos glTF validator over all of it; fails unless every file has no error
# and no warning. The demo archive is made anew in WORKDIR at the given scale.
# Usage: scripts/validate-exports.sh TAVRO WORKDIR [SCALE]
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
tavro=$1
work=$2
scale=${3:-1}

rm -rf "$work/demo" "$work/rows" "$work/json"
"$tavro" make-demo "$work/demo" --scale "$scale" 2>/dev/null
mkdir -p "$work/json"
"$tavro" export "$work/demo/LINKDATA1.bin" --rows all -o "$work/rows" 2>/dev/null
"$tavro" export "$work/demo/LINKDATA1.bin" --row 0 -o "$work/json/row-000.gltf"
node "$here/validate-gltf.js" "$work"/rows/*.glb "$work/json/row-000.gltf" >"$work/validator.txt" || {
    grep -v ': 0 errors, 0 warnings$' "$work/validator.txt" | head -n 40
    exit 1
}
tail -n 1 "$work/validator.txt"
