#!/usr/bin/env bash
# The lighting preview's cost, measured under Xvfb with a tray (trayer), on the simulated keyboard: the window
# shown with the lights off, shown with the lights on (effect 1: every key moves each 50 ms tick), and hidden
# to the tray with the lights still on, each for SECONDS; CPU time of all the program's threads from /proc.
# Hidden, the preview computes no frame: the CPU then is that of a program idle in the tray.
# The preview is measured in SPANS spans of SECONDS each, one after the other, and their median given as well:
# a virtual machine's own level moves from one minute to the next.
# Usage: bench/preview_cpu.sh [BIN_DIR] [SECONDS] [SHOT.png] [SPANS]
source "$(dirname "$0")/../tests/e2e/harness.sh"

e2e_setup "${1:-build/default/bin}"
span=${2:-30}
shot=${3:-}
spans=${4:-1}
e2e_start_x
e2e_start_tray
e2e_start_vornak
win=$(e2e_wait_window 20)
pid=$E2E_VORNAK_PID
hz=$(getconf CLK_TCK)

cpu() { awk '{print $14 + $15}' "/proc/$pid/stat"; }
# The scheduler's own count of each thread's time on a CPU, in ns: the ticks move in steps of 1/hz s.
runtime() { cat /proc/"$pid"/task/*/schedstat 2>/dev/null | awk '{n += $1} END {printf "%d", n}'; }
measure() {
    local c0 c1 r0 r1
    c0=$(cpu)
    r0=$(runtime)
    sleep "$span"
    c1=$(cpu)
    r1=$(runtime)
    echo "$1 for $span s: $((c1 - c0)) ticks at $hz Hz" \
        "($(awk -v t=$((c1 - c0)) -v hz="$hz" -v s="$span" 'BEGIN {printf "%.2f", 100 * t / hz / s}') % of one core;" \
        "run time $(awk -v n=$((r1 - r0)) -v s="$span" 'BEGIN {printf "%.3f", n / 1e7 / s}') %)"
}
median() { sort -n | awk '{v[NR] = $1} END {print (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2}'; }

sleep 1
measure "shown, lights off"
e2e_click_control "$win" CONTROL_DengStaPic
sleep 1
[ -n "$shot" ] && e2e_shot "$shot"
runs=()
for ((i = 1; i <= spans; i++)); do
    line=$(measure "shown, lights on, preview running")
    echo "$line"
    runs+=("$(sed 's/.*run time \([0-9.]*\).*/\1/' <<<"$line")")
done
[ "$spans" -gt 1 ] && echo "preview, median of $spans spans: $(printf '%s\n' "${runs[@]}" | median) % of one core (run time)"
e2e_click_control "$win" CONTROL_CANCEL
e2e_wait_hidden
sleep 1
measure "hidden, lights on"
e2e_kill
