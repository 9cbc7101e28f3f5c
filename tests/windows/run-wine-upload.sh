#!/usr/bin/env bash
# The serial component's real upload path under Wine: the cross-built zkf780a.exe uploads a
# 458,752-byte image over COM5 (TCustomUart, its monitor thread, the upload commands) to the
# native controller simulator on a pseudo-terminal that the Wine prefix maps as COM5. The image
# the simulator received must equal the one sent byte for byte.
#   full:   a clean line; while it runs, a second zkf780a.exe must be refused the port.
#   faults: the simulator answers NAKs and drops frames; the upload must still arrive whole,
#           after at least one NAK and one response timeout.
# usage: run-wine-upload.sh SCENARIO WIN_ZKF780A NATIVE_ZKF780A [simulator options...]
source "$(dirname "$0")/wine-com-lib.sh"
scenario=$1 exe=$2 cli=$3
shift 3
wine_com_need_native "$cli"

head -c 458752 /dev/urandom >"$tmp/sent.rom"
wine_com_native_sim COM5 "$cli" "$@"

sent="$(wine_path "$tmp/sent.rom")"
# faults: a response timer shorter than the simulator's resend pause, so that a dropped frame
# is also seen as a response timeout by the tool.
timeout_ms=1000
[ "$scenario" = faults ] && timeout_ms=150
wine_com_spawn "$tmp/upload.log" wine "$exe" upload "$sent" --port COM5 --force --msg \
  --timeout-ms "$timeout_ms"
upload=$spawned
if [ "$scenario" = full ]; then
  # Once the first one holds the port (its Open line is printed), a second open must fail.
  wine_com_wait_for "$tmp/upload.log" Open
  if wine "$exe" upload "$sent" --port COM5 --force >"$tmp/second.log" 2>&1; then
    echo "a second zkf780a.exe opened COM5 while the first held it:"; cat "$tmp/second.log"
    exit 1
  fi
  echo "second open refused: $(grep -v '^$' "$tmp/second.log" | head -3 | tr '\n' ' ')"
fi
status=0
wait "$upload" || status=$?
wine_com_wait_gone "$sim" || true
wine_com_check_transfer "$status" 4 "the simulator"
# The transfer time the upload reports with --msg, from the controller's 'C' to its last ACK.
ms=$(grep -ao "= [0-9]* ms" "$tmp/upload.log" | tail -1 | tr -dc 0-9)
echo "Wine TCustomUart upload: 7168 frames in $ms ms, $((ms * 1000 / 7168)) us per frame"
if [ "$scenario" = faults ]; then
  naks=$(wine_com_naks)
  timeouts=$(grep -c "respond timeout #" "$tmp/upload.log" || true)
  echo "NAKs sent: $naks, response timeouts: $timeouts"
  [ "$naks" -gt 0 ] && [ "$timeouts" -gt 0 ]
fi
