#!/usr/bin/env bash
# The program on Wayland under a scale factor of its own (QT_SCALE_FACTOR=2, a headless sway of 2560x1600): the
# pointer reaches the window's lower half too, where the lighting switch lies, and a click turns the lights on
# and a second one off.
# Usage: wayland_scale_e2e.sh BIN_DIR
E2E_SCREEN=2560x1600
source "$(dirname "$0")/sway_harness.sh"
export QT_SCALE_FACTOR=2 E2E_SCALE=2

e2e_setup "$1"
e2e_start_sway
e2e_start_vornak
win=$(e2e_wait_window 20)

# switch_is 0|1: waits until the settings file holds the lighting switch so.
switch_is() {
    local settings i
    for i in $(seq 50); do
        settings=$(find "$HOME" -name wskb.ini | head -1)
        if [ -n "$settings" ] &&
            { iconv -f UTF-16LE -t UTF-8 "$settings" 2>/dev/null || cat "$settings"; } | tr -d '\r' |
            grep -q "^DengCheck=$1"; then
            return 0
        fi
        sleep 0.1
    done
    e2e_fail "DengCheck=$1 is not in the settings file ($settings)"
}

echo "== the lighting switch, in the window's lower half, takes the pointer's clicks"
e2e_click_control "$win" CONTROL_DengStaPic
switch_is 1
e2e_click_control "$win" CONTROL_DengStaPic
switch_is 0

echo "== --kill ends it"
e2e_kill
