#!/usr/bin/env bash
# vornakctl status through the running program (session bus, the program's device worker) against vornakctl
# opening the simulated keyboard itself (bind the library, the start-up detection, seed the user folder): wall
# time of the whole command, each way, under Xvfb on a private session bus. hyperfine times it when installed;
# otherwise the median of RUNS runs of a plain loop is printed.
# Usage: bench/owner_status.sh [BIN_DIR] [RUNS]
source "$(dirname "$0")/../tests/e2e/harness.sh"

e2e_need dbus-daemon
e2e_setup "${1:-build/default/bin}"
runs=${2:-30}
ctl="$E2E_BIN/vornakctl"
bus=$(dbus-daemon --session --fork --print-address=1 --print-pid=1) || e2e_fail "no dbus-daemon"
export DBUS_SESSION_BUS_ADDRESS=$(sed -n 1p <<<"$bus")
E2E_PIDS+=("$(sed -n 2p <<<"$bus")")
e2e_start_x

# time_status NAME: the wall time of "vornakctl --simulate status", RUNS times.
time_status() {
    if command -v hyperfine >/dev/null; then
        hyperfine --warmup 3 --runs "$runs" -N "$ctl --simulate status"
        return
    fi
    local times=() i start
    for i in $(seq "$runs"); do
        start=$(date +%s%N)
        "$ctl" --simulate status >/dev/null || e2e_fail "status failed"
        times+=($((($(date +%s%N) - start) / 1000)))
    done
    local sorted=($(printf '%s\n' "${times[@]}" | sort -n))
    echo "$1: median ${sorted[$((runs / 2))]} us, min ${sorted[0]} us, max ${sorted[$((runs - 1))]} us ($runs runs)"
}

echo "== without a program: vornakctl opens the keyboard itself"
"$ctl" --simulate status | grep -q "opened by: *this command" || e2e_fail "status went elsewhere"
time_status "opened by vornakctl"

echo "== with the program running: through the session bus"
e2e_start_vornak --start
for i in $(seq 200); do
    "$ctl" --simulate status 2>/dev/null | grep -q "opened by: *the running program" && break
    sleep 0.05
done
"$ctl" --simulate status | grep -q "opened by: *the running program" || e2e_fail "status does not go through the program"
time_status "through the running program"
e2e_kill
