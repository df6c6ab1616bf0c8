#!/usr/bin/env bash
# The program's memory in the tray and with its window open, under Xvfb with a tray (trayer), on the simulated
# keyboard, nothing else attached:
#   - resident memory (VmRSS, and its anonymous part) in the tray after a start with --start, never shown;
#   - the window opened by a start request (a second vornak) three times: the time until it is mapped, then its
#     resident memory shown with the lights off;
#   - hidden again (Cancel hides to the tray): resident memory, then over SECONDS the CPU time and the context
#     switches of all its threads (no timer of ours may fire while hidden);
#   - the key dialog opened once from the window, closed, and the window hidden: resident memory.
# Usage: bench/tray_memory.sh [BIN_DIR] [SECONDS]
source "$(dirname "$0")/../tests/e2e/harness.sh"

e2e_setup "${1:-build/default/bin}"
quiet=${2:-30}
e2e_start_x
e2e_start_tray

now_ms() { date +%s%3N; }
memory() {
    awk '/^VmRSS/ {rss = $2} /^RssAnon/ {anon = $2} /^RssFile/ {file = $2} /^RssShmem/ {shm = $2}
         END {printf "%.1f MB resident (anonymous %.1f, files %.1f, shared %.1f)", rss / 1024, anon / 1024,
              file / 1024, shm / 1024}' "/proc/$E2E_VORNAK_PID/status"
}

e2e_start_vornak --start
start=$(now_ms)
until [ -n "$(e2e_tray_icon)" ]; do
    kill -0 "$E2E_VORNAK_PID" 2>/dev/null || e2e_fail "vornak ended during start-up"
    [ $(($(now_ms) - start)) -gt 10000 ] && e2e_fail "no tray icon within 10 s"
    sleep 0.05
done
sleep 5
echo "in the tray after --start, never shown: $(memory)"

for run in 1 2 3; do
    t0=$(now_ms)
    [ "$(e2e_run_vornak)" = 0 ] || e2e_fail "the start request failed"
    until [ -n "$(e2e_visible_window)" ]; do
        [ $(($(now_ms) - t0)) -gt 10000 ] && e2e_fail "no window within 10 s"
    done
    echo "open $run: start request to the window mapped: $(($(now_ms) - t0)) ms (the second copy's own start included)"
    win=$(e2e_wait_window 5)
    sleep 3
    echo "open $run: shown, lights off: $(memory)"
    e2e_click_control "$win" CONTROL_CANCEL
    e2e_wait_hidden
    sleep 3
    echo "open $run: hidden again: $(memory)"
done

# The key dialog opened once (a click on the A key, then its Cancel), and the window hidden again: what the
# dialog made (its widgets, its pictures) should not stay in the tray.
[ "$(e2e_run_vornak)" = 0 ] || e2e_fail "the start request failed"
win=$(e2e_wait_window 5)
sleep 1
e2e_click_control "$win" KEY_01E
dialog=
for i in $(seq 100); do
    for w in $(xdotool search --all --onlyvisible --pid "$E2E_VORNAK_PID" --name '.*' 2>/dev/null || true); do
        [ "$(xdotool getwindowgeometry "$w" 2>/dev/null | awk '/Geometry/ { print $2 }')" = 560x440 ] && dialog=$w
    done
    [ -n "$dialog" ] && break
    sleep 0.05
done
[ -n "$dialog" ] || e2e_fail "the key dialog did not open"
sleep 1
echo "key dialog open: $(memory)"
cancel=$(iconv -f UTF-16LE -t UTF-8 "$E2E_BIN/Skins/Composite.ini" | tr -d '\r' | grep '^CONTROL_CANCEL=' | head -1)
read -r x y w h <<<"$(echo "${cancel#*=}" | awk -F, '{print $1, $2, $3, $4}')"
e2e_click "$dialog" $((x + w / 2)) $((y + h / 2))
sleep 1
e2e_click_control "$win" CONTROL_CANCEL
e2e_wait_hidden
sleep 3
echo "hidden again after the key dialog was opened once: $(memory)"

pid=$E2E_VORNAK_PID
cpu() { awk '{print $14 + $15}' "/proc/$pid/stat"; }
# Per thread: a thread that ends in between (the key dialog's helpers) must not count against the others.
switches() {
    local t v n
    for t in /proc/$pid/task/*; do
        v=$(awk '/^voluntary_ctxt_switches/ {print $2}' "$t/status" 2>/dev/null || echo 0)
        n=$(awk '/^nonvoluntary_ctxt_switches/ {print $2}' "$t/status" 2>/dev/null || echo 0)
        echo "${t##*/} $((v + n))"
    done
}
c0=$(cpu)
s0=$(switches)
sleep "$quiet"
c1=$(cpu)
s1=$(switches)
moved=$(join <(sort <<<"$s0") <(sort <<<"$s1") | awk '{total += $3 - $2} END {print total + 0}')
echo "hidden for $quiet s after being shown: $((c1 - c0)) ticks of CPU at $(getconf CLK_TCK) Hz," \
    "$moved context switches; $(memory)"
e2e_kill
