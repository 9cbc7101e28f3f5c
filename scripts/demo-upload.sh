#!/usr/bin/env bash
# Uploads a ROM image to the simulated VRC-780A over a pseudo-terminal pair and checks that the
# controller received it byte for byte.
#   scripts/demo-upload.sh ZKF780A_BINARY ROMFILE
set -euo pipefail

zkf=${1:?usage: demo-upload.sh ZKF780A_BINARY ROMFILE}
rom=${2:?usage: demo-upload.sh ZKF780A_BINARY ROMFILE}
zkf=$(realpath "$zkf")
rom=$(realpath "$rom")

work=$(mktemp -d)
sim_pid=
cleanup() {
  if [[ -n $sim_pid ]]; then kill "$sim_pid" 2>/dev/null || true; wait "$sim_pid" 2>/dev/null || true; fi
  rm -rf "$work"
}
trap cleanup EXIT

# The controller: one transfer, the received image written to received.rom.
"$zkf" simulate-controller --pty "$work/ctrl" -o "$work/received.rom" --sessions 1 \
  >"$work/sim.log" 2>&1 &
sim_pid=$!
for _ in $(seq 100); do [[ -L $work/ctrl ]] && break; sleep 0.05; done
[[ -L $work/ctrl ]] || { echo "demo-upload: the simulator did not start" >&2; cat "$work/sim.log" >&2; exit 1; }

echo "== zkf780a upload $(basename "$rom") --port <simulated VRC-780A>"
timeout 150 "$zkf" upload "$rom" --port "$work/ctrl"
timeout 10 tail --pid="$sim_pid" -f /dev/null || true
wait "$sim_pid"
sim_pid=
cat "$work/sim.log"

size=$(stat -c %s "$rom")
# The controller receives whole 64-byte blocks; a shorter last block is padded with 0xFF.
if cmp -n "$size" "$rom" "$work/received.rom"; then
  echo "demo-upload: the controller received all $size bytes of $(basename "$rom") byte for byte"
else
  echo "demo-upload: the received image differs from $(basename "$rom")" >&2
  exit 1
fi
