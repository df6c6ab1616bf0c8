#!/usr/bin/env bash
# Undo end to end under Xvfb: a key remapped by dragging its button onto another, Apply, Ctrl+Z, Apply, and
# the simulated keyboard's key blocks are the original ones again.
# Usage: history_e2e.sh BIN_DIR [SHOT_DIR]
source "$(dirname "$0")/harness.sh"

e2e_setup "$1"
shots=${2:-}

# The keyboard's key blocks, as the simulator's state file keeps them (saved at the end of every download).
key_blocks() {
    grep '^keyblocks ' "$VORNAK_SIM_STATE" | cut -d' ' -f2
}

# wait_blocks_differ OLD: waits until a download has left other key blocks than OLD.
wait_blocks_change() {
    local i
    for i in $(seq 200); do
        [ "$(key_blocks)" != "$1" ] && return 0
        sleep 0.05
    done
    e2e_fail "the key blocks did not change"
}

# drag WINDOW FROM TO: the left button pressed on control FROM, moved in steps onto control TO, released.
drag() {
    local x1 y1 w1 h1 x2 y2 w2 h2 i
    read -r x1 y1 w1 h1 <<<"$(e2e_control_rect "$2")"
    read -r x2 y2 w2 h2 <<<"$(e2e_control_rect "$3")"
    x1=$((x1 + w1 / 2)) y1=$((y1 + h1 / 2)) x2=$((x2 + w2 / 2)) y2=$((y2 + h2 / 2))
    xdotool mousemove --window "$1" "$x1" "$y1" mousedown 1
    for i in 1 2 3 4 5 6 7 8; do
        xdotool mousemove --window "$1" $((x1 + (x2 - x1) * i / 8)) $((y1 + (y2 - y1) * i / 8))
        sleep 0.03
    done
    xdotool mouseup 1
    sleep 0.3
}

echo "== the keyboard starts with A sending B on its first profile"
ctl="$E2E_BIN/vornakctl"
"$ctl" --simulate capture "$E2E_DIR/start.fwc" >/dev/null || e2e_fail "capture"
"$ctl" assign "$E2E_DIR/start.fwc" --profile 1 A=key:B >/dev/null || e2e_fail "assign"
"$ctl" --simulate apply "$E2E_DIR/start.fwc" >/dev/null || e2e_fail "apply"
original=$(key_blocks)
[ -n "$original" ] || e2e_fail "no key blocks in the state file"

echo "== A dragged onto Esc swaps them; Apply sends it"
e2e_start_x
e2e_start_vornak
win=$(e2e_wait_window)
drag "$win" KEY_01E KEY_001
e2e_click_control "$win" CONTROL2_APPLY
wait_blocks_change "$original"
swapped=$(key_blocks)
[ -n "$shots" ] && e2e_shot "$shots/e2e-after-swap.png"

echo "== Ctrl+Z, Apply: the key blocks are the original ones again"
xdotool mousemove --window "$win" 20 20 key --clearmodifiers ctrl+z
sleep 0.3
e2e_click_control "$win" CONTROL2_APPLY
wait_blocks_change "$swapped"
[ "$(key_blocks)" = "$original" ] || e2e_fail "after the undo the key blocks differ from the original ones"
[ -n "$shots" ] && e2e_shot "$shots/e2e-after-undo.png"

echo "== Ctrl+Y, Apply: the swap again"
xdotool key --clearmodifiers ctrl+y
sleep 0.3
e2e_click_control "$win" CONTROL2_APPLY
wait_blocks_change "$original"
[ "$(key_blocks)" = "$swapped" ] || e2e_fail "after the redo the key blocks differ from the swapped ones"
e2e_kill

echo "e2e: 3 passed, 0 failed"
