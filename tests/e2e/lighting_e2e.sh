#!/usr/bin/env bash
# The lighting panel end to end under Xvfb: a click on the switch turns the lights on (kept in wskb.ini) and the
# key buttons move with the preview; the simulated keyboard's "lighting-changed" is read at once while the window
# shows, and only once it shows again while it is hidden in the tray.
# Usage: lighting_e2e.sh BIN_DIR [SHOT_DIR]
source "$(dirname "$0")/harness.sh"

e2e_setup "$1"
shots=${2:-}
log=$VORNAK_SIM_LOG

# Lighting blocks read so far: OUT reports of command 5 (the command byte is the report's fourth).
block_reads() { [ -f "$log" ] && awk '$2 == "OUT" && substr($3, 7, 2) == "05"' "$log" | wc -l || echo 0; }
wait_reads() {
    local i
    for i in $(seq 100); do
        [ "$(block_reads)" -ge "$1" ] && return 0
        sleep 0.05
    done
    e2e_fail "the lighting was not read again (reads $(block_reads), wanted $1)"
}

e2e_start_x
e2e_start_tray
e2e_start_vornak
win=$(e2e_wait_window 20)
sleep 0.5

echo "== the switch turns the lights on and the keys move"
e2e_click_control "$win" CONTROL_DengStaPic
sleep 0.5
settings=$(find "$HOME" -name wskb.ini | head -1)
[ -n "$settings" ] || e2e_fail "no wskb.ini"
iconv -f UTF-16LE -t UTF-8 "$settings" 2>/dev/null | tr -d '\r' | grep -q '^DengCheck=1' ||
    tr -d '\r' <"$settings" | grep -q '^DengCheck=1' || e2e_fail "DengCheck=1 is not in $settings"
import -window "$win" "$E2E_DIR/a.png"
sleep 0.4
import -window "$win" "$E2E_DIR/b.png"
cmp -s "$E2E_DIR/a.png" "$E2E_DIR/b.png" && e2e_fail "the preview does not move the keys"
[ -n "$shots" ] && cp "$E2E_DIR/b.png" "$shots/e2e-lighting.png"

echo "== lighting-changed while shown is read at once"
n=$(block_reads)
e2e_sim lighting-changed
wait_reads $((n + 3))

echo "== lighting-changed while hidden waits for the window"
e2e_click_control "$win" CONTROL_CANCEL
e2e_wait_hidden
n=$(block_reads)
e2e_sim lighting-changed
sleep 1.5
[ "$(block_reads)" = "$n" ] || e2e_fail "the lighting was read while the window was hidden"
icon=$(e2e_tray_icon)
[ -n "$icon" ] || e2e_fail "no tray icon"
xdotool mousemove --window "$icon" 10 12 click --repeat 2 --delay 80 1
win=$(e2e_wait_window 5)
wait_reads $((n + 3))
e2e_kill

echo "e2e: 3 passed, 0 failed"
