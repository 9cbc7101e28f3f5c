#!/usr/bin/env bash
# Process start to the main window's first paint, with the sample data, beside a plain Qt
# Widgets program whose QMainWindow holds three tabs and a 257 x 8 QTableWidget (both on the
# offscreen platform; both pay for Qt's font database). Target: the editor's CPU at most 1.25x.
#   bench/app_ui_startup.sh [BUILD_DIR] [RUNS]
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
build=${1:-build}
runs=${2:-30}
zkf="$build/bin/zkf780a"
editor="$build/bench/app_ui_startup"
table="$build/bench/qt_table_window"
for b in "$zkf" "$editor" "$table"; do [ -x "$b" ] || { echo "build $b first"; exit 1; }; done
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
export QT_QPA_PLATFORM=offscreen
"$zkf" sample-data "$work" --with-default-images >/dev/null 2>&1
# The editor's default pictures lie beside its executable: both probes run from the sample
# folder, which holds DefaultImage/, and start there as the editor starts in its working folder.
cp "$editor" "$table" "$work/"
cd "$work"
errors=$(./app_ui_startup 2>&1 >/dev/null | grep -v -e XDG_RUNTIME_DIR -e propagateSizeHints || true)
[ -z "$errors" ] || { echo "editor start-up reported: $errors"; exit 1; }
echo "process start to exit after the first paint"
python3 "$here/alternating_runs.py" "$runs" editor=./app_ui_startup table=./qt_table_window \
  --ratio editor/table:1.25
