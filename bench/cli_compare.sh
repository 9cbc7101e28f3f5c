#!/usr/bin/env bash
# Whole-command timings of the command-line tool beside their floors, in one hyperfine run:
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
hyperfine -N --warmup 3 --runs "$runs" --export-json "$work/times.json" \
  -n build "$build_cmd" -n floor "$floor_cmd" \
  -n help "$zkf --help" -n help_floor "$help_floor" >/dev/null
python3 - "$work/times.json" <<'PY'
import json, sys
r = {x["command"]: x for x in json.load(open(sys.argv[1]))["results"]}
for a, b, target in (("build", "floor", 2.0), ("help", "help_floor", 1.5)):
    ma, mb = r[a]["median"] * 1000, r[b]["median"] * 1000
    ca = (r[a]["user"] + r[a]["system"]) * 1000
    cb = (r[b]["user"] + r[b]["system"]) * 1000
    print(f"{a}: median {ma:.2f} ms, {b} {mb:.2f} ms, ratio {ma / mb:.2f}x (target {target}x); "
          f"mean CPU {ca:.2f} / {cb:.2f} ms, ratio {ca / cb:.2f}x")
PY
peak() { /usr/bin/time -f %M "$@" 2>&1 >/dev/null | tail -1; }
echo "peak RSS: build $(peak $build_cmd) KiB, floor $(peak $floor_cmd) KiB"
echo "image: $(stat -c %s "$work/out.ROM") bytes, floor output: $(stat -c %s "$work/floor.ROM") bytes"
echo "libraries loaded by build: $(ldd "$zkf" | wc -l), by the floor: $(ldd "$floor" | wc -l)"
