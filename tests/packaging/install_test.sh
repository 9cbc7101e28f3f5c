#!/usr/bin/env bash
# Installs the build into a temporary prefix and runs the installed programs from there:
# sample data, MAKE ROM and the image check, with the default pictures found under share/.
set -euo pipefail
build=$1
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
prefix=$tmp/prefix
cmake --install "$build" --prefix "$prefix" >/dev/null

for f in bin/zkf780a bin/zkf780a-editor bin/zkf780a-gatewaysim \
         share/zkf780a/DefaultImage/LiftState share/applications/zkf780a-editor.desktop \
         share/mime/packages/zkf780a.xml share/icons/hicolor/scalable/apps/zkf780a.svg \
         share/icons/hicolor/48x48/apps/zkf780a.png share/man/man1/zkf780a.1.gz \
         share/man/man1/zkf780a-editor.1.gz share/man/man1/zkf780a-gatewaysim.1.gz \
         share/bash-completion/completions/zkf780a share/doc/zkf780a/user-guide.md; do
  [ -e "$prefix/$f" ] || { echo "not installed: $f"; exit 1; }
done
# Nothing of the build tree leaks into the installed layout.
[ ! -e "$prefix/bin/DefaultImage" ] || { echo "DefaultImage installed beside the programs"; exit 1; }

export QT_QPA_PLATFORM=offscreen
work=$tmp/work
"$prefix/bin/zkf780a" --version
"$prefix/bin/zkf780a" sample-data "$work" >/dev/null
# The build reads the installed share/zkf780a/DefaultImage as its program folder: with a
# missing tree it would warn about every lift-state picture.
(cd "$work" && "$prefix/bin/zkf780a" build demo.zkf) | tee "$tmp/build.log"
grep -q "ROM create finish!!" "$tmp/build.log"
if grep -q "\[Warning\].*DefaultImage" "$tmp/build.log"; then
  echo "the installed build did not find its default pictures"; exit 1
fi
rom=$(ls "$work"/*.ROM | head -n1)
"$prefix/bin/zkf780a" inspect "$rom" >/dev/null
echo "installed programs ran from $prefix"
