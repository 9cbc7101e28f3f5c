#!/usr/bin/env bash
# Whole-command timings of the command-line tool beside their floors, run in turn:
# - `zkf780a build` of the demo project beside rom_floor, a program that only reads every input
#   file of the build and writes 458,752 bytes (target: at most 2x);
# - `zkf780a --help` beside help_floor, a plain C++ program printing a usage text (target:
#   within 1.5x).
#   bench/cli_compare.sh [BUILD_DIR] [RUNS]
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
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
python3 "$here/alternating_runs.py" "$runs" "build=$build_cmd" "floor=$floor_cmd" \
  "help=$zkf --help" "help_floor=$help_floor" --ratio build/floor:2.0 --ratio help/help_floor:1.5
peak() { /usr/bin/time -f %M "$@" 2>&1 >/dev/null | tail -1; }
echo "peak RSS: build $(peak $build_cmd) KiB, floor $(peak $floor_cmd) KiB"
echo "image: $(stat -c %s "$work/out.ROM") bytes, floor output: $(stat -c %s "$work/floor.ROM") bytes"
echo "libraries loaded by build: $(ldd "$zkf" | wc -l), by the floor: $(ldd "$floor" | wc -l)"
