#!/usr/bin/env bash
# Installs what is missing, builds the dev preset and runs every test.
# Extra arguments go to ctest (for example -L gl, or -R Lzp2).
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
cmake --preset dev >/dev/null
cmake --build --preset dev
ctest --preset dev "$@"
