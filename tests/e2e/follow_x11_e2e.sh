#!/usr/bin/env bash
# The keyboard's profile follows the application in front on X11: openbox keeps _NET_ACTIVE_WINDOW, two
# windows of different classes are focused in turn with xdotool, and the simulated keyboard's traffic shows
# one settings write per switch, none when the keyboard already has the profile, none for a window passed on
# the way.
#   tests/e2e/follow_x11_e2e.sh BIN_DIR
source "$(dirname "$0")/harness.sh"
e2e_need openbox xmessage

e2e_setup "$1"
e2e_start_x
openbox --sm-disable >"$E2E_DIR/openbox.log" 2>&1 &
E2E_PIDS+=($!)
wm_ready() { xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q 'window id'; }
for _ in $(seq 300); do
    wm_ready && break
    sleep 0.05
done
wm_ready || e2e_fail "openbox did not start: $(tail -5 "$E2E_DIR/openbox.log")"

cat >"$XDG_CONFIG_HOME/vornak-applications.ini" <<'RULES'
[Rule]
Application=AlphaApp
Profile=2

[Rule]
Application=betaapp
Profile=3

[Rule]
Application=GammaApp
Profile=1
RULES

log="$E2E_DIR/traffic.log"
# wait_writes EXPECTED: polls up to 5 s for the settings writes to be EXPECTED (a busy machine is slow).
wait_writes() {
    for _ in $(seq 100); do
        [ "$(profile_writes)" = "$1" ] && return 0
        sleep 0.05
    done
    return 1
}
# The profile byte of every settings write so far (command 4; byte 10 of the block, the report's 18th).
profile_writes() { [ -f "$log" ] && awk '$2 == "OUT" && substr($3, 7, 2) == "04" {print substr($3, 37, 2)}' "$log" | tr '\n' ' ' || true; }

window_of_class() {
    xmessage -name "$1" -geometry "300x80+$2+300" "$1" >/dev/null 2>"$E2E_DIR/xmessage-$1.log" &
    local pid=$!
    E2E_PIDS+=($pid)
    local w=""
    for _ in $(seq 300); do
        w=$(xdotool search --onlyvisible --classname "^$1\$" 2>/dev/null | head -1 || true)
        [ -n "$w" ] && break
        sleep 0.05
    done
    [ -n "$w" ] || e2e_fail "no window $1 (xmessage $(kill -0 "$pid" 2>/dev/null && echo running || echo ended):" \
        "$(cat "$E2E_DIR/xmessage-$1.log"); windows of that name, mapped or not:" \
        "$(xdotool search --classname "^$1\$" 2>/dev/null | tr '\n' ' '))"
    xdotool set_window --class "$1" "$w"
    echo "$w"
}
focus() { xdotool windowactivate --sync "$1" >/dev/null 2>&1 || xdotool windowfocus --sync "$1"; }

alpha=$(window_of_class AlphaApp 0)
beta=$(window_of_class BetaApp 320)
gamma=$(window_of_class GammaApp 640)

e2e_start_vornak
e2e_wait_window >/dev/null
sleep 0.5
before=$(profile_writes)

focus "$alpha"
wait_writes "${before}01 " || e2e_fail "alpha: settings writes '$(profile_writes)', expected '${before}01 '"
focus "$beta"
wait_writes "${before}01 02 " || e2e_fail "beta: settings writes '$(profile_writes)'"

# Passed on the way: alpha for 100 ms, then back to beta, whose profile the keyboard has: nothing at all.
focus "$alpha"
sleep 0.1
focus "$beta"
sleep 0.8
[ "$(profile_writes)" = "${before}01 02 " ] || e2e_fail "pass-through: settings writes '$(profile_writes)'"
# Through alpha to gamma: only gamma's profile is written.
focus "$alpha"
sleep 0.1
focus "$gamma"
wait_writes "${before}01 02 00 " || e2e_fail "gamma: settings writes '$(profile_writes)'"
sleep 0.8
[ "$(profile_writes)" = "${before}01 02 00 " ] || e2e_fail "after gamma: settings writes '$(profile_writes)'"

e2e_kill
echo "e2e: follow on X11 passed"
