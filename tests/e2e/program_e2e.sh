#!/usr/bin/env bash
# The program end to end under Xvfb: it opens once on the simulated keyboard, a second start hands over, the
# tray keeps it, a removal hides it, "--start" keeps it hidden, and "--kill" ends it.
# Usage: program_e2e.sh BIN_DIR [SHOT_DIR]
source "$(dirname "$0")/harness.sh"

e2e_setup "$1"
shots=${2:-}

echo "== without a tray: the window opens once the keyboard is read"
e2e_start_x
e2e_start_vornak
win=$(e2e_wait_window)
[ -n "$shots" ] && e2e_shot "$shots/e2e-main.png"
# Its cut corner shows the desktop under it (Xvfb's black), not the picture's dark grey there: X11 cuts the
# window by its shape.
read -r x y w < <(xwininfo -id "$win" |
    awk '/Absolute upper-left X/ {x = $4} /Absolute upper-left Y/ {y = $4} /Width/ {w = $2} END {print x, y, w}')
sleep 0.5
corner=$(import -window root -crop "1x1+$((x + w - 1))+$y" txt:- | tail -1)
[[ "$corner" == *"(0,0,0"* ]] || e2e_fail "the window's top right corner is not cut away: $corner"
rc=$(e2e_run_vornak)
[ "$rc" = 0 ] || e2e_fail "the second start ended with $rc"
[ -n "$(e2e_visible_window)" ] || e2e_fail "the window is gone after a second start"
kill -0 "$E2E_VORNAK_PID" || e2e_fail "the first copy ended on a second start"
e2e_kill
rc=$(e2e_run_vornak --kill)
[ "$rc" = 0 ] || e2e_fail "--kill with nothing running ended with $rc"

echo "== with a tray: Cancel hides, a second start and a double click show, detach and attach do not reopen"
e2e_start_tray
e2e_start_vornak
win=$(e2e_wait_window)
e2e_click_control "$win" CONTROL_CANCEL
e2e_wait_hidden
rc=$(e2e_run_vornak)
[ "$rc" = 0 ] || e2e_fail "the second start ended with $rc"
win=$(e2e_wait_window)
e2e_click_control "$win" CONTROL_CANCEL
e2e_wait_hidden
icon=$(e2e_tray_icon)
[ -n "$icon" ] || e2e_fail "no tray icon"
xdotool mousemove --window "$icon" 10 12 click --repeat 2 --delay 80 1
win=$(e2e_wait_window 5)
e2e_sim detach
e2e_wait_hidden
e2e_sim attach
e2e_stays_hidden 2
e2e_kill

echo "== --start: stays in the tray"
e2e_start_vornak --start
e2e_stays_hidden 3
kill -0 "$E2E_VORNAK_PID" || e2e_fail "vornak --start ended by itself"
e2e_kill

echo "e2e: 3 passed, 0 failed"
