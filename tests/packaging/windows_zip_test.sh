#!/usr/bin/env bash
# The Windows zip from the windows preset's build folder: made by cpack -G ZIP in a scratch
# folder, unpacked, and its command-line tool and simulators started under Wine from there.
# usage: windows_zip_test.sh BUILD_DIR
set -euo pipefail
build=$1
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
(cd "$tmp" && cpack -G ZIP --config "$build/CPackConfig.cmake" -B "$tmp/out" >cpack.log) ||
  { cat "$tmp/cpack.log"; exit 1; }
zip=$(ls "$tmp"/out/zkf780a-*-win64.zip)
mkdir "$tmp/unpacked"
(cd "$tmp/unpacked" && cmake -E tar xf "$zip")
top="$tmp/unpacked/$(basename "$zip" .zip)"
for f in zkf780a.exe zkf780a-gatewaysim.exe doc/user-guide.md; do
  [ -f "$top/$f" ] || { echo "missing in the zip: $f"; ls -R "$tmp/unpacked"; exit 1; }
done
echo "zip: $(basename "$zip"), $(stat -c %s "$zip") bytes"
[ -d "$top/DefaultImage" ] && echo "with DefaultImage" || echo "without DefaultImage"
WINEDEBUG=-all wine "$top/zkf780a.exe" version
WINEDEBUG=-all wine "$top/zkf780a.exe" simulate-controller --help >"$tmp/help.txt"
WINEDEBUG=-all wine "$top/zkf780a-gatewaysim.exe" --help >>"$tmp/help.txt"
grep -E "^(Usage|usage):" "$tmp/help.txt"
