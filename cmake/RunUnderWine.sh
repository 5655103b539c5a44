#!/usr/bin/env bash
# Runs a Windows program under Wine as if it were a native one: same arguments, same exit code, its
# standard output and error passed on. Wine's own output goes to files, never to the caller's pipes:
# Wine's background processes would otherwise keep those pipes open and hang ninja and CTest.
# WINEPREFIX defaults to a prefix beside this build (made on first use); WINEDEBUG defaults to -all.
set -uo pipefail

if [ $# -lt 1 ]; then
    echo "RunUnderWine.sh: no program given" >&2
    exit 2
fi

export WINEDEBUG="${WINEDEBUG:--all}"
export WINEPREFIX="${WINEPREFIX:-${TAVRO_WINEPREFIX:-$HOME/.cache/tavro/wineprefix}}"
# Keep Wine from asking to install Mono or Gecko in a fresh prefix.
export WINEDLLOVERRIDES="${WINEDLLOVERRIDES:-mscoree,mshtml=}"
mkdir -p "$(dirname "$WINEPREFIX")"

wine_program=""
for candidate in wine64 /usr/lib/wine/wine64 wine; do
    if command -v "$candidate" >/dev/null 2>&1; then
        wine_program=$(command -v "$candidate")
        break
    fi
done
if [ -z "$wine_program" ]; then
    echo "RunUnderWine.sh: Wine is not installed" >&2
    exit 2
fi

output_dir=$(mktemp -d)
trap 'rm -rf "$output_dir"' EXIT
"$wine_program" "$@" </dev/null >"$output_dir/stdout" 2>"$output_dir/stderr"
status=$?
cat "$output_dir/stdout"
cat "$output_dir/stderr" >&2
exit "$status"
