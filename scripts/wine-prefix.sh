#!/usr/bin/env bash
# Makes the Wine prefix the windows test preset runs in (build-windows/wineprefix), once.
set -euo pipefail
cd "$(dirname "$0")/.."
prefix=${WINEPREFIX:-$PWD/build-windows/wineprefix}
[ -f "$prefix/system.reg" ] && exit 0
mkdir -p "$prefix"
export WINEPREFIX=$prefix WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
# No display: wineboot runs without one; the Mono and Gecko prompts are switched off above.
wineboot --init >/dev/null 2>&1 || wineboot -i >/dev/null 2>&1
wineserver -w
echo "Wine prefix ready: $prefix"
