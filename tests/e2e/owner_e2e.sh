#!/usr/bin/env bash
# One keyboard, one owner, end to end under Xvfb on a private session bus:
# - vornakctl's work goes through the running program, and an edit left unapplied in the window is not
#   overwritten from outside (exit 6, the edit kept) unless --force is given;
# - ending the program (vornak --kill, SIGTERM, Close) during an Apply at 40 ms a report finishes the download,
#   and a lighting write queued behind it, before the program ends: the keyboard is never left inside a write
#   sequence and holds the edit;
# - a start while the old copy ends runs once it has ended.
# Usage: owner_e2e.sh BIN_DIR [SHOT_DIR]
source "$(dirname "$0")/harness.sh"

e2e_need dbus-daemon
e2e_setup "$1"
shots=${2:-}
ctl="$E2E_BIN/vornakctl"

# A private session bus for the program and vornakctl.
bus=$(dbus-daemon --session --fork --print-address=1 --print-pid=1) || e2e_fail "no dbus-daemon"
export DBUS_SESSION_BUS_ADDRESS=$(sed -n 1p <<<"$bus")
E2E_PIDS+=("$(sed -n 2p <<<"$bus")")

key_blocks() {
    grep '^keyblocks ' "$VORNAK_SIM_STATE" | cut -d' ' -f2
}
log_lines() {
    if [ -f "$VORNAK_SIM_LOG" ]; then wc -l <"$VORNAK_SIM_LOG"; else echo 0; fi
}
# codes_since LINE: the command code of every report sent after that line of the traffic log, one a line.
codes_since() {
    local ms dir hex
    tail -n +$(($1 + 1)) "$VORNAK_SIM_LOG" | while read -r ms dir hex; do
        [ "$dir" = OUT ] && echo $((16#${hex:6:2}))
    done
    return 0
}
# wait_code LINE CODE: waits until a report with that command code was sent after the line.
wait_code() {
    local i
    for i in $(seq 400); do
        codes_since "$1" | grep -qx "$2" && return 0
        sleep 0.02
    done
    e2e_fail "no command $2 was sent"
}
# whole_sequences LINE: every begin (1) after the line has its end (2), none inside another.
whole_sequences() {
    local depth=0 code
    while read -r code; do
        [ "$code" = 1 ] && { [ $depth = 0 ] || e2e_fail "a begin inside a sequence"; depth=1; }
        [ "$code" = 2 ] && depth=0
    done < <(codes_since "$1")
    [ $depth = 0 ] || e2e_fail "the traffic ends inside a write sequence (no end command)"
}
# drag WINDOW FROM TO: a key button dragged onto another (a swap, not applied).
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
# wait_ended PID: the program ends (with 0) within a minute.
wait_ended() {
    local i
    for i in $(seq 1200); do
        if ! kill -0 "$1" 2>/dev/null; then
            wait "$1" || e2e_fail "vornak ended with $?"
            return 0
        fi
        sleep 0.05
    done
    e2e_fail "vornak did not end"
}

e2e_start_x
# A sends B, so that dragging A onto Esc is an edit (a swap of two unassigned keys changes nothing).
"$ctl" --simulate capture "$E2E_DIR/start.fwc" >/dev/null || e2e_fail "capture"
"$ctl" assign "$E2E_DIR/start.fwc" --profile 1 A=key:B >/dev/null || e2e_fail "assign"
"$ctl" --simulate apply "$E2E_DIR/start.fwc" >/dev/null || e2e_fail "apply"
cp "$E2E_DIR/start.fwc" "$E2E_DIR/caps.fwc"
"$ctl" assign "$E2E_DIR/caps.fwc" --profile 1 "Caps Lock=key:X" >/dev/null || e2e_fail "assign"

echo "== vornakctl goes through the running program; unapplied edits are refused, --force discards them"
e2e_start_vornak
win=$(e2e_wait_window)
"$ctl" --simulate status | grep -q "opened by: *the running program" || e2e_fail "status did not go through the program"
drag "$win" KEY_01E KEY_001
blocks=$(key_blocks)
rc=0
"$ctl" --simulate apply "$E2E_DIR/caps.fwc" 2>"$E2E_DIR/refused.txt" >/dev/null || rc=$?
[ $rc = 6 ] || e2e_fail "apply over unapplied edits ended with $rc, not 6"
[ "$(wc -l <"$E2E_DIR/refused.txt")" = 1 ] || e2e_fail "not one line on stderr: $(cat "$E2E_DIR/refused.txt")"
rc=0
"$ctl" --simulate profile 2 2>/dev/null || rc=$?
[ $rc = 6 ] || e2e_fail "profile over unapplied edits ended with $rc, not 6"
[ "$(key_blocks)" = "$blocks" ] || e2e_fail "a refused change reached the keyboard"
[ -n "$shots" ] && e2e_shot "$shots/owner-refused.png"
"$ctl" --simulate --force apply "$E2E_DIR/caps.fwc" >/dev/null || e2e_fail "apply --force"
[ "$(key_blocks)" != "$blocks" ] || e2e_fail "apply --force did not reach the keyboard"
"$ctl" --simulate profile 2 || e2e_fail "profile 2 without edits"
[ -n "$shots" ] && e2e_shot "$shots/owner-applied.png"
"$ctl" --simulate profile 1 || e2e_fail "profile 1 without edits"  # where A sends B
e2e_kill

# end_during_apply HOW: a swap applied at 40 ms a report with a lighting write queued behind it; the program is
# ended while the download runs; everything asked for reaches the keyboard in whole sequences.
end_during_apply() {
    export VORNAK_SIM_LATENCY_MS=40
    e2e_start_vornak
    local pid=$E2E_VORNAK_PID win before mark lighting=0 rc=0 end_mark
    win=$(e2e_wait_window 60)
    before=$(key_blocks)
    drag "$win" KEY_01E KEY_001
    mark=$(log_lines)
    e2e_click_control "$win" CONTROL2_APPLY
    "$ctl" --simulate lighting --brightness 0 --brightness 5 >/dev/null 2>"$E2E_DIR/lighting.txt" &
    lighting=$!
    wait_code "$mark" 8
    sleep 0.2  # the lighting request reaches the program's queue
    end_mark=$(log_lines)
    case $1 in
        kill) "$E2E_BIN/vornak" --kill >>"$E2E_DIR/vornak.log" 2>&1 || e2e_fail "vornak --kill" ;;
        sigterm) kill -TERM "$pid" ;;
        close) e2e_click_control "$win" CONTROL_CLOSE ;;
    esac
    wait_ended "$pid"
    unset VORNAK_SIM_LATENCY_MS
    wait "$lighting" || e2e_fail "the queued lighting change failed: $(cat "$E2E_DIR/lighting.txt")"
    codes_since "$end_mark" | grep -qx 2 || e2e_fail "$1: nothing was sent after the end was asked for"
    whole_sequences "$mark"
    codes_since "$mark" | grep -qx 6 || e2e_fail "$1: the queued lighting write was not sent"
    [ "$(key_blocks)" != "$before" ] || e2e_fail "$1: the keyboard does not hold the edit"
}

for how in kill sigterm close; do
    echo "== $how during an Apply at 40 ms a report"
    end_during_apply "$how"
done

echo "== a start during the end waits for it, then runs"
export VORNAK_SIM_LATENCY_MS=40
e2e_start_vornak
old=$E2E_VORNAK_PID
win=$(e2e_wait_window 60)
drag "$win" KEY_01E KEY_001
mark=$(log_lines)
e2e_click_control "$win" CONTROL2_APPLY
wait_code "$mark" 8
"$E2E_BIN/vornak" --kill >>"$E2E_DIR/vornak.log" 2>&1
e2e_start_vornak
new=$E2E_VORNAK_PID
wait_ended "$old"
unset VORNAK_SIM_LATENCY_MS
e2e_wait_window 60 >/dev/null
kill -0 "$new" 2>/dev/null || e2e_fail "the new start did not run"
"$ctl" --simulate status | grep -q "opened by: *the running program (pid $new)" ||
    e2e_fail "the copy on the bus is not the new start"
e2e_kill

echo "e2e: 5 passed, 0 failed"
