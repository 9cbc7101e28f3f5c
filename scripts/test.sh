#!/usr/bin/env bash
# Builds and runs every test: the default build, then the AddressSanitizer/UBSan build, then the
# Windows cross build (the editor with Qt for Windows, built once into a cache) with its tests
# under Wine (which use the default build's simulator and reference images).
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
jobs=$(nproc)
for preset in default asan; do
  cmake --preset "$preset" >/dev/null
  cmake --build --preset "$preset" -j "$jobs"
  ctest --preset "$preset" -j "$jobs"
done

scripts/install-deps.sh scripts/packages-windows.txt
# Qt for Windows from Debian's source package, cross-built once per machine into a cache outside
# the checkout (about 25 CPU minutes); the windows preset finds it there.
scripts/build-qt-windows.sh
scripts/wine-prefix.sh
cmake --preset windows >/dev/null
cmake --build --preset windows -j "$jobs"
# One Wine test at a time: each starts Wine, and the COM port and drive are one of a kind.
ctest --preset windows
