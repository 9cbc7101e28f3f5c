#!/usr/bin/env bash
# The serial component's real upload path under Wine: the cross-built zkf780a.exe uploads a
# 458,752-byte image over COM5 (TCustomUart, its monitor thread, the upload commands) to the
# native controller simulator on a pseudo-terminal that the Wine prefix maps as COM5. The image
# the simulator received must equal the one sent byte for byte.
#   full:   a clean line; while it runs, a second zkf780a.exe must be refused the port.
#   faults: the simulator answers NAKs and drops frames; the upload must still arrive whole,
#           after at least one NAK and one response timeout.
# usage: run-wine-upload.sh SCENARIO WIN_ZKF780A NATIVE_ZKF780A [simulator options...]
set -euo pipefail
scenario=$1 exe=$2 cli=$3
shift 3
: "${WINEPREFIX:?the windows test preset sets WINEPREFIX}"
wineserver -p10 >/dev/null 2>&1 || true
if [ ! -x "$cli" ]; then
  echo "no native zkf780a at $cli: build the default preset first"
  exit 77
fi
link="$WINEPREFIX/dosdevices/com5"
tmp=$(mktemp -d)
sim=
cleanup() {
  [ -n "$sim" ] && kill "$sim" 2>/dev/null && wait "$sim" 2>/dev/null
  rm -f "$link"
  rm -rf "$tmp"
}
trap cleanup EXIT
export WINEDEBUG=${WINEDEBUG:--all}

head -c 458752 /dev/urandom >"$tmp/sent.rom"
"$cli" simulate-controller --pty "$link" -o "$tmp/received.rom" --sessions 1 "$@" \
  >"$tmp/sim.log" 2>&1 &
sim=$!
for _ in $(seq 100); do [ -L "$link" ] && break; sleep 0.1; done
[ -L "$link" ] || { cat "$tmp/sim.log"; exit 1; }

sent="Z:${tmp//\//\\}\\sent.rom"
# faults: a response timer shorter than the simulator's resend pause, so that a dropped frame
# is also seen as a response timeout by the tool.
timeout_ms=1000
[ "$scenario" = faults ] && timeout_ms=150
wine "$exe" upload "$sent" --port COM5 --force --msg --timeout-ms "$timeout_ms" >"$tmp/upload.log" 2>&1 &
upload=$!
if [ "$scenario" = full ]; then
  # Once the first one holds the port (its Open line is printed), a second open must fail.
  for _ in $(seq 300); do grep -q "Open" "$tmp/upload.log" && break; sleep 0.1; done
  if wine "$exe" upload "$sent" --port COM5 --force >"$tmp/second.log" 2>&1; then
    echo "a second zkf780a.exe opened COM5 while the first held it:"; cat "$tmp/second.log"
    exit 1
  fi
  echo "second open refused: $(grep -v '^$' "$tmp/second.log" | head -3 | tr '\n' ' ')"
fi
status=0
wait "$upload" || status=$?
upload=
for _ in $(seq 100); do kill -0 "$sim" 2>/dev/null || break; sleep 0.1; done
grep -av "^\s*$" "$tmp/upload.log" | tail -4
cat "$tmp/sim.log"
[ "$status" -eq 0 ] || { echo "zkf780a.exe upload exited with $status"; exit 1; }
cmp "$tmp/sent.rom" "$tmp/received.rom"
echo "the simulator received the $(stat -c %s "$tmp/received.rom")-byte image byte for byte"
# The transfer time the upload reports with --msg, from the controller's 'C' to its last ACK.
ms=$(grep -ao "= [0-9]* ms" "$tmp/upload.log" | tail -1 | tr -dc 0-9)
echo "Wine TCustomUart upload: 7168 frames in $ms ms, $((ms * 1000 / 7168)) us per frame"
if [ "$scenario" = faults ]; then
  naks=$(grep -o "NAKs [0-9]*" "$tmp/sim.log" | awk '{s += $2} END {print s + 0}')
  timeouts=$(grep -c "respond timeout #" "$tmp/upload.log" || true)
  echo "NAKs sent: $naks, response timeouts: $timeouts"
  [ "$naks" -gt 0 ] && [ "$timeouts" -gt 0 ]
fi
