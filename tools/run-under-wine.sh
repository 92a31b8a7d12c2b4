#!/usr/bin/env bash
# run-under-wine.sh EXE [ARGS...]
#
# Runs a Windows program under Wine against simulated instruments on the
# ports listed in VJ_SIM_PORTS (default "1 2": com1 and com2), whose control
# ports it exports as VJ_SIM1_PORT, VJ_SIM2_PORT, ...; the other ports up to
# com5 cannot be opened. With VJ_NO_SIM=1 no port can be opened.
# The program runs in a fresh directory $VJ_BUILD_DIR/run/<name> (exported
# as VJ_WORKDIR), where its "memo.txt" lands; the script exits with the
# program's exit code. VJ_SIM: the simulator (default
# $VJ_BUILD_DIR/tools/sim/instrument_sim).
set -euo pipefail

. "$(dirname "$0")/wine-env.sh"

if [ $# -lt 1 ] || [ ! -f "$1" ]; then
    echo "usage: $0 EXE [ARGS...]  (no such program: ${1:-})" >&2
    exit 2
fi
exe=$(realpath "$1")
shift
sim=${VJ_SIM:-$VJ_BUILD_DIR/tools/sim/instrument_sim}

vj_wine_prefix

# The ports are shared by every run in this build directory: one at a time.
# Descriptor 8 holds the lock; no child may inherit it (8>&-), or a
# lingering wineserver would hold it too.
exec 8>"$VJ_SIM_DIR/run.lock"
flock 8

sim_pids=()
program_pid=
stop() {
    if [ -n "$program_pid" ]; then kill "$program_pid" 2>/dev/null || true; fi
    for pid in "${sim_pids[@]}"; do kill "$pid" 2>/dev/null || true; done
    wait 2>/dev/null || true
}
trap stop EXIT
trap 'exit 143' TERM
trap 'exit 130' INT

read -ra simulated <<< "${VJ_SIM_PORTS:-1 2}"
[ "${VJ_NO_SIM:-0}" = 1 ] && simulated=()
for n in 1 2 3 4 5; do
    rm -rf "$VJ_SIM_DIR/com$n" "$VJ_SIM_DIR/com$n.port"
    # Wine opens a port whose device is missing as a dead device; a
    # directory in its place makes the open fail, as for a missing port.
    [[ " ${simulated[*]} " == *" $n "* ]] || mkdir "$VJ_SIM_DIR/com$n"
done
for n in "${simulated[@]}"; do
    "$sim" --link "$VJ_SIM_DIR/com$n" --control-file "$VJ_SIM_DIR/com$n.port" </dev/null 8>&- &
    sim_pids+=($!)
done
for i in "${!simulated[@]}"; do
    n=${simulated[i]}
    for _ in $(seq 100); do
        [ -s "$VJ_SIM_DIR/com$n.port" ] && break
        kill -0 "${sim_pids[i]}" 2>/dev/null || break
        sleep 0.05
    done
    if [ ! -s "$VJ_SIM_DIR/com$n.port" ]; then
        echo "run-under-wine: the simulator for com$n did not start ($sim)" >&2
        exit 1
    fi
    export "VJ_SIM${n}_PORT=$(cat "$VJ_SIM_DIR/com$n.port")"
done

name=$(basename "$exe" .exe)
export VJ_WORKDIR=$VJ_BUILD_DIR/run/$name
rm -rf "$VJ_WORKDIR"
mkdir -p "$VJ_WORKDIR"
cd "$VJ_WORKDIR"

# A server that outlives the run keeps the next start fast; it leaves by
# itself after a minute without clients. Started here in a session of its
# own, it keeps no hold on this run's output or signals.
setsid wineserver -p60 </dev/null >/dev/null 2>&1 8>&- || true
# The program's output goes through a file: Wine's service processes,
# started by the first program of a server, inherit its descriptors and
# live on with the server, and a pipe held by them would keep whoever reads
# this run's output (ctest) waiting for the server to leave.
output=$VJ_WORKDIR/../$name.output
wine "$exe" "$@" <&0 >"$output" 2>&1 8>&- &
program_pid=$!
status=0
wait "$program_pid" || status=$?
program_pid=
cat "$output"
exit "$status"
