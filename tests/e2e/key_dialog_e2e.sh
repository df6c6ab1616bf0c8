#!/usr/bin/env bash
# The key dialog end to end under Xvfb: a click on the A key button opens the dialog beside it, a press of B on
# the (grabbed) keyboard is captured, OK, then the main window's Apply, and the simulated keyboard's first key
# block holds at A's place the code that its factory layout holds at B's place. Cancel and the keyboard's
# removal write nothing.
# Usage: key_dialog_e2e.sh BIN_DIR [SHOT_DIR]
source "$(dirname "$0")/harness.sh"

e2e_setup "$1"
shots=${2:-}

key_blocks() {
    grep '^keyblocks ' "$VORNAK_SIM_STATE" | cut -d' ' -f2
}

# entry_at BLOCKS PROFILE POSITION: the three bytes (hex) of a matrix position in a profile's key block.
entry_at() {
    echo "${1:$((($2 * 378 + $3 * 3) * 2)):6}"
}

# matrix_of NAME: the matrix position of a key, as vornakctl lists it.
matrix_of() {
    local keys
    # The whole list first: a reader that stops at the first match would cut the pipe under pipefail.
    keys=$("$E2E_BIN/vornakctl" keys) || e2e_fail "vornakctl keys"
    awk -v n="$1" '$2 == n { print $NF; exit }' <<<"$keys"
}

wait_blocks_change() {
    local i
    for i in $(seq 200); do
        [ "$(key_blocks)" != "$1" ] && return 0
        sleep 0.05
    done
    e2e_fail "the key blocks did not change"
}

# The key dialog: the program's visible window of the dialog's size (it has no title of its own).
find_dialog() {
    local w geometry
    for w in $(xdotool search --all --onlyvisible --pid "$E2E_VORNAK_PID" --name '.*' 2>/dev/null || true); do
        geometry=$(xdotool getwindowgeometry "$w" 2>/dev/null | awk '/Geometry/ { print $2 }')
        [ "$geometry" = 560x440 ] && { echo "$w"; return 0; }
    done
    return 0
}
wait_dialog() {
    local i w
    for i in $(seq 100); do
        w=$(find_dialog)
        [ -n "$w" ] && { sleep 0.3; echo "$w"; return 0; }
        sleep 0.05
    done
    e2e_fail "the key dialog did not open"
}
wait_dialog_closed() {
    local i
    for i in $(seq 100); do
        [ -z "$(find_dialog)" ] && return 0
        sleep 0.05
    done
    e2e_fail "the key dialog is still open"
}

# dialog_click DIALOG KEY: a click in the middle of a control of Skins/Composite.ini.
dialog_click() {
    local ini line x y w h
    ini=$(iconv -f UTF-16LE -t UTF-8 "$E2E_BIN/Skins/Composite.ini" | tr -d '\r') || e2e_fail "no Composite.ini"
    line=$(grep "^$2=" <<<"$ini") || e2e_fail "no control $2 in Composite.ini"
    line=${line%%$'\n'*}
    read -r x y w h <<<"$(echo "${line#*=}" | awk -F, '{print $1, $2, $3, $4}')"
    e2e_click "$1" $((x + w / 2)) $((y + h / 2))
}

echo "== the keyboard starts with its factory layout"
ctl="$E2E_BIN/vornakctl"
"$ctl" --simulate capture "$E2E_DIR/start.fwc" >/dev/null || e2e_fail "capture"
# D plays the macro One, E the macro Two.
"$ctl" macro "$E2E_DIR/start.fwc" add One a >/dev/null || e2e_fail "macro add One"
"$ctl" macro "$E2E_DIR/start.fwc" add Two b >/dev/null || e2e_fail "macro add Two"
"$ctl" assign "$E2E_DIR/start.fwc" --profile 1 D=macro:One E=macro:Two >/dev/null || e2e_fail "assign"
"$ctl" --simulate apply "$E2E_DIR/start.fwc" >/dev/null || e2e_fail "apply"
original=$(key_blocks)
[ -n "$original" ] || e2e_fail "no key blocks in the state file"
a=$(matrix_of A)
b=$(matrix_of B)
[ -n "$a" ] && [ -n "$b" ] || e2e_fail "vornakctl keys names no A or B"
code_b=$(entry_at "$original" 0 "$b")
[ "$(entry_at "$original" 0 "$a")" != "$code_b" ] || e2e_fail "A and B start with the same code"

e2e_start_x
e2e_start_vornak
win=$(e2e_wait_window)

echo "== a click on A opens the dialog; B pressed, then Cancel: nothing is written"
e2e_click_control "$win" KEY_01E
dlg=$(wait_dialog)
xdotool key b
sleep 0.3
dialog_click "$dlg" CONTROL_CANCEL
wait_dialog_closed

echo "== A again, B pressed, OK, Apply: the keyboard's A sends B's code"
e2e_click_control "$win" KEY_01E
dlg=$(wait_dialog)
xdotool key b
sleep 0.3
[ -n "$shots" ] && e2e_shot "$shots/e2e-captured-b.png"
dialog_click "$dlg" CONTROL_OK
wait_dialog_closed
[ "$(key_blocks)" = "$original" ] || e2e_fail "the dialog's OK reached the keyboard before Apply"
e2e_click_control "$win" CONTROL2_APPLY
wait_blocks_change "$original"
after=$(key_blocks)
[ "$(entry_at "$after" 0 "$a")" = "$code_b" ] ||
    e2e_fail "A holds $(entry_at "$after" 0 "$a"), not B's code $code_b"
[ "$(entry_at "$after" 0 "$b")" = "$code_b" ] || e2e_fail "B lost its own code"
[ "${after:0:756}" != "${original:0:756}" ] || e2e_fail "the first block did not change"
[ "${after:756}" = "${original:756}" ] || e2e_fail "the other profiles' blocks changed"
[ -n "$shots" ] && e2e_shot "$shots/e2e-after-apply.png"

echo "== D plays One; Two chosen in the macro list, OK, Apply: the keyboard's D plays Two"
d=$(matrix_of D)
e=$(matrix_of E)
[ "$(entry_at "$after" 0 "$d")" != "$(entry_at "$after" 0 "$e")" ] || e2e_fail "D and E start alike"
e2e_click_control "$win" KEY_020
dlg=$(wait_dialog)
dialog_click "$dlg" FUNC_MACRO_LIST
xdotool key Down
sleep 0.3
[ -n "$shots" ] && e2e_shot "$shots/e2e-macro-chosen.png"
dialog_click "$dlg" CONTROL_OK
wait_dialog_closed
e2e_click_control "$win" CONTROL2_APPLY
wait_blocks_change "$after"
after=$(key_blocks)
[ "$(entry_at "$after" 0 "$d")" = "$(entry_at "$after" 0 "$e")" ] ||
    e2e_fail "D holds $(entry_at "$after" 0 "$d"), not the macro E plays ($(entry_at "$after" 0 "$e"))"

if [ -n "$shots" ]; then
    echo "== each page of the dialog, pictured; Cancel drops the macro recorded on the way"
    dialog_shot() {
        mkdir -p "$shots"
        import -window "$1" "$shots/$2" || e2e_fail "screenshot $2"
    }
    e2e_click_control "$win" KEY_02E
    dlg=$(wait_dialog)
    xdotool key F5
    sleep 0.3
    dialog_shot "$dlg" page-single-key.png
    dialog_click "$dlg" CONTROL_MACRO
    dialog_click "$dlg" FUNC_MACRO_ADD
    dialog_click "$dlg" FUNC_MACRO_RECORD
    xdotool key --delay 120 h i
    sleep 0.5
    dialog_click "$dlg" FUNC_MACRO_RECORD
    dialog_shot "$dlg" page-macro.png
    dialog_click "$dlg" CONTROL_MEDIA
    xdotool key Down Down
    sleep 0.3
    dialog_shot "$dlg" page-media.png
    dialog_click "$dlg" CONTROL_FUNCTION
    xdotool key Down
    sleep 0.3
    dialog_shot "$dlg" page-function.png
    dialog_click "$dlg" CONTROL_CANCEL
    wait_dialog_closed
    e2e_click_control "$win" FUNC_MACRO
    dlg=$(wait_dialog)
    dialog_shot "$dlg" page-macro-only.png
    e2e_shot "$shots/e2e-macro-only-in-window.png"
    dialog_click "$dlg" CONTROL_CANCEL
    wait_dialog_closed
fi

echo "== the keyboard's removal closes an open dialog as by Cancel"
e2e_click_control "$win" KEY_030
dlg=$(wait_dialog)
xdotool key c
sleep 0.3
e2e_sim detach
wait_dialog_closed
e2e_sim attach
win=$(e2e_wait_window)
e2e_kill
[ "$(key_blocks)" = "$after" ] || e2e_fail "the cancelled capture reached the keyboard"

echo "e2e: 4 passed, 0 failed"
