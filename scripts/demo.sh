#!/usr/bin/env bash
# The main job on the bundled sample data: build the tool, generate the sample working folder,
# build the demo project's ROM image, verify it, draw its pictures, and upload it to a
# simulated controller over a pseudo-terminal pair.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
cmake --preset default >/dev/null
# The programs the job runs; `cmake --build --preset default` builds everything, tests included.
cmake --build --preset default -j "$(nproc)" --target zkf780a zkf780a-editor DefaultImage

bin=build/bin
work=build/demo
rm -rf "$work"
echo "== sample working folder: $work"
"$bin/zkf780a" sample-data "$work"

echo "== MAKE ROM on the demo project"
rom="$work/ZKF780A.ROM"
"$bin/zkf780a" build "$work/demo.zkf" -C "$work" --program-dir "$bin" -o "$rom"

echo "== verifying $rom"
"$bin/zkf780a" inspect "$rom" --png "$work/png"

echo "== uploading to the simulated controller"
scripts/demo-upload.sh "$bin/zkf780a" "$rom"

echo
echo "ROM image:     $(realpath "$rom")"
echo "contact sheet: $(realpath "$work/png")/contact-sheet.png"
