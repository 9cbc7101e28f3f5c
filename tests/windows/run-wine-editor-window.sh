#!/usr/bin/env bash
# The editor with Qt's windows platform, once: started under Xvfb, its main window must appear
# with the program's caption. usage: run-wine-editor-window.sh WIN_EDITOR
set -euo pipefail
: "${WINEPREFIX:?the windows test preset sets WINEPREFIX}"
export WINEDEBUG=${WINEDEBUG:--all}
editor=$1
command -v xvfb-run >/dev/null && command -v xwininfo >/dev/null ||
  { echo "xvfb-run or xwininfo missing (packages xvfb, x11-utils)"; exit 77; }
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
# Started in a ready working folder, so that no start-up message box comes first.
wine "$(dirname "$editor")/zkf780a.exe" sample-data "Z:${tmp//\//\\}\\work" >"$tmp/sample.log" 2>&1 ||
  { cat "$tmp/sample.log"; exit 1; }
# Settles the prefix's server first: a windows-platform run right after runs without a display
# can hang on it.
wineserver -w || true
cat >"$tmp/run.sh" <<SCRIPT
cd "$tmp/work"
wine "$editor" >"$tmp/editor.log" 2>&1 &
pid=\$!
for _ in \$(seq 600); do
  if xwininfo -root -tree 2>/dev/null | grep -q 'Lift LCD Editor'; then
    xwininfo -root -tree | grep 'Lift LCD Editor' | head -1 >"$tmp/window"
    break
  fi
  sleep 0.1
done
kill \$pid 2>/dev/null || true
wineserver -k || true
SCRIPT
xvfb-run -a -s "-screen 0 1366x768x24" bash "$tmp/run.sh"
[ -s "$tmp/window" ] || { echo "no editor window appeared"; cat "$tmp/editor.log"; exit 1; }
echo "editor window: $(cat "$tmp/window")"
