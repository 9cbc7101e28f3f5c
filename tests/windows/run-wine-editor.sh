#!/usr/bin/env bash
# The editor's window under Wine as a Windows user works with it (WineEditorTest.cpp): a working
# folder made by zkf780a.exe sample-data under C:\ with a name outside the ANSI code page, the
# Linux build of the same folder as the reference image, and the Windows controller simulator on
# COM5 of a socat pseudo-terminal pair whose other end the editor opens as COM6. The image the
# simulator received must equal the one the editor built.
# usage: run-wine-editor.sh WIN_TEST_EXE WIN_ZKF780A NATIVE_ZKF780A
source "$(dirname "$0")/wine-com-lib.sh"
test_exe=$1 exe=$2 cli=$3
wine_com_need_native "$cli"
# Offscreen, the Windows Qt reads its fonts only from QT_QPA_FONTDIR; Wine passes WINEQT_* on
# without the WINE prefix.
export WINEQT_QPA_FONTDIR='Z:\usr\share\fonts\truetype\dejavu'

# C:\zkf-editor-<pid> is a link into the scratch folder, so the clean-up takes both.
drive_c="$WINEPREFIX/drive_c/zkf-editor-$$"
ln -s "$tmp" "$drive_c"
wine_com_links+=("$drive_c")
work_unix="$tmp/Lift Pläne"
work_win="C:\\zkf-editor-$$\\Lift Pläne"
wine "$exe" sample-data "$work_win" --with-default-images >"$tmp/sample.log" 2>&1 ||
  { cat "$tmp/sample.log"; exit 1; }
[ -f "$work_unix/demo.zkf" ] || { echo "no demo.zkf in $work_unix"; ls -la "$tmp"; exit 1; }
"$cli" build "$work_unix/demo.zkf" -C "$work_unix" --program-dir "$work_unix" \
  -o "$tmp/linux.rom" >"$tmp/linux-build.log" || { cat "$tmp/linux-build.log"; exit 1; }

wine_com_pair COM5 COM6
wine_com_spawn "$tmp/sim.log" wine "$exe" simulate-controller --port COM5 \
  -o "$(wine_path "$tmp/received.rom")"
wine_com_wait_for "$tmp/sim.log" "VRC-780A simulator on"

status=0
ZKF_WINE_WORK="$work_win" ZKF_WINE_REFERENCE="$(wine_path "$tmp/linux.rom")" ZKF_WINE_COM=6 \
  wine "$test_exe" || status=$?
cat "$tmp/sim.log"
[ "$status" -eq 0 ] || exit "$status"
cmp "$work_unix/DEMO.ROM" "$tmp/received.rom"
echo "the simulator received the editor's $(stat -c %s "$tmp/received.rom")-byte image byte for byte"
