#!/usr/bin/env bash
# Process start to the main window's first paint, with the sample data, beside a plain Qt
# Widgets program whose QMainWindow holds three tabs and a 257 x 8 QTableWidget (both on the
# offscreen platform; both pay for Qt's font database). Target: the editor's CPU at most 1.25x.
#   bench/app_ui_startup.sh [BUILD_DIR] [RUNS]
set -euo pipefail
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
# Alternate the two probes run by run, so drift of a shared machine hits both alike; each run's
# wall and CPU time come from the finished process.
python3 - "$runs" <<'PY'
import os, statistics, subprocess, sys, time
runs = int(sys.argv[1])
probes = {"editor": "./app_ui_startup", "table": "./qt_table_window"}
wall = {k: [] for k in probes}
cpu = {k: [] for k in probes}
for i in range(runs + 3):  # the first three rounds warm the caches and are not counted
    for name, path in probes.items():
        t0 = time.perf_counter()
        proc = subprocess.Popen([path], stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        _, status, usage = os.wait4(proc.pid, 0)
        t1 = time.perf_counter()
        if os.waitstatus_to_exitcode(status) != 0:
            sys.exit(f"{name} probe failed with status {status} (no first paint?)")
        if i >= 3:
            wall[name].append((t1 - t0) * 1000)
            cpu[name].append((usage.ru_utime + usage.ru_stime) * 1000)
def mmm(xs, digits=1):
    return " ".join(f"{x:7.{digits}f}" for x in (min(xs), statistics.median(xs), max(xs)))
print(f"{runs} alternating runs, process start to exit after the first paint (min median max)")
for name in probes:
    print(f"{name:7} wall ms {mmm(wall[name])}   cpu ms {mmm(cpu[name])}")
for what, d in (("wall", wall), ("cpu", cpu)):
    r = [a / b for a, b in zip(d["editor"], d["table"])]
    print(f"ratio editor / table window ({what}): {mmm(r, 2)}")
PY
