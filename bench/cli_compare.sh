#!/usr/bin/env bash
# Whole-command timings of the command-line tool beside their floors, run in turn:
# - `zkf780a build` of the demo project beside rom_floor, a program that only reads every input
#   file of the build and writes 458,752 bytes (target: at most 2x);
# - `zkf780a --help` beside help_floor, a plain C++ program printing a usage text (target:
#   within 1.5x).
#   bench/cli_compare.sh [BUILD_DIR] [RUNS]
set -euo pipefail
build=${1:-build}
runs=${2:-30}
zkf="$build/bin/zkf780a"
floor="$build/bench/rom_floor"
help_floor="$build/bench/help_floor"
for b in "$zkf" "$floor" "$help_floor"; do [ -x "$b" ] || { echo "build $b first"; exit 1; }; done
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
QT_QPA_PLATFORM=offscreen "$zkf" sample-data "$work" --with-default-images >/dev/null 2>&1

# Every file the build reads: settings, library, project, the pictures the project names and
# the floor pictures of its style folder.
style=$(sed -n 's/^DEF_FL=//p' "$work/demo.zkf" | tr -d '\r')
mapfile -t pictures < <(sed -n 's/^\(TITLEFILENAME_.\|LeftState_[0-9]_.\)=//p' "$work/demo.zkf" \
  | tr -d '\r' | sed '/^$/d')
inputs=("$work/KRVZKF780AS1.INI" "$work/VRC-780AS1V2.GLB" "$work/demo.zkf" "${pictures[@]}"
        "$work"/DefaultImage/UserDefine/Floor/Style"$style"/*)
echo "inputs: ${#inputs[@]} files, $(cat "${inputs[@]}" | wc -c) bytes"

build_cmd="$zkf build $work/demo.zkf -C $work --program-dir $work -o $work/out.ROM"
floor_cmd="$floor $work/floor.ROM ${inputs[*]}"
# The four commands run in turn, round by round, so drift of a shared machine hits all alike;
# each run's wall time and CPU time (user + system of the finished process) are kept, and the
# ratios are taken per round.
python3 - "$runs" "$build_cmd" "$floor_cmd" "$zkf --help" "$help_floor" <<'PY'
import os, statistics, subprocess, sys, time
runs = int(sys.argv[1])
commands = dict(zip(("build", "floor", "help", "help_floor"), (c.split() for c in sys.argv[2:])))
wall = {k: [] for k in commands}
cpu = {k: [] for k in commands}
for i in range(runs + 3):  # the first three rounds warm the caches and are not counted
    for name, argv in commands.items():
        t0 = time.perf_counter()
        proc = subprocess.Popen(argv, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        _, status, usage = os.wait4(proc.pid, 0)
        t1 = time.perf_counter()
        if os.waitstatus_to_exitcode(status) != 0:
            sys.exit(f"{name} failed with status {status}")
        if i >= 3:
            wall[name].append((t1 - t0) * 1000)
            cpu[name].append((usage.ru_utime + usage.ru_stime) * 1000)
def mmm(xs, digits=2):
    return " ".join(f"{x:7.{digits}f}" for x in (min(xs), statistics.median(xs), max(xs)))
print(f"{runs} alternating rounds (min median max)")
for name in commands:
    print(f"{name:10} wall ms {mmm(wall[name])}   cpu ms {mmm(cpu[name])}")
for a, b, target in (("build", "floor", 2.0), ("help", "help_floor", 1.5)):
    for what, d in (("cpu", cpu), ("wall", wall)):
        r = [x / y for x, y in zip(d[a], d[b]) if y > 0]
        print(f"ratio {a} / {b} ({what}, target {target}x): {mmm(r)}")
PY
peak() { /usr/bin/time -f %M "$@" 2>&1 >/dev/null | tail -1; }
echo "peak RSS: build $(peak $build_cmd) KiB, floor $(peak $floor_cmd) KiB"
echo "image: $(stat -c %s "$work/out.ROM") bytes, floor output: $(stat -c %s "$work/floor.ROM") bytes"
echo "libraries loaded by build: $(ldd "$zkf" | wc -l), by the floor: $(ldd "$floor" | wc -l)"
