#!/usr/bin/env bash
# A full 458,752-byte image over pseudo-terminals, side by side, with the same set-up on both
# sides: the sender works on a pseudo-terminal that socat creates, and socat relays to the
# receiver.
#   ours: zkf780a upload to zkf780a simulate-controller (68-byte frames, 64 data bytes each);
#         socat joins the upload's pseudo-terminal to the simulator's.
#   sx:   lrzsz's sx to rx (XMODEM with CRC, 128-byte blocks); socat joins sx's
#         pseudo-terminal to rx's standard input and output (rx on a pseudo-terminal of its own
#         discards its final ACK, and sx then never ends).
# Our time per frame is the upload's own 'C'-to-final-ACK time over 7168 frames. sx's time per
# block is the slope between a 896-block and a 3584-block file, so process start and rx's fixed
# end-of-transmission wait drop out. The runs alternate round by round; the ratio is taken per
# round and shown as min / median / max.
# CPU time (user + system of the sending process and all its threads, from its rusage) is taken
# the same way: ours over the whole upload process divided by 7168 frames (so our start-up is
# counted against us), sx's as the slope between the two files and, less noisy, as its whole
# 3584-block run divided by 3584. Context switches come from the
# same rusage; system calls per frame from one extra run of each side under strace -f -c
# (STRACE=0 skips it), since strace itself slows every call.
# When built, bench/upload_floor (the same frames from one thread that blocks in read(), no
# hand-off) runs on our set-up too: what the pseudo-terminals and relays cost by themselves.
#   bench/link_vs_sx.sh ZKF780A_BINARY [ROUNDS]
set -euo pipefail
zkf=$(realpath "${1:?usage: link_vs_sx.sh ZKF780A_BINARY [ROUNDS]}")
floor=$(dirname "$zkf")/../bench/upload_floor
rounds=${2:-5}
for tool in sx rx socat python3; do
  command -v $tool >/dev/null || { echo "link_vs_sx: $tool missing (Debian packages lrzsz, socat)" >&2; exit 1; }
done

work=$(mktemp -d)
trap 'kill $(jobs -p) 2>/dev/null || true; rm -rf "$work"' EXIT
cd "$work"
head -c 458752 /dev/urandom > image.rom
head -c 114688 image.rom > quarter.rom
now_us() { echo $(( $(date +%s%N) / 1000 )); }
# Runs a command and writes "cpu_us voluntary_switches involuntary_switches" of it to $usage.
usage=$work/usage
measured() {
  python3 -c '
import os, subprocess, sys
p = subprocess.Popen(sys.argv[2:])
_, status, ru = os.wait4(p.pid, 0)
with open(sys.argv[1], "w") as f:
    f.write(f"{round((ru.ru_utime + ru.ru_stime) * 1e6)} {ru.ru_nvcsw} {ru.ru_nivcsw}\n")
sys.exit(os.waitstatus_to_exitcode(status))' "$usage" "$@"
}
wait_links() { for _ in $(seq 250); do [[ -L $1 && ( -z ${2:-} || -L $2 ) ]] && return; sleep 0.02; done; }

# Runs a sender (the command in the arguments) against our simulator over the relayed
# pseudo-terminals, its standard output in sender.log; stops the script when the image did not
# arrive whole.
simulated_upload() {
  rm -f pc dev got.rom
  socat PTY,link=pc,raw,echo=0 PTY,link=dev,raw,echo=0 2>/dev/null &
  local relay=$!
  wait_links pc dev
  "$zkf" simulate-controller --port ./dev -o got.rom --sessions 1 --ready-interval 20 >sim.log &
  local sim=$!
  # To a file, as sx -q writes nothing: a pipe reader would be one more process woken per frame.
  "$@" >sender.log 2>/dev/null
  wait $sim
  kill $relay 2>/dev/null; wait $relay 2>/dev/null || true
  cmp -s image.rom got.rom || { echo "link_vs_sx: the upload of $2 arrived damaged" >&2; exit 1; }
}

ours_frame() { # prints "wall_us cpu_us csw" per frame round trip
  simulated_upload ${WRAP:-measured} "$zkf" upload image.rom --force --port ./pc --msg
  local line ms
  line=$(tail -n 1 sender.log)
  ms=$(echo "$line" | sed -n 's/.* = \([0-9]*\) ms/\1/p')
  [ -n "$ms" ] || { echo "link_vs_sx: no time in the upload's report: $line" >&2; exit 1; }
  read -r cpu vcsw icsw < "$usage"
  echo "$((ms * 1000 / 7168)) $((cpu / 7168)) $(( (vcsw + icsw) * 100 / 7168 ))"
}

# The single-threaded floor (bench/upload_floor) on the same set-up: prints "wall_us cpu_us" per
# frame, or nothing when it was not built.
floor_frame() {
  [ -x "$floor" ] || return 0
  simulated_upload measured "$floor" ./pc image.rom
  local ms
  ms=$(sed -n 's/^\([0-9]*\) ms$/\1/p' sender.log)
  [ -n "$ms" ] || { echo "link_vs_sx: no time in the floor's report" >&2; exit 1; }
  read -r cpu _ < "$usage"
  echo "$((ms * 1000 / 7168)) $((cpu / 7168))"
}

sx_us() { # FILE: prints the whole transfer's "wall_us cpu_us context_switches"
  rm -f ptyB out.bin
  socat PTY,link=ptyB,raw,echo=0 EXEC:"rx -c out.bin" 2>/dev/null &
  wait_links ptyB
  local t0 t1
  t0=$(now_us)
  ${WRAP:-measured} sx -q "$1" <ptyB >ptyB 2>/dev/null
  t1=$(now_us)
  wait
  cmp -s "$1" out.bin || { echo "link_vs_sx: sx transfer arrived damaged" >&2; exit 1; }
  read -r cpu vcsw icsw < "$usage"
  echo "$((t1 - t0)) $cpu $((vcsw + icsw))"
}

: > rounds.txt
for round in $(seq "$rounds"); do
  if ((round % 2)); then
    o=$(ours_frame); f=$(floor_frame); small=$(sx_us quarter.rom); big=$(sx_us image.rom)
  else
    big=$(sx_us image.rom); small=$(sx_us quarter.rom); f=$(floor_frame); o=$(ours_frame)
  fi
  read -r ow oc ocs <<< "$o"; read -r bw bc bcs <<< "$big"; read -r sw sc scs <<< "$small"
  read -r fw fc <<< "${f:-0 0}"
  echo "$ow $(((bw - sw) / (3584 - 896))) $oc $(((bc - sc) * 10 / (3584 - 896))) $ocs $(((bcs - scs) * 100 / (3584 - 896))) $((bc * 10 / 3584)) $fw $fc" >> rounds.txt
done

# System calls per frame / per block: one run of each side under strace (it slows every call,
# so these runs are not timed).
calls() { awk '$NF == "total" { print $4 }' "$1"; }
: > syscalls.txt
if [ "${STRACE:-1}" = 1 ] && command -v strace >/dev/null; then
  WRAP="strace -f -c -o ours.strace" ours_frame >/dev/null
  WRAP="strace -f -c -o big.strace" sx_us image.rom >/dev/null
  WRAP="strace -f -c -o small.strace" sx_us quarter.rom >/dev/null
  echo "$(calls ours.strace) $(calls big.strace) $(calls small.strace)" > syscalls.txt
fi

python3 - rounds.txt syscalls.txt <<'PY'
import statistics, sys
rows = [tuple(map(int, l.split())) for l in open(sys.argv[1])]
calls = open(sys.argv[2]).read().split()
def mmm(xs, digits=1):
    return " ".join(f"{x:8.{digits}f}" for x in (min(xs), statistics.median(xs), max(xs)))
ours, sx = [r[0] for r in rows], [r[1] for r in rows]
ocpu, sxcpu = [r[2] for r in rows], [r[3] / 10 for r in rows]
ocsw, sxcsw = [r[4] / 100 for r in rows], [r[5] / 100 for r in rows]
sxwhole = [r[6] / 10 for r in rows]
print(f"{len(rows)} alternating rounds{'':28} min   median      max")
print(f"ours: us per 64-byte frame round trip        {mmm(ours)}")
print(f"sx:   us per 128-byte block (slope 896->3584) {mmm(sx)}")
print(f"ratio wall ours per frame / sx per block      {mmm([o / s for o, s in zip(ours, sx) if s > 0], 2)}")
print(f"ours: cpu us per frame (whole process / 7168) {mmm(ocpu)}")
print(f"sx:   cpu us per block (slope)                {mmm(sxcpu)}")
print(f"ratio cpu ours per frame / sx per block       {mmm([o / s for o, s in zip(ocpu, sxcpu) if s > 0], 2)}")
# The slope of two small CPU times is noisy on a busy machine; the whole run counts sx's start-up
# against it as ours is counted against us.
print(f"sx:   cpu us per block (whole 3584-block run) {mmm(sxwhole)}")
print(f"ratio cpu ours / sx (both whole runs)         {mmm([o / s for o, s in zip(ocpu, sxwhole) if s > 0], 2)}")
floor, fcpu = [r[7] for r in rows], [r[8] for r in rows]
if all(floor):
    # What one thread with no hand-off gets from the same set-up: the set-up's own share.
    print(f"floor: us per frame, one thread (upload_floor) {mmm(floor)}")
    print(f"floor: cpu us per frame                       {mmm(fcpu)}")
    print(f"ratio wall ours / floor                       {mmm([o / f for o, f in zip(ours, floor)], 2)}")
    print(f"ratio wall floor per frame / sx per block     {mmm([f / s for f, s in zip(floor, sx) if s > 0], 2)}")
print(f"ours: context switches per frame              {mmm(ocsw, 2)}")
print(f"sx:   context switches per block (slope)      {mmm(sxcsw, 2)}")
if len(calls) == 3:
    print(f"system calls (one strace -f run): ours {int(calls[0]) / 7168:.2f} per frame, "
          f"sx {(int(calls[1]) - int(calls[2])) / (3584 - 896):.2f} per block")
PY
