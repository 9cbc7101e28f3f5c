#!/usr/bin/env bash
# A full 458,752-byte image over a pseudo-terminal pair, side by side:
#   ours: zkf780a upload to zkf780a simulate-controller (68-byte frames, 64 data bytes each)
#   sx:   lrzsz's sx to rx (XMODEM with CRC, 128-byte blocks), rx behind socat's socketpair,
#         since rx directly on a pseudo-terminal flushes its own final ACK
# Prints the median of ROUNDS runs of each, the time per block round trip and the ratio.
#   bench/link_vs_sx.sh ZKF780A_BINARY [ROUNDS]
set -euo pipefail
zkf=$(realpath "${1:?usage: link_vs_sx.sh ZKF780A_BINARY [ROUNDS]}")
rounds=${2:-5}
for tool in sx rx socat; do
  command -v $tool >/dev/null || { echo "link_vs_sx: $tool missing (Debian packages lrzsz, socat)" >&2; exit 1; }
done

work=$(mktemp -d)
trap 'kill $(jobs -p) 2>/dev/null || true; rm -rf "$work"' EXIT
cd "$work"
head -c 458752 /dev/urandom > image.rom
now_ms() { echo $(( $(date +%s%N) / 1000000 )); }
median() { sort -n | awk '{a[NR]=$1} END {print a[int((NR+1)/2)]}'; }

ours=() ; ours_wall=()
for _ in $(seq "$rounds"); do
  rm -f ctrl got.rom
  "$zkf" simulate-controller --pty ./ctrl -o got.rom --sessions 1 --ready-interval 20 >sim.log &
  for _ in $(seq 100); do [[ -L ctrl ]] && break; sleep 0.02; done
  t0=$(now_ms)
  line=$("$zkf" upload image.rom --force --port ./ctrl --msg 2>/dev/null | tail -n 1)
  t1=$(now_ms)
  wait
  cmp -s image.rom got.rom || { echo "link_vs_sx: our upload arrived damaged" >&2; exit 1; }
  ours+=("$(echo "$line" | sed -n 's/.* = \([0-9]*\) ms/\1/p')")
  ours_wall+=($((t1 - t0)))
done

sx_ms=()
for _ in $(seq "$rounds"); do
  rm -f ptyB out.bin
  socat PTY,link=ptyB,raw,echo=0 EXEC:"rx -c out.bin" 2>/dev/null &
  for _ in $(seq 100); do [[ -L ptyB ]] && break; sleep 0.02; done
  t0=$(now_ms)
  sx -q image.rom <ptyB >ptyB 2>/dev/null
  t1=$(now_ms)
  wait
  cmp -s image.rom out.bin || { echo "link_vs_sx: sx transfer arrived damaged" >&2; exit 1; }
  sx_ms+=($((t1 - t0)))
done

o=$(printf '%s\n' "${ours[@]}" | median)
ow=$(printf '%s\n' "${ours_wall[@]}" | median)
s=$(printf '%s\n' "${sx_ms[@]}" | median)
echo "ours (7168 frames of 64 bytes, 'C' to final ACK): ${o} ms, $(echo "scale=1; $o*1000/7168" | bc) us per frame round trip (whole command ${ow} ms)"
echo "sx   (3584 blocks of 128 bytes):                  ${s} ms, $(echo "scale=1; $s*1000/3584" | bc) us per block round trip"
echo "ratio sx / ours: $(echo "scale=2; $s/$o" | bc)"
