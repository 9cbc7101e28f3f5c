#!/usr/bin/env bash
# Process start to the main window shown and idle, with the sample data, beside a minimal Qt
# Widgets program that shows one empty window (both on the offscreen platform).
#   bench/app_ui_startup.sh [BUILD_DIR] [RUNS]
set -euo pipefail
build=${1:-build}
runs=${2:-30}
zkf="$build/bin/zkf780a"
editor="$build/bench/app_ui_startup"
empty="$build/bench/qt_empty_window"
for b in "$zkf" "$editor" "$empty"; do [ -x "$b" ] || { echo "build $b first"; exit 1; }; done
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
export QT_QPA_PLATFORM=offscreen
"$zkf" sample-data "$work" --with-default-images >/dev/null 2>&1
# The editor's default pictures lie beside its executable: both probes run from the sample
# folder, which holds DefaultImage/, and start there as the editor starts in its working folder.
cp "$editor" "$empty" "$work/"
cd "$work"
errors=$(./app_ui_startup 2>&1 >/dev/null | grep -v -e XDG_RUNTIME_DIR -e propagateSizeHints || true)
[ -z "$errors" ] || { echo "editor start-up reported: $errors"; exit 1; }
hyperfine -N --warmup 3 --runs "$runs" --export-json "$work/times.json" \
  -n editor "$work/app_ui_startup" -n empty "$work/qt_empty_window" >/dev/null
python3 - "$work/times.json" <<'PY'
import json, sys
r = {x["command"]: x for x in json.load(open(sys.argv[1]))["results"]}
e, m = r["editor"]["median"] * 1000, r["empty"]["median"] * 1000
print(f"median editor window {e:.1f} ms, empty Qt window {m:.1f} ms, ratio {e / m:.2f}x")
PY
