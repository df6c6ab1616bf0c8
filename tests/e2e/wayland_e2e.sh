#!/usr/bin/env bash
# The program end to end on Wayland (a headless sway, real pointer and keyboard input): A remapped to B through
# the key dialog reaches the simulated keyboard byte-exact after Apply, Ctrl+Z and Apply bring the factory layout
# back, a macro recorded on the key dialog reaches the keyboard as typed, the lighting switch turns the lights on (the keys move) and off, and "--kill" ends the program.
# Usage: wayland_e2e.sh BIN_DIR [SHOT_DIR]
source "$(dirname "$0")/sway_harness.sh"

e2e_setup "$1"
shots=${2:-}

key_blocks() {
    grep '^keyblocks ' "$VORNAK_SIM_STATE" | cut -d' ' -f2
}
# entry_at BLOCKS PROFILE POSITION: the three bytes (hex) of a matrix position in a profile's key block.
entry_at() {
    echo "${1:$((($2 * 378 + $3 * 3) * 2)):6}"
}
matrix_of() {
    local keys
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
# The key dialog opens inside the main window on Wayland (there it can stand beside its key and keep the
# keyboard), so it is found on the screen: what changed from a shot taken just before the click, leaving out
# the key (pressed while its dialog is open) and the pointer on it.
# open_dialog KEY: clicks the key's button, waits for its dialog; sets DLG_X DLG_Y DLG_W DLG_H (screen) and
# KEY_X KEY_Y KEY_W KEY_H.
open_dialog() {
    local x y w h i box
    read -r x y w h <<<"$(e2e_window_rect "$win")"
    read -r KEY_X KEY_Y KEY_W KEY_H <<<"$(e2e_control_rect "$1")"
    KEY_X=$((x + KEY_X)) KEY_Y=$((y + KEY_Y))
    e2e_input move $((KEY_X + KEY_W / 2)) $((KEY_Y + KEY_H / 2))
    sleep 0.3  # the key lit under the pointer before the shot
    e2e_shot "$E2E_DIR/before-dialog.png"
    e2e_input click $((KEY_X + KEY_W / 2)) $((KEY_Y + KEY_H / 2))
    # The key with its glow and the pointer's picture (at most 32 pixels right of and below its tip) are left
    # out.
    local mask="rectangle $((KEY_X - 8)),$((KEY_Y - 8)) $((KEY_X + KEY_W + 40)),$((KEY_Y + KEY_H + 40))"
    for i in $(seq 50); do
        e2e_shot "$E2E_DIR/dialog.png"
        box=$(convert "$E2E_DIR/before-dialog.png" "$E2E_DIR/dialog.png" -compose difference -composite \
            -colorspace gray -threshold 1% -fill black -draw "$mask" -format '%@' info: 2>/dev/null)
        # WxH+X+Y; a dialog as large as its picture (its cut corners may show the window under them).
        if [[ $box =~ ^([0-9]+)x([0-9]+)\+([0-9]+)\+([0-9]+)$ ]] && ((BASH_REMATCH[1] >= 540 && \
            BASH_REMATCH[1] <= 560 && BASH_REMATCH[2] >= 420 && BASH_REMATCH[2] <= 440)); then
            DLG_W=${BASH_REMATCH[1]} DLG_H=${BASH_REMATCH[2]} DLG_X=${BASH_REMATCH[3]} DLG_Y=${BASH_REMATCH[4]}
            sleep 0.2
            return 0
        fi
        sleep 0.2
    done
    e2e_fail "the key dialog did not open (changed on the screen: $box)"
}
# The dialog closed: the top of the place it had is as before the click (the key beside it, which may now show
# an edit, and the pointer left out; the pointer away).
wait_dialog_closed() {
    local i crop="$((DLG_W - 96))x100+$((DLG_X + 48))+$DLG_Y" plain
    plain=$(convert "$E2E_DIR/before-dialog.png" -crop "$crop" rgb:- | md5sum)
    e2e_input move 1270 790
    for i in $(seq 50); do
        e2e_shot "$E2E_DIR/closed.png"
        [ "$(convert "$E2E_DIR/closed.png" -crop "$crop" rgb:- | md5sum)" = "$plain" ] && return 0
        sleep 0.2
    done
    e2e_fail "the key dialog is still open"
}
# dialog_click KEY: a click in the middle of a control of Skins/Composite.ini.
dialog_click() {
    local ini line x y w h
    ini=$(iconv -f UTF-16LE -t UTF-8 "$E2E_BIN/Skins/Composite.ini" | tr -d '\r') || e2e_fail "no Composite.ini"
    line=$(grep "^$1=" <<<"$ini") || e2e_fail "no control $1 in Composite.ini"
    line=${line%%$'\n'*}
    read -r x y w h <<<"$(echo "${line#*=}" | awk -F, '{print $1, $2, $3, $4}')"
    e2e_input click $((DLG_X + x + w / 2)) $((DLG_Y + y + h / 2))
    sleep 0.2
}
echo "== the keyboard starts with its factory layout"
ctl="$E2E_BIN/vornakctl"
"$ctl" --simulate capture "$E2E_DIR/start.fwc" >/dev/null || e2e_fail "capture"
"$ctl" --simulate apply "$E2E_DIR/start.fwc" >/dev/null || e2e_fail "apply"
original=$(key_blocks)
[ -n "$original" ] || e2e_fail "no key blocks in the state file"
a=$(matrix_of A)
b=$(matrix_of B)
code_b=$(entry_at "$original" 0 "$b")
[ "$(entry_at "$original" 0 "$a")" != "$code_b" ] || e2e_fail "A and B start with the same code"

e2e_start_sway
e2e_start_vornak
win=$(e2e_wait_window 20)
[ -n "$shots" ] && e2e_shot "$shots/sway-main.png"

echo "== a click on A opens the key dialog beside it; B typed, OK, Apply: the keyboard's A sends B's code"
open_dialog KEY_01E
read -r wx wy _ _ <<<"$(e2e_window_rect "$win")"
echo "main window at $wx,$wy; key A at $KEY_X,$KEY_Y ${KEY_W}x$KEY_H; dialog at $DLG_X,$DLG_Y ${DLG_W}x$DLG_H"
# Beside its key: touching one of its sides (within 2 pixels, the cut corners), over none of it, and on the
# main window, as a Wayland client cannot place a window of its own.
beside=""
if ((DLG_Y < KEY_Y + KEY_H && DLG_Y + DLG_H > KEY_Y)); then
    ((DLG_X - (KEY_X + KEY_W) >= 0 && DLG_X - (KEY_X + KEY_W) <= 2)) && beside=right
    ((KEY_X - (DLG_X + DLG_W) >= 0 && KEY_X - (DLG_X + DLG_W) <= 2)) && beside=left
fi
[ -n "$beside" ] || e2e_fail "the key dialog is not beside key A"
read -r wx wy ww wh <<<"$(e2e_window_rect "$win")"
((DLG_X >= wx && DLG_Y >= wy && DLG_X + DLG_W <= wx + ww && DLG_Y + DLG_H <= wy + wh)) ||
    e2e_fail "the key dialog is not within the main window"
e2e_key b
sleep 0.3
[ -n "$shots" ] && e2e_shot "$shots/sway-key-dialog.png"
dialog_click CONTROL_OK
wait_dialog_closed
[ "$(key_blocks)" = "$original" ] || e2e_fail "the dialog's OK reached the keyboard before Apply"
e2e_click_control "$win" CONTROL2_APPLY
wait_blocks_change "$original"
after=$(key_blocks)
[ "$(entry_at "$after" 0 "$a")" = "$code_b" ] || e2e_fail "A holds $(entry_at "$after" 0 "$a"), not B's code $code_b"
[ "${after:756}" = "${original:756}" ] || e2e_fail "the other profiles' blocks changed"
# Everything but A's three bytes is as it was.
expected="${original:0:$((a * 6))}${code_b}${original:$((a * 6 + 6))}"
[ "$after" = "$expected" ] || e2e_fail "more than A's entry changed"

echo "== Ctrl+Z, Apply: the factory layout again"
e2e_input move $((wx + 20)) $((wy + 20))
e2e_key ctrl+z
e2e_click_control "$win" CONTROL2_APPLY
wait_blocks_change "$after"
[ "$(key_blocks)" = "$original" ] || e2e_fail "after the undo the key blocks differ from the original ones"

echo "== a macro recorded on the key dialog's macro page reaches the keyboard as typed"
open_dialog KEY_02E
dialog_click CONTROL_MACRO
dialog_click FUNC_MACRO_ADD
dialog_click FUNC_MACRO_RECORD
e2e_key h
e2e_key i
sleep 0.5
dialog_click FUNC_MACRO_RECORD
other=$E2E_BIN/test_assign_desktop
if [ -x "$other" ]; then
    echo "== recording again, a key typed into another program's window is not recorded"
    dialog_click FUNC_MACRO_RECORD
    "$other" --other-window >"$E2E_DIR/other.log" 2>&1 &
    other_pid=$!
    E2E_PIDS+=($other_pid)
    shown=""
    for _ in $(seq 100); do
        # Read whole first: grep -q stopping early would fail the pipe under pipefail.
        tree=$(swaymsg -t get_tree) && grep -q '"name": "vornak-other-window"' <<<"$tree" && shown=1 && break
        sleep 0.05
    done
    [ -n "$shown" ] || e2e_fail "the other program's window did not show"
    sleep 0.5
    e2e_key x
    [ -n "$shots" ] && e2e_shot "$shots/sway-other-window.png"
    kill "$other_pid"
    wait "$other_pid" 2>/dev/null || true
    sleep 0.5
    # The other window took the focus: the recording ended; the dialog takes the focus back.
    dialog_click CONTROL_MACRO
fi
[ -n "$shots" ] && e2e_shot "$shots/sway-macro.png"
dialog_click CONTROL_OK
wait_dialog_closed
before=$(key_blocks)
e2e_click_control "$win" CONTROL2_APPLY
wait_blocks_change "$before"
# The first macro's actions: press and release of H, then of I (HID keyboard usages 0x0B and 0x0C).
played=$(grep '^macro ' "$VORNAK_SIM_STATE" | cut -d' ' -f2 | python3 -c '
import sys
area = bytes.fromhex(sys.stdin.read().strip())
le16 = lambda at: area[at] | area[at + 1] << 8
at = le16(16)
steps = []
for k in range(le16(at)):
    w0, w1 = le16(at + 4 + 4 * k), le16(at + 6 + 4 * k)
    steps.append(("+" if w0 & 0x8000 else "-") + "%02x" % (w1 >> 8))
print(le16(4), " ".join(steps))')
[ "$played" = "1 +0b -0b +0c -0c" ] || e2e_fail "the keyboard's macro memory holds: $played"

echo "== the lighting switch turns the lights on and the keys move"
e2e_click_control "$win" CONTROL_DengStaPic
sleep 0.5
settings=$(find "$HOME" -name wskb.ini | head -1)
[ -n "$settings" ] || e2e_fail "no wskb.ini"
iconv -f UTF-16LE -t UTF-8 "$settings" 2>/dev/null | tr -d '\r' | grep -q '^DengCheck=1' ||
    tr -d '\r' <"$settings" | grep -q '^DengCheck=1' || e2e_fail "DengCheck=1 is not in $settings"
e2e_shot "$E2E_DIR/a.png"
sleep 0.4
e2e_shot "$E2E_DIR/b.png"
cmp -s "$E2E_DIR/a.png" "$E2E_DIR/b.png" && e2e_fail "the preview does not move the keys"
[ -n "$shots" ] && cp "$E2E_DIR/b.png" "$shots/sway-lighting.png"
# A second click turns them off: the press stays with the switch instead of moving the window.
e2e_click_control "$win" CONTROL_DengStaPic
sleep 0.5
iconv -f UTF-16LE -t UTF-8 "$settings" 2>/dev/null | tr -d '\r' | grep -q '^DengCheck=0' ||
    tr -d '\r' <"$settings" | grep -q '^DengCheck=0' || e2e_fail "the second click did not turn the lights off"

echo "== --kill ends it"
e2e_kill

echo "e2e: 5 passed, 0 failed"
