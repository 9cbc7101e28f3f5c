#!/usr/bin/env bash
# MAKE ROM killed with SIGKILL at random moments: the ROM image and its .BIN side file must
# never be left as a pair that does not belong together.
#   bench/makerom_kill_soak.sh ZKF780A_BINARY [N]
# Two projects that differ in their code tables are built in turn into the same DEMO.ROM and
# DEMO.BIN (the demo's model writes the side file). Each of the N builds is killed after a
# random delay between 0 and 1.2 times the length of a whole build. After each kill the pair
# must be one of: both files from one build (inspect: every check holds, the side file
# belongs), or an image without its side file. A torn image, or a side file beside an image
# it does not belong to, fails the soak.
set -uo pipefail
zkf=$(realpath "${1:?usage: makerom_kill_soak.sh ZKF780A_BINARY [N]}")
n=${2:-300}
work=$(mktemp -d)
trap 'kill -9 $(jobs -p) 2>/dev/null; rm -rf "$work"' EXIT
cd "$work"

"$zkf" sample-data . --with-default-images >/dev/null || {
  echo "sample-data failed" >&2
  exit 1
}
# The second project: another default code table, so that its code-table block, and so its
# side file, differ from the first one's.
sed -e 's/^DEFCODETABLE=[0-9]*/DEFCODETABLE=4/' demo.zkf >other.zkf
build() { "$zkf" build "$1" -C . --program-dir . >/dev/null 2>&1; }

# A whole build first: it gives the pair something to replace and the time a build takes.
start=$(date +%s%N)
build demo.zkf || {
  echo "the first build failed" >&2
  exit 1
}
build_us=$((($(date +%s%N) - start) / 1000))
build other.zkf && cp DEMO.BIN other.BIN && build demo.zkf || exit 1
cmp -s DEMO.BIN other.BIN && {
  echo "the two projects give the same side file" >&2
  exit 1
}

declare -A seen=([pair]=0 [image-alone]=0 [mismatch]=0 [torn]=0)
for i in $(seq "$n"); do
  project=demo.zkf
  ((i % 2)) && project=other.zkf
  delay_us=$((RANDOM * 32768 + RANDOM))
  delay_us=$((delay_us % (build_us * 12 / 10 + 1)))
  "$zkf" build "$project" -C . --program-dir . >/dev/null 2>&1 &
  pid=$!
  sleep "$(printf '%d.%06d' $((delay_us / 1000000)) $((delay_us % 1000000)))"
  kill -9 "$pid" 2>/dev/null
  wait "$pid" 2>/dev/null
  if ! report=$("$zkf" inspect DEMO.ROM 2>&1); then
    if grep -q "FAIL  side file" <<<"$report" && ! grep -v "FAIL  side file" <<<"$report" | grep -q FAIL; then
      outcome=mismatch
    else
      outcome=torn
    fi
  elif [[ -e DEMO.BIN ]]; then
    outcome=pair
  else
    outcome=image-alone
  fi
  seen[$outcome]=$((seen[$outcome] + 1))
  if [[ $outcome == mismatch || $outcome == torn ]]; then
    echo "run $i ($project, killed after ${delay_us} us): $outcome" >&2
    grep FAIL <<<"$report" >&2
  fi
  # A pair left without its side file is made whole again for the next round.
  [[ -e DEMO.BIN ]] || build demo.zkf || exit 1
done

echo "builds killed: $n (a whole build takes ${build_us} us)"
for k in pair image-alone mismatch torn; do printf '  %-12s %d\n' "$k" "${seen[$k]}"; done
leftovers=$(find . -maxdepth 1 -name '*.tmp*' | wc -l)
echo "  temporaries left beside the pair: $leftovers"
((seen[mismatch] == 0 && seen[torn] == 0))
