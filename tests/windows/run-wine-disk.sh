#!/usr/bin/env bash
# Runs the NT raw disk tests under Wine with drive X: mapped onto a volume image file and a disk
# image beside it. usage: run-wine-disk.sh TEST_EXE
set -euo pipefail
: "${WINEPREFIX:?the windows test preset sets WINEPREFIX}"
# A wineserver that outlives each test briefly, with its own diagnostics kept off the log.
wineserver -p10 >/dev/null 2>&1 || true
tmp=$(mktemp -d)
device="$WINEPREFIX/dosdevices/x::"
trap 'rm -f "$device"; rm -rf "$tmp"' EXIT
truncate -s $((4096 * 512)) "$tmp/vol.img"
truncate -s $((8192 * 512)) "$tmp/disk.img"
ln -sfn "$tmp/vol.img" "$device"
ZKF_WINE_DISK_DIR="Z:${tmp//\//\\}" WINEDEBUG=${WINEDEBUG:--all} wine "$1" --gtest_filter='AbsDiskNt*'
