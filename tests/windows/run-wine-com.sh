#!/usr/bin/env bash
# Runs the Wine serial tests of one scenario: the native controller simulator on a
# pseudo-terminal whose PC end the Wine prefix maps as COM5, the cross-built test under Wine,
# then the image the simulator received compared byte for byte with the one sent.
# usage: run-wine-com.sh SCENARIO TEST_EXE NATIVE_ZKF780A [simulator options...]
source "$(dirname "$0")/wine-com-lib.sh"
scenario=$1 exe=$2 cli=$3
shift 3
wine_com_need_native "$cli"
port=COM5
wine_com_native_sim $port "$cli" "$@"

ZKF_WINE_COM=$port ZKF_WINE_SCENARIO=$scenario ZKF_WINE_SENT="$(wine_path "$tmp")\\sent.rom" \
  wine "$exe" --gtest_filter='WineCom.*:WindowsComNames.*'

if [ -f "$tmp/sent.rom" ]; then
  wine_com_wait_gone "$sim" || true
  cat "$tmp/sim.log"
  cmp "$tmp/sent.rom" "$tmp/received.rom"
  echo "the simulator received the $(stat -c %s "$tmp/received.rom")-byte image byte for byte"
fi
