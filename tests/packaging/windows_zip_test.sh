#!/usr/bin/env bash
# The Windows packages from the windows preset's build folder: the ZIP made by cpack -G ZIP in a
# scratch folder, unpacked, and its programs started under Wine from there (with the editor:
# sample-data, which runs the Qt companion from the unpacked folder with its DLLs, plugins and
# fonts); then the NSIS installer when makensis is present. Both sizes are reported.
# usage: windows_zip_test.sh BUILD_DIR
set -euo pipefail
build=$1
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
export WINEDEBUG=-all
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
wine "$top/zkf780a.exe" version
wine "$top/zkf780a.exe" simulate-controller --help >"$tmp/help.txt"
wine "$top/zkf780a-gatewaysim.exe" --help >>"$tmp/help.txt"
grep -E "^(Usage|usage):" "$tmp/help.txt"

if [ -f "$top/zkf780a-editor.exe" ]; then
  for f in zkf780a-qt.exe Qt6Core.dll Qt6Gui.dll Qt6Widgets.dll libstdc++-6.dll \
           libgcc_s_seh-1.dll libwinpthread-1.dll platforms/qwindows.dll \
           styles/qwindowsvistastyle.dll fonts/dejavu/DejaVuSans.ttf DefaultImage/LiftState; do
    [ -e "$top/$f" ] || { echo "missing in the zip: $f"; exit 1; }
  done
  # A working folder from the unpacked programs alone: zkf780a.exe starts zkf780a-qt.exe, which
  # draws with the fonts and the offscreen plugin beside it.
  wine "$top/zkf780a.exe" sample-data "Z:${tmp//\//\\}\\work" >"$tmp/sample.log" 2>&1 ||
    { cat "$tmp/sample.log"; exit 1; }
  [ -f "$tmp/work/demo.zkf" ] && [ -f "$tmp/work/VRC-780AS1V2.GLB" ] ||
    { echo "sample-data from the zip wrote no working folder"; cat "$tmp/sample.log"; exit 1; }
  echo "sample-data from the unpacked zip: $(ls "$tmp/work" | wc -l) files"
fi

if command -v makensis >/dev/null; then
  (cd "$tmp" && cpack -G NSIS --config "$build/CPackConfig.cmake" -B "$tmp/nsis" >nsis.log) ||
    { tail -30 "$tmp/nsis.log"; exit 1; }
  installer=$(ls "$tmp"/nsis/zkf780a-*-win64.exe)
  echo "installer: $(basename "$installer"), $(stat -c %s "$installer") bytes"
fi
