#!/usr/bin/env bash
# Side-by-side INI comparison: the engine against inih (bare parse, the floor), SimpleIni
# (case-sensitive like the engine, and its case-blind default) and INIReader, on generated files.
#   bench/ini_compare.sh [BUILD_DIR] [ROUNDS] [SETS]
# SETS is a list of label:sections:keys (default: 1MB, 10MB, 100MB files, one section of
# 80,000 keys and 100,000 sections of one key each). LIBS in the environment picks the
# libraries; for a million one-key sections (35 MB) on the engine alone:
#   LIBS=txini bench/ini_compare.sh build 3 1M-sections:1000000:1
# Fairness: the libraries run interleaved (the order rotates every round), in section order and in
# a scattered order, each in a fresh process on a fresh copy of the file; CPU and wall time are
# both kept; every run's key count and order-independent checksum must match; the ratios are taken
# round by round and shown as min / median / max.
set -euo pipefail
build=${1:-build}
rounds=${2:-5}
sets=${3:-"1MB:100:500 10MB:1000:500 100MB:10000:500 80k-keys:1:80000 100k-sections:100000:1"}
libs=(${LIBS:-txini inih simpleini_cs simpleini inireader})
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

results="$work/results"
: > "$results"
for set in $sets; do
  IFS=: read -r label sections keys <<< "$set"
  make_file "$sections" "$keys" "$work/base.ini"
  echo "running $label: $sections sections x $keys keys, $(stat -c %s "$work/base.ini") bytes, $rounds rounds" >&2
  for round in $(seq "$rounds"); do
    n=${#libs[@]}
    for order in seq shuf; do
      for i in $(seq 0 $((n - 1))); do
        lib=${libs[$(((i + round) % n))]}
        cp "$work/base.ini" "$work/run.ini"
        echo "$label $sections $keys $round $("$bin" "$lib" "$work/run.ini" "$sections" "$keys" "$order")" >> "$results"
      done
    done
  done
done

python3 - "$results" <<'PY'
import statistics, sys
from collections import defaultdict
rows = [l.split() for l in open(sys.argv[1])]
# label sections keys round lib order load_cpu load_wall read_cpu read_wall save_cpu save_wall keys checksum peak_load peak
runs = defaultdict(dict)  # (label, order) -> {(round, lib): fields}
meta, bad = {}, 0
for r in rows:
    label, sections, keys, rnd, lib, order = r[0], int(r[1]), int(r[2]), r[3], r[4], r[5]
    v = dict(zip("load_cpu load_wall read_cpu read_wall save_cpu save_wall".split(), map(float, r[6:12])))
    v.update(keys=int(r[12]), sum=r[13], peak_load=int(r[14]) / 1024, peak=int(r[15]) / 1024)
    v["lr_cpu"], v["lr_wall"] = v["load_cpu"] + v["read_cpu"], v["load_wall"] + v["read_wall"]
    runs[(label, order)][(rnd, lib)] = v
    expected = meta.setdefault(label, (sections * keys, r[13]))
    if (v["keys"], v["sum"]) != expected:
        bad += 1
        print(f"MISMATCH {label} {order} round {rnd} {lib}: keys {v['keys']} checksum {v['sum']}, expected {expected[0]} {expected[1]}")

def mmm(xs):
    xs = [x for x in xs if x is not None]
    return f"{min(xs):8.2f} {statistics.median(xs):8.2f} {max(xs):8.2f}" if xs else f"{'-':>8} {'-':>8} {'-':>8}"

def ratio(data, a, b, fa, fb=None):
    out = []
    for (rnd, lib), v in data.items():
        if lib == a and (rnd, b) in data:
            w = data[(rnd, b)][fb or fa]
            if v[fa] >= 0 and w > 0:
                out.append(v[fa] / w)
    return out

for (label, order), data in runs.items():
    libs = sorted({lib for _, lib in data}, key=lambda l: list(data).index(next(k for k in data if k[1] == l)))
    print(f"\n== {label} ({meta[label][0]} keys), {order} order: medians over rounds, ms and MB ==")
    print(f"{'lib':13} {'load_cpu':>9} {'read_cpu':>9} {'l+r_cpu':>9} {'l+r_wall':>9} {'save_cpu':>9} {'peak_load':>9} {'peak':>9}")
    for lib in libs:
        vs = [v for (_, l), v in data.items() if l == lib]
        med = lambda f: statistics.median(v[f] for v in vs)
        print(f"{lib:13} {med('load_cpu'):9.1f} {med('read_cpu'):9.1f} {med('lr_cpu'):9.1f} {med('lr_wall'):9.1f} "
              f"{med('save_cpu'):9.1f} {med('peak_load'):9.1f} {med('peak'):9.1f}")
    print(f"{'ratio (per round)':44} {'min':>8} {'median':>8} {'max':>8}")
    for name, a, b, fa, fb in [
        ("txini / simpleini_cs  load+read cpu", "txini", "simpleini_cs", "lr_cpu", None),
        ("txini / simpleini_cs  load+read wall", "txini", "simpleini_cs", "lr_wall", None),
        ("txini / simpleini     load+read cpu", "txini", "simpleini", "lr_cpu", None),
        ("txini / inireader     load+read cpu", "txini", "inireader", "lr_cpu", None),
        ("txini load+read / inih bare parse cpu", "txini", "inih", "lr_cpu", "load_cpu"),
        ("txini / simpleini_cs  save cpu", "txini", "simpleini_cs", "save_cpu", None),
        ("txini / simpleini_cs  peak after load", "txini", "simpleini_cs", "peak_load", None),
        ("txini / simpleini_cs  peak", "txini", "simpleini_cs", "peak", None),
    ]:
        xs = ratio(data, a, b, fa, fb)
        if xs:
            print(f"{name:44} {mmm(xs)}")
if bad:
    sys.exit(f"{bad} runs gave a wrong key count or checksum")
PY
