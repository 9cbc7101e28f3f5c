#!/usr/bin/env bash
# Soak of the upload over a pseudo-terminal against the controller simulator's faults.
#   bench/upload_soak.sh ZKF780A_BINARY [N] [M]
# Phase 1: N uploads of a full random 458,752-byte image, each with one set of faults in turn:
# NAKs, dropped replies, noise bytes (never 'C', ACK or NAK), late replies, the line closed
# mid-transfer, and all of them mixed. Each upload must end either with the finish line, exit
# 0 and the image received byte for byte, or with a failure line and a non-zero exit. A finish
# line for an incomplete image fails the soak.
# Phase 2: M uploads with noise bytes that equal 'C', ACK and NAK. Such noise cannot be told
# from a real reply, so the counts of each outcome are only reported.
set -uo pipefail
zkf=$(realpath "${1:?usage: upload_soak.sh ZKF780A_BINARY [N] [M]}")
n=${2:-100}
m=${3:-$n}
work=$(mktemp -d)
trap 'kill $(jobs -p) 2>/dev/null; rm -rf "$work"' EXIT
cd "$work"
head -c 458752 /dev/urandom >image.rom

# One upload against a simulator started with the given fault options; prints its outcome:
# complete, failed, short (a finish line without the whole image) or silent (no end line).
upload_once() {
  rm -f ctrl got.rom sim.log up.log
  "$zkf" simulate-controller --pty ./ctrl -o got.rom --ready-interval 20 --resend-after 100 \
    "$@" >sim.log 2>&1 &
  local sim=$!
  for _ in $(seq 250); do [[ -L ctrl ]] && break; sleep 0.02; done
  "$zkf" upload image.rom --force --port ./ctrl --timeout-ms 200 >up.log 2>&1
  local rc=$?
  if [[ $rc == 0 ]]; then
    for _ in $(seq 100); do grep -q "^written to" sim.log && break; sleep 0.02; done
  fi
  kill $sim 2>/dev/null
  wait $sim 2>/dev/null
  if grep -q "UpLoad ROM image finish" up.log; then
    [[ $rc == 0 ]] && cmp -s image.rom got.rom && echo complete || echo short
  elif [[ $rc != 0 ]] && grep -Eq "failed|abort|lost" up.log; then
    echo failed
  else
    echo silent
  fi
}

faults() {
  case $(($1 % 6)) in
  0) echo --nak-rate 0.02 ;;
  1) echo --drop-rate 0.005 ;;
  2) echo --noise 0.05 ;;
  3) echo --late-rate 0.005 --late-ms 150 ;;
  4) echo --close-after $((200 + RANDOM % 6800)) ;;
  5) echo --nak-rate 0.01 --drop-rate 0.002 --noise 0.02 --late-rate 0.002 --late-ms 150 ;;
  esac
}

declare -A one=([complete]=0 [failed]=0 [short]=0 [silent]=0)
declare -A two=([complete]=0 [failed]=0 [short]=0 [silent]=0)
start=$(date +%s)
for i in $(seq "$n"); do
  outcome=$(upload_once --seed "$i" $(faults "$i"))
  one[$outcome]=$((one[$outcome] + 1))
  [[ $outcome == complete || $outcome == failed ]] || echo "upload $i ($(faults "$i")): $outcome" >&2
done
for i in $(seq "$m"); do
  outcome=$(upload_once --seed "$i" --reply-noise 0.0005)
  two[$outcome]=$((two[$outcome] + 1))
done
echo "faults without reply bytes, $n uploads: complete ${one[complete]}, failed ${one[failed]}, finished short ${one[short]}, no end line ${one[silent]}"
echo "noise equal to 'C'/ACK/NAK, $m uploads: complete ${two[complete]}, failed ${two[failed]}, finished short ${two[short]}, no end line ${two[silent]}"
echo "($(($(date +%s) - start)) s)"
[[ ${one[short]} == 0 && ${one[silent]} == 0 && ${two[silent]} == 0 ]]
