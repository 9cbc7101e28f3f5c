#!/usr/bin/env bash
# Runs the Wine serial tests of one scenario: the native controller simulator on a
# pseudo-terminal whose PC end the Wine prefix maps as COM5, the cross-built test under Wine,
# then the image the simulator received compared byte for byte with the one sent.
# usage: run-wine-com.sh SCENARIO TEST_EXE NATIVE_ZKF780A [simulator options...]
set -euo pipefail
scenario=$1 exe=$2 cli=$3
shift 3
: "${WINEPREFIX:?the windows test preset sets WINEPREFIX}"
# A wineserver that outlives each test briefly, with its own diagnostics kept off the log.
wineserver -p10 >/dev/null 2>&1 || true
if [ ! -x "$cli" ]; then
  echo "no native zkf780a at $cli: build the default preset first"
  exit 77
fi
port=COM5
link="$WINEPREFIX/dosdevices/${port,,}"
tmp=$(mktemp -d)
sim=
cleanup() {
  [ -n "$sim" ] && kill "$sim" 2>/dev/null && wait "$sim" 2>/dev/null
  rm -f "$link"
  rm -rf "$tmp"
}
trap cleanup EXIT

"$cli" simulate-controller --pty "$link" -o "$tmp/received.rom" --sessions 1 "$@" \
  >"$tmp/sim.log" 2>&1 &
sim=$!
for _ in $(seq 100); do [ -L "$link" ] && break; sleep 0.1; done
[ -L "$link" ] || { cat "$tmp/sim.log"; exit 1; }

ZKF_WINE_COM=$port ZKF_WINE_SCENARIO=$scenario ZKF_WINE_SENT="Z:${tmp//\//\\}\\sent.rom" \
  WINEDEBUG=${WINEDEBUG:--all} wine "$exe" --gtest_filter='WineCom.*:WindowsComNames.*'

if [ -f "$tmp/sent.rom" ]; then
  for _ in $(seq 100); do kill -0 "$sim" 2>/dev/null || break; sleep 0.1; done
  cat "$tmp/sim.log"
  cmp "$tmp/sent.rom" "$tmp/received.rom"
  echo "the simulator received the $(stat -c %s "$tmp/received.rom")-byte image byte for byte"
fi
