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
wine_com_check_transfer "$status" 3 "the Windows simulator"
if [ "$scenario" = faults ]; then
  naks=$(wine_com_naks)
  echo "NAKs sent: $naks"
  [ "$naks" -gt 0 ]
fi
