#!/usr/bin/env bash
# The Windows gateway simulator on a real COM port: a socat pseudo-terminal pair whose ends the
# Wine prefix maps as COM5 and COM6; the cross-built zkf780a-gatewaysim.exe serves COM5, counting
# its modules' inputs up, and the cross-built jknet-example.exe (the gateway component) connects
# over COM6 with the example topology, switches an output and sees the inputs change.
# usage: run-wine-gatewaysim.sh WIN_GATEWAYSIM WIN_JKNET_EXAMPLE TOPOLOGY_FILE
source "$(dirname "$0")/wine-com-lib.sh"
sim_exe=$1 host_exe=$2 topology=$3
wine_com_pair COM5 COM6

wine_com_spawn "$tmp/sim.log" wine "$sim_exe" --port COM5 --cycle-inputs 400 --seconds 60
sim=$spawned
wine_com_wait_for "$tmp/sim.log" "Gateway simulator on"

status=0
wine "$host_exe" --port COM6 --topology "$(wine_path "$topology")" --toggle 02:10:1 \
  --seconds 4 >"$tmp/host.log" 2>&1 || status=$?
echo "--- jknet-example.exe"
cat "$tmp/host.log"
echo "--- zkf780a-gatewaysim.exe"
head -24 "$tmp/sim.log"
[ "$status" -eq 0 ] || { echo "jknet-example.exe exited with $status"; exit 1; }
grep -q "^connected to the gateway on .*COM6 (R7=10 R9=10" "$tmp/host.log"
grep -q "^module 02:10 output 1 -> on" "$tmp/host.log"
grep -q "^module 80:01 inputs X=" "$tmp/host.log"
# The switched output as the simulator's module took it: a packet line from the host.
grep -q "^< >021002" "$tmp/sim.log"
echo "the gateway component talked to the Windows gateway simulator over COM6-COM5"
