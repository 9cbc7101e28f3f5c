#!/usr/bin/env bash
# The Windows controller simulator on a real COM port: a socat pseudo-terminal pair whose ends
# the Wine prefix maps as COM5 and COM6; the cross-built `zkf780a.exe simulate-controller` serves
# COM5 and the cross-built `zkf780a.exe upload` sends a 458,752-byte image over COM6. The image
# the simulator wrote with -o must equal the one sent byte for byte.
#   full:   a clean line.
#   faults: the simulator answers NAKs; the upload resends and still arrives whole.
# usage: run-wine-controllersim.sh SCENARIO WIN_ZKF780A [simulator options...]
source "$(dirname "$0")/wine-com-lib.sh"
scenario=$1 exe=$2
shift 2
wine_com_pair COM5 COM6

head -c 458752 /dev/urandom >"$tmp/sent.rom"
wine_com_spawn "$tmp/sim.log" wine "$exe" simulate-controller --port COM5 \
  -o "$(wine_path "$tmp/received.rom")" --sessions 1 "$@"
sim=$spawned
wine_com_wait_for "$tmp/sim.log" "VRC-780A simulator on"

status=0
wine "$exe" upload "$(wine_path "$tmp/sent.rom")" --port COM6 --force --msg >"$tmp/upload.log" \
  2>&1 || status=$?
wine_com_wait_gone "$sim" || true
grep -av "^\s*$" "$tmp/upload.log" | tail -3
cat "$tmp/sim.log"
[ "$status" -eq 0 ] || { echo "zkf780a.exe upload exited with $status"; exit 1; }
cmp "$tmp/sent.rom" "$tmp/received.rom"
echo "the Windows simulator received the $(stat -c %s "$tmp/received.rom")-byte image byte for byte"
if [ "$scenario" = faults ]; then
  naks=$(grep -o "NAKs [0-9]*" "$tmp/sim.log" | awk '{s += $2} END {print s + 0}')
  echo "NAKs sent: $naks"
  [ "$naks" -gt 0 ]
fi
