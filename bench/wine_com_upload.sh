#!/usr/bin/env bash
# The upload natively and under Wine over a COM port mapped onto a pty, in one run, per frame:
#  1. the serial component's real path: zkf780a upload (TCustomUart, its monitor thread, the
#     upload commands) against zkf780a simulate-controller, native build vs the cross-built
#     zkf780a.exe under Wine (tests/windows/run-wine-upload.sh full);
#  2. the port layer alone: port_upload_bench vs the WineCom_full scenario.
# Both sides of each pair send the same 458,752-byte image (7168 frames).
# usage: bench/wine_com_upload.sh   (after building the default and windows presets)
set -euo pipefail
cd "$(dirname "$0")/.."
frames=7168
tmp=$(mktemp -d)
sim=
trap '[ -n "$sim" ] && kill "$sim" 2>/dev/null; rm -rf "$tmp"' EXIT

# 1. Native TCustomUart upload: the transfer time the tool reports with --msg.
head -c 458752 /dev/urandom >"$tmp/sent.rom"
build/bin/zkf780a simulate-controller --pty "$tmp/line" -o "$tmp/received.rom" --sessions 1 \
  >"$tmp/sim.log" 2>&1 &
sim=$!
for _ in $(seq 100); do [ -L "$tmp/line" ] && break; sleep 0.1; done
build/bin/zkf780a upload "$tmp/sent.rom" --port "$tmp/line" --force --msg >"$tmp/native.log"
wait "$sim" || true
sim=
cmp "$tmp/sent.rom" "$tmp/received.rom"
native_ms=$(grep -ao "= [0-9]* ms" "$tmp/native.log" | tail -1 | tr -dc 0-9)
export WINEPREFIX=$PWD/build-windows/wineprefix WINEDEBUG=-all
wine_line=$(tests/windows/run-wine-upload.sh full build-windows/bin/zkf780a.exe \
  build/bin/zkf780a | grep 'Wine TCustomUart upload:')
wine_ms=$(sed -n 's/.* in \([0-9]*\) ms.*/\1/p' <<<"$wine_line")
echo "native TCustomUart upload: $frames frames in $native_ms ms," \
  "$(echo "scale=1; $native_ms * 1000 / $frames" | bc) us per frame"
echo "$wine_line"
echo "ratio Wine / native (TCustomUart): $(echo "scale=2; $wine_ms / $native_ms" | bc)"

# 2. The port layer alone.
if [ -x build/bench/port_upload_bench ] && [ -x build-windows/tests/WineCom_tests.exe ]; then
  native_us=$(build/bench/port_upload_bench 2>/dev/null | sed -n 's/.*frame_us=\([0-9.k]*\).*/\1/p')
  wine_line=$(tests/windows/run-wine-com.sh full build-windows/tests/WineCom_tests.exe \
    build/bin/zkf780a | grep 'Wine COM upload:')
  wine_us=$(sed -n 's/.*, \([0-9.]*\) us per frame.*/\1/p' <<<"$wine_line")
  case $native_us in *k) native_us=$(echo "${native_us%k} * 1000" | bc) ;; esac
  echo "native port layer: $native_us us per frame"
  echo "$wine_line"
  echo "ratio Wine / native (port layer): $(echo "scale=2; $wine_us / $native_us" | bc)"
fi
