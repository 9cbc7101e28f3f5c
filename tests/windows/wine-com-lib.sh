# Set-up shared by the Wine serial tests (sourced by run-wine-*.sh): the checks, a scratch folder
# $tmp, COM ports of the test prefix mapped onto pseudo-terminals, and on exit the end of every
# process this test started and the removal of every port it mapped.
set -euo pipefail
: "${WINEPREFIX:?the windows test preset sets WINEPREFIX}"
export WINEDEBUG=${WINEDEBUG:--all}
# A wineserver that outlives each test briefly, with its own diagnostics kept off the log.
wineserver -p10 >/dev/null 2>&1 || true

tmp=$(mktemp -d)
wine_com_pids=()
wine_com_links=()
wine_com_cleanup() {
  local pid
  for pid in "${wine_com_pids[@]}"; do
    { kill "$pid" && wait "$pid"; } 2>/dev/null || true
  done
  rm -f "${wine_com_links[@]}"
  rm -rf "$tmp"
}
trap wine_com_cleanup EXIT

# The prefix's link that makes PORT (COM5) a device: $WINEPREFIX/dosdevices/com5.
wine_com_link() {
  echo "$WINEPREFIX/dosdevices/${1,,}"
}

# A Linux path as Wine's Z: drive names it.
wine_path() {
  echo "Z:${1//\//\\}"
}

# Runs a program in the background and has the clean-up end it: wine_com_spawn LOG COMMAND...
# sets $spawned to its process id.
wine_com_spawn() {
  local log=$1
  shift
  "$@" >"$log" 2>&1 &
  spawned=$!
  wine_com_pids+=("$spawned")
}

# Waits up to 10 s (or $2 tenths of a second) for a process to end.
wine_com_wait_gone() {
  for _ in $(seq "${2:-100}"); do kill -0 "$1" 2>/dev/null || return 0; sleep 0.1; done
  return 1
}

# Waits up to 30 s for TEXT in LOG: wine_com_wait_for LOG TEXT.
wine_com_wait_for() {
  for _ in $(seq 300); do grep -q "$2" "$1" && return 0; sleep 0.1; done
  echo "no \"$2\" in $1:"
  cat "$1"
  return 1
}

# Skips the test (exit 77) without the native zkf780a that runs the simulator: wine_com_need CLI.
wine_com_need_native() {
  if [ ! -x "$1" ]; then
    echo "no native zkf780a at $1: build the default preset first"
    exit 77
  fi
}

# The native controller simulator on a pseudo-terminal whose PC end the prefix maps as PORT, for
# one transfer; the image it receives goes to $tmp/received.rom, its log to $tmp/sim.log.
# wine_com_native_sim PORT NATIVE_ZKF780A [simulator options...] sets $sim.
wine_com_native_sim() {
  local link cli=$2
  link=$(wine_com_link "$1")
  shift 2
  wine_com_links+=("$link")
  wine_com_spawn "$tmp/sim.log" "$cli" simulate-controller --pty "$link" \
    -o "$tmp/received.rom" --sessions 1 "$@"
  sim=$spawned
  for _ in $(seq 100); do [ -L "$link" ] && break; sleep 0.1; done
  [ -L "$link" ] || { cat "$tmp/sim.log"; exit 1; }
}

# Two COM ports that are the two ends of one line: a socat pseudo-terminal pair, each end mapped
# in the prefix. wine_com_pair PORT_A PORT_B
wine_com_pair() {
  local port
  wine_com_spawn "$tmp/socat.log" socat "pty,raw,echo=0,link=$tmp/$1" "pty,raw,echo=0,link=$tmp/$2"
  for _ in $(seq 100); do [ -L "$tmp/$1" ] && [ -L "$tmp/$2" ] && break; sleep 0.1; done
  for port in "$1" "$2"; do
    [ -L "$tmp/$port" ] || { echo "socat made no pseudo-terminal pair:"; cat "$tmp/socat.log"; exit 1; }
    wine_com_links+=("$(wine_com_link "$port")")
    ln -sfn "$(readlink -f "$tmp/$port")" "$(wine_com_link "$port")"
  done
}

# After an upload to a simulator: shows the upload's last lines and the simulator's log, then
# fails unless the upload ended well and the simulator received the image as sent.
# wine_com_check_transfer STATUS UPLOAD_LINES WHO   ($tmp/upload.log, sim.log, sent.rom, received.rom)
wine_com_check_transfer() {
  grep -av "^\s*$" "$tmp/upload.log" | tail -"$2"
  cat "$tmp/sim.log"
  [ "$1" -eq 0 ] || { echo "zkf780a.exe upload exited with $1"; exit 1; }
  cmp "$tmp/sent.rom" "$tmp/received.rom"
  echo "$3 received the $(stat -c %s "$tmp/received.rom")-byte image byte for byte"
}

# The NAKs the simulator reports in its log, summed over its transfers.
wine_com_naks() {
  grep -o "NAKs [0-9]*" "$tmp/sim.log" | awk '{s += $2} END {print s + 0}'
}
