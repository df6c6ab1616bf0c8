#!/usr/bin/env bash
# The program's start and its quiet life in the tray, measured under Xvfb with a tray (trayer), on the
# simulated keyboard:
#   - start to ready in the tray: from the process start until its tray icon is up (the window is then laid
#     out and hidden), with --start; the median of five runs;
#   - resident memory (VmRSS) five seconds after the start;
#   - hidden for 60 s: CPU time used (all threads) and context switches of all its threads, from /proc.
# Usage: bench/program_start.sh [BIN_DIR] [SECONDS]
source "$(dirname "$0")/../tests/e2e/harness.sh"

e2e_setup "${1:-build/default/bin}"
quiet=${2:-60}
e2e_start_x
e2e_start_tray

now_ms() { date +%s%3N; }

# The tray icon's own window, named after the application.
tray_icon_up() { [ -n "$(e2e_tray_icon)" ]; }

times=()
for run in 1 2 3 4 5; do
    start=$(now_ms)
    e2e_start_vornak --start
    until tray_icon_up; do
        kill -0 "$E2E_VORNAK_PID" 2>/dev/null || e2e_fail "vornak ended during start-up"
        [ $(($(now_ms) - start)) -gt 10000 ] && e2e_fail "no tray icon within 10 s"
    done
    times+=($(($(now_ms) - start)))
    [ -n "$(e2e_visible_window)" ] && e2e_fail "the window showed with --start"
    [ "$run" = 5 ] || e2e_kill
done
sorted=($(printf '%s\n' "${times[@]}" | sort -n))
echo "start to ready in the tray: ${times[*]} ms (median ${sorted[2]} ms)"

sleep 5
pid=$E2E_VORNAK_PID
rss=$(awk '/^VmRSS/ {print $2}' "/proc/$pid/status")
echo "resident memory 5 s after the start: $((rss / 1024)) MB ($rss kB)"

cpu() { awk '{print $14 + $15}' "/proc/$pid/stat"; }
switches() {
    local total=0 t v n
    for t in /proc/$pid/task/*; do
        v=$(awk '/^voluntary_ctxt_switches/ {print $2}' "$t/status" 2>/dev/null || echo 0)
        n=$(awk '/^nonvoluntary_ctxt_switches/ {print $2}' "$t/status" 2>/dev/null || echo 0)
        total=$((total + v + n))
    done
    echo "$total"
}
threads=$(ls "/proc/$pid/task" | wc -l)
c0=$(cpu)
s0=$(switches)
sleep "$quiet"
c1=$(cpu)
s1=$(switches)
hz=$(getconf CLK_TCK)
echo "hidden for $quiet s ($threads threads): $((c1 - c0)) ticks of CPU at $hz Hz" \
    "($(awk -v t=$((c1 - c0)) -v hz="$hz" -v s="$quiet" 'BEGIN {printf "%.3f", 100 * t / hz / s}') % of one core)," \
    "$((s1 - s0)) context switches"
e2e_kill
