#!/usr/bin/env bash
# `zkf780a recover` and `zkf780a diff` of the demo image beside `zkf780a inspect` of the same
# image: CPU time (user + system) and wall time of each run, min/median/max.
# recover runs as the user runs it (with its check build) and with --no-check; diff of the image
# with itself (the quick same-bytes path) and with an image of a changed project.
#   bench/recover_diff.sh [BUILD_DIR] [RUNS]
set -euo pipefail
build=${1:-build}
runs=${2:-30}
zkf="$build/bin/zkf780a"
[ -x "$zkf" ] || { echo "build $zkf first"; exit 1; }
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
QT_QPA_PLATFORM=offscreen "$zkf" sample-data "$work/W" --with-default-images >/dev/null 2>&1
"$zkf" build "$work/W/demo.zkf" -C "$work/W" --program-dir "$work/W" -o "$work/X.ROM" >/dev/null
sed 's/^DEF_MSG=.*/DEF_MSG=3/; s/^OUTDATE=.*/OUTDATE=991231/' "$work/W/demo.zkf" >"$work/W/other.zkf"
"$zkf" build "$work/W/other.zkf" -C "$work/W" --program-dir "$work/W" -o "$work/Y.ROM" >/dev/null

python3 - "$zkf" "$work" "$runs" <<'PY'
import os, statistics, subprocess, sys, time
zkf, work, runs = sys.argv[1], sys.argv[2], int(sys.argv[3])
x, y, w = f"{work}/X.ROM", f"{work}/Y.ROM", f"{work}/W"
commands = [
    ("inspect", [zkf, "inspect", x]),
    ("recover", [zkf, "recover", x, "-o", f"{work}/F", "-C", w, "--program-dir", w, "--force"]),
    ("recover --no-check", [zkf, "recover", x, "-o", f"{work}/G", "-C", w, "--program-dir", w,
                            "--no-check", "--force"]),
    ("diff (same)", [zkf, "diff", x, x]),
    ("diff (differ)", [zkf, "diff", x, y]),
]
def run(argv):
    start = time.perf_counter()
    p = subprocess.Popen(argv, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    _, status, usage = os.wait4(p.pid, 0)
    wall = time.perf_counter() - start
    code = os.waitstatus_to_exitcode(status)
    return (usage.ru_utime + usage.ru_stime) * 1000, wall * 1000, code
def fmt(v):
    return f"{min(v):7.2f} {statistics.median(v):7.2f} {max(v):7.2f}"
print(f"{'command':20} {'CPU ms min/median/max':>24}   {'wall ms min/median/max':>24}  exit")
medians = {}
for name, argv in commands:
    run(argv)  # warm-up
    cpu, wall, codes = [], [], set()
    for _ in range(runs):
        c, t, code = run(argv)
        cpu.append(c); wall.append(t); codes.add(code)
    medians[name] = statistics.median(cpu)
    print(f"{name:20} {fmt(cpu):>24}   {fmt(wall):>24}  {sorted(codes)}")
base = medians["inspect"]
for name in medians:
    if name != "inspect":
        print(f"{name}: median CPU {medians[name] / base:.2f}x inspect" if base > 0 else name)
PY
