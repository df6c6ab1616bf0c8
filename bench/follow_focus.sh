#!/usr/bin/env bash
# The profile follower's cost and speed, under Xvfb with openbox on the simulated keyboard:
# - CPU per focus change when no switch is due: N focus changes between two windows whose rules give the
#   profile the keyboard already has; the program's CPU time (all threads, /proc) divided by N;
# - wakeups while the focus does not change: the context switches of the program's UI thread over SECONDS;
# - the time from a focus change to the keyboard's new profile: from xdotool's activation (it returns once
#   the window manager has made the window active) to the settings write in the simulator's traffic log,
#   polled every 2 ms; the 300 ms settling is part of it.
# Usage: bench/follow_focus.sh [BIN_DIR] [N] [SECONDS]
source "$(dirname "$0")/../tests/e2e/harness.sh"
e2e_need openbox xmessage

e2e_setup "${1:-build/default/bin}"
count=${2:-200}
span=${3:-10}
e2e_start_x
openbox --sm-disable >"$E2E_DIR/openbox.log" 2>&1 &
E2E_PIDS+=($!)
for _ in $(seq 100); do
    xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q 'window id' && break
    sleep 0.05
done
cat >"$XDG_CONFIG_HOME/vornak-applications.ini" <<'RULES'
[Rule]
Application=SameA
Profile=2
[Rule]
Application=SameB
Profile=2
[Rule]
Application=Other
Profile=3
RULES

window_of_class() {
    xmessage -name "$1" -geometry "200x60+$2+300" "$1" >/dev/null 2>&1 &
    E2E_PIDS+=($!)
    local w=""
    for _ in $(seq 100); do
        w=$(xdotool search --onlyvisible --classname "^$1\$" 2>/dev/null | head -1 || true)
        [ -n "$w" ] && break
        sleep 0.05
    done
    xdotool set_window --class "$1" "$w"
    echo "$w"
}
a=$(window_of_class SameA 0)
b=$(window_of_class SameB 220)
o=$(window_of_class Other 440)

e2e_start_vornak
e2e_wait_window >/dev/null
pid=$E2E_VORNAK_PID
hz=$(getconf CLK_TCK)
log="$E2E_DIR/traffic.log"
writes() { awk '$2 == "OUT" && substr($3, 7, 2) == "04"' "$log" 2>/dev/null | wc -l; }
cpu() { awk '{print $14 + $15}' "/proc/$pid/stat"; }
now_ms() { echo $(($(date +%s%N) / 1000000)); }

# Put the keyboard on profile 2 first.
xdotool windowactivate --sync "$a"
sleep 1

# 1. Focus changes with no switch due.
c0=$(cpu)
w0=$(writes)
for i in $(seq "$count"); do
    if ((i % 2)); then xdotool windowactivate --sync "$b"; else xdotool windowactivate --sync "$a"; fi
    sleep 0.35  # each one settles and is judged
done
c1=$(cpu)
[ "$(writes)" = "$w0" ] || echo "note: $(($(writes) - w0)) settings writes during the no-switch run"
awk -v t=$((c1 - c0)) -v hz="$hz" -v n="$count" \
    'BEGIN {printf "no switch due: %d focus changes, %.3f ms CPU each (%d ticks at %d Hz, all threads)\n", n, 1000 * t / hz / n, t, hz}'

# 2. Wakeups while nothing changes.
ctx() { awk '/^(non)?voluntary_ctxt_switches/ {s += $2} END {print s}' "/proc/$pid/task/$pid/status"; }
x0=$(ctx)
sleep "$span"
x1=$(ctx)
echo "focus unchanged for $span s: $((x1 - x0)) context switches of the UI thread"

# 3. Focus to the keyboard's new profile.
total=0
rounds=10
for i in $(seq "$rounds"); do
    target=$o
    ((i % 2)) || target=$a
    w0=$(writes)
    t0=$(now_ms)
    xdotool windowactivate --sync "$target"
    for _ in $(seq 2500); do
        [ "$(writes)" = "$w0" ] || break
        sleep 0.002
    done
    [ "$(writes)" = "$w0" ] && e2e_fail "no switch within 5 s"
    t1=$(now_ms)
    echo "focus to new profile: $((t1 - t0)) ms"
    total=$((total + t1 - t0))
    sleep 0.5
done
echo "focus to new profile: mean $((total / rounds)) ms over $rounds switches (300 ms of it the settling)"
e2e_kill
