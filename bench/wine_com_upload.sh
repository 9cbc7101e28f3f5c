#!/usr/bin/env bash
# The same port-layer upload, natively and under Wine over a COM port mapped onto a pty, in one
# run: port_upload_bench (default build) and the WineCom_full scenario (windows build).
# usage: bench/wine_com_upload.sh   (after building the default and windows presets)
set -euo pipefail
cd "$(dirname "$0")/.."
native_us=$(build/bench/port_upload_bench 2>/dev/null | sed -n 's/.*frame_us=\([0-9.k]*\).*/\1/p')
export WINEPREFIX=$PWD/build-windows/wineprefix WINEDEBUG=-all
wine_line=$(tests/windows/run-wine-com.sh full build-windows/tests/WineCom_tests.exe \
  build/bin/zkf780a | grep 'Wine COM upload:')
wine_us=$(sed -n 's/.*, \([0-9.]*\) us per frame.*/\1/p' <<<"$wine_line")
case $native_us in *k) native_us=$(echo "${native_us%k} * 1000" | bc) ;; esac
echo "native port layer: $native_us us per frame"
echo "$wine_line"
echo "ratio Wine / native: $(echo "scale=2; $wine_us / $native_us" | bc)"
