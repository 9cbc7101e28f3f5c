#!/usr/bin/env bash
# Side-by-side INI comparison: the engine against inih (bare parse, the floor), SimpleIni,
# INIReader and Python's configparser, on the same generated files of about 1 MB and 10 MB.
#   bench/ini_compare.sh [BUILD_DIR] [RUNS]
set -euo pipefail
build=${1:-build}
runs=${2:-5}
here=$(cd "$(dirname "$0")" && pwd)
bin="$build/bench/ini_compare"
[ -x "$bin" ] || { echo "build $bin first (needs libinih-dev, libsimpleini-dev)"; exit 1; }
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# The engine's own write format: [section], key=value lines, an empty line after each section.
make_file() { # sections keys path
  python3 - "$@" <<'PY'
import sys
sections, keys, path = int(sys.argv[1]), int(sys.argv[2]), sys.argv[3]
with open(path, "wb") as f:
    for s in range(sections):
        f.write(b"[sec%05d]\r\n" % s)
        f.write(b"".join(b"key%05d=v%09d\r\n" % (k, s * keys + k) for k in range(keys)))
        f.write(b"\r\n")
PY
}

median() { sort -g | awk '{a[NR]=$1} END {print (NR%2) ? a[(NR+1)/2] : (a[NR/2]+a[NR/2+1])/2}'; }

for size in "100 500 1MB" "1000 500 10MB"; do
  set -- $size
  sections=$1 keys=$2 label=$3
  make_file "$sections" "$keys" "$work/base.ini"
  echo "== $label: $sections sections x $keys keys, $(stat -c %s "$work/base.ini") bytes, $runs runs, medians =="
  printf "%-13s %9s %9s %9s %9s %9s %9s %17s %9s\n" lib load_ms read_ms load+read absent_ms save_ms keys checksum peak_MB
  for lib in txini inih simpleini inireader configparser; do
    : > "$work/out"
    for _ in $(seq "$runs"); do
      cp "$work/base.ini" "$work/run.ini"
      if [ "$lib" = configparser ]; then
        python3 "$here/ini_configparser.py" "$work/run.ini" "$sections" "$keys" >> "$work/out"
      else
        "$bin" "$lib" "$work/run.ini" "$sections" "$keys" >> "$work/out"
      fi
    done
    col() { awk -v c="$1" '{print $c}' "$work/out" | median; }
    load=$(col 2) read=$(col 3)
    printf "%-13s %9.1f %9.1f %9.1f %9.1f %9.1f %9s %17s %9.1f\n" "$lib" "$load" "$read" \
      "$(echo "$load + $read" | bc -l)" "$(col 4)" "$(col 5)" "$(awk '{print $6}' "$work/out" | head -1)" \
      "$(awk '{print $7}' "$work/out" | head -1)" "$(echo "$(col 8) / 1024" | bc -l)"
  done | tee "$work/table"
  awk '{lr[$1]=$4; save[$1]=$6; mem[$1]=$9}
       END {
         printf "ratios: txini load+read / simpleini %.2f, / inireader %.2f, / inih bare %.2f; save / simpleini %.2f; peak / simpleini %.2f, / inireader %.2f\n",
           lr["txini"]/lr["simpleini"], lr["txini"]/lr["inireader"], lr["txini"]/lr["inih"],
           save["txini"]/save["simpleini"], mem["txini"]/mem["simpleini"], mem["txini"]/mem["inireader"]
       }' "$work/table"
done
