#!/bin/sh
# Runs one libFuzzer target for a while. New inputs go to a scratch folder that is removed at
# the end, so no corpus grows in the repository or in the temporary folder; the seed corpus
# fuzz/corpus/TARGET is only read. Crashes are kept in FINDINGS (default fuzz-findings/TARGET).
# usage: scripts/fuzz.sh TARGET SECONDS [libFuzzer flags...]   (BUILD=build-fuzz by default)
set -eu
[ $# -ge 2 ] || { echo "usage: $0 TARGET SECONDS [libFuzzer flags...]" >&2; exit 2; }
target=$1
seconds=$2
shift 2
src=$(cd "$(dirname "$0")/.." && pwd)
build=${BUILD:-$src/build-fuzz}
findings=${FINDINGS:-$PWD/fuzz-findings/$target}
scratch=$(mktemp -d "${TMPDIR:-/tmp}/zkf-fuzz-$target.XXXXXX")
trap 'rm -rf "$scratch"' EXIT INT TERM
mkdir -p "$findings"
QT_QPA_PLATFORM=offscreen "$build/fuzz/$target" -max_total_time="$seconds" \
    -rss_limit_mb=2048 -timeout=30 -print_final_stats=1 -artifact_prefix="$findings/" "$@" \
    "$scratch" "$src/fuzz/corpus/$target"
