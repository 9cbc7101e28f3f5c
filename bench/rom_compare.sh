#!/usr/bin/env bash
# Whole-command timing of MAKE ROM on the demo project: `zkf780a build` beside the floor, a
# program that only reads every input file of the build and writes 458,752 bytes.
#   bench/rom_compare.sh [BUILD_DIR] [RUNS]
set -euo pipefail
build=${1:-build}
runs=${2:-30}
zkf="$build/bin/zkf780a"
floor="$build/bench/rom_floor"
for b in "$zkf" "$floor"; do [ -x "$b" ] || { echo "build $b first"; exit 1; }; done
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
  -n build "$build_cmd" -n floor "$floor_cmd" >/dev/null
python3 - "$work/times.json" <<'PY'
import json, sys
r = {x["command"]: x for x in json.load(open(sys.argv[1]))["results"]}
b, f = r["build"]["median"] * 1000, r["floor"]["median"] * 1000
print(f"median build {b:.2f} ms, floor {f:.2f} ms, ratio {b / f:.2f}x")
cpu = {k: (v["user"] + v["system"]) * 1000 for k, v in r.items()}
print(f"mean CPU (user+sys) build {cpu['build']:.2f} ms, floor {cpu['floor']:.2f} ms, "
      f"ratio {cpu['build'] / cpu['floor']:.2f}x")
PY
peak() { /usr/bin/time -f %M "$@" 2>&1 >/dev/null | tail -1; }
echo "peak RSS: build $(peak $build_cmd) KiB, floor $(peak $floor_cmd) KiB"
echo "image: $(stat -c %s "$work/out.ROM") bytes, floor output: $(stat -c %s "$work/floor.ROM") bytes"
