#!/usr/bin/env bash
# The tray on Wayland, as most desktops offer it: a StatusNotifierItem on the session bus. With a watcher (ours,
# tests/support/sni_watcher) the icon registers, its menu holds the Open, About and Exit texts, the window hides
# to it, a click (one activation) opens the window with the scene menu below its scene button, and a double click
# (two activations) opens the window. A click on the menu's third profile makes it the keyboard's. Without a
# watcher the program has no tray, as on any desktop without one: Cancel leaves the window on the screen. The
# scene menu opened from the tray takes the keyboard too.
# Usage: tray_wayland_e2e.sh BIN_DIR [SHOT_DIR]
source "$(dirname "$0")/sway_harness.sh"

e2e_setup "$1"
shots=${2:-}
e2e_need dbus-daemon dbus-send convert
watcher=${VORNAK_SNI_WATCHER:-$E2E_BIN/../tests/sni_watcher}
[ -x "$watcher" ] || { echo "e2e: skipped: no sni_watcher at $watcher"; exit 77; }

dbus-daemon --session --nofork --address="unix:path=$E2E_DIR/bus" >"$E2E_DIR/dbus.log" 2>&1 &
E2E_PIDS+=($!)
export DBUS_SESSION_BUS_ADDRESS="unix:path=$E2E_DIR/bus"
for _ in $(seq 100); do
    [ -S "$E2E_DIR/bus" ] && break
    sleep 0.05
done
[ -S "$E2E_DIR/bus" ] || e2e_fail "no session bus"

item() {
    dbus-send --session --print-reply --dest="$service" "$path" "$@" || e2e_fail "dbus-send $*"
}
activate() {
    item org.kde.StatusNotifierItem.Activate int32:0 int32:0 >/dev/null
}
# region FILE: the pixels below the scene button, where the scene menu opens. They do not change with the
# profile shown, so one shot of the window as it opened is the picture without a menu for the whole test.
region() {
    local x y w h
    read -r x y w h <<<"$(e2e_window_rect "$win")"
    read -r bx by bw bh <<<"$(e2e_control_rect FUNC_PROFILES)"
    convert "$1" -crop "${bw}x90+$((x + bx))+$((y + by + bh))" rgb:- | md5sum
}
# wait_region same|differs SECONDS: takes shots until the region below the scene button is the same as (or
# differs from) the one without a menu; false when it never is. The last shot is $E2E_DIR/now.png.
wait_region() {
    local i now
    for i in $(seq $(($2 * 5))); do
        e2e_shot "$E2E_DIR/now.png"
        now=$(region "$E2E_DIR/now.png")
        if [ "$1" = same ]; then [ "$now" = "$plain" ] && return 0; else [ "$now" != "$plain" ] && return 0; fi
        sleep 0.2
    done
    return 1
}
# The pointer away from every window, so that no button below the scene button is lit by it.
pointer_away() {
    e2e_input move 1270 790
}

e2e_start_sway

echo "== with a watcher: the icon registers with its menu"
"$watcher" "$E2E_DIR/items" >"$E2E_DIR/watcher.log" 2>&1 &
watcher_pid=$!
E2E_PIDS+=($watcher_pid)
for _ in $(seq 100); do
    dbus-send --session --print-reply --dest=org.freedesktop.DBus / org.freedesktop.DBus.NameHasOwner \
        string:org.kde.StatusNotifierWatcher 2>/dev/null | grep -q true && break
    sleep 0.05
done
e2e_start_vornak
win=$(e2e_wait_window 20)
for _ in $(seq 100); do
    [ -s "$E2E_DIR/items" ] && break
    sleep 0.05
done
read -r service path <"$E2E_DIR/items" || e2e_fail "the icon did not register with the watcher"
menu=$(item org.freedesktop.DBus.Properties.Get string:org.kde.StatusNotifierItem string:Menu |
    awk '/object path/ { gsub(/"/, "", $NF); print $NF }')
[ -n "$menu" ] || e2e_fail "the icon has no menu"
layout=$(dbus-send --session --print-reply --dest="$service" "$menu" com.canonical.dbusmenu.GetLayout \
    int32:0 int32:-1 array:string:) || e2e_fail "the menu's layout"
# Menus on the bus mark the mnemonic with "_" where the language file has "&".
for text in _Open _About E_xit; do
    grep -q "\"$text\"" <<<"$layout" || e2e_fail "the tray menu has no $text"
done

echo "== Cancel hides to the tray; a click opens the window with the scene menu"
wait_stable_plain() {
    local i last=""
    for i in $(seq 50); do
        e2e_shot "$E2E_DIR/no-menu.png"
        plain=$(region "$E2E_DIR/no-menu.png")
        [ "$plain" = "$last" ] && return 0
        last=$plain
        sleep 0.2
    done
    e2e_fail "the window's picture does not settle"
}
wait_stable_plain
e2e_click_control "$win" CONTROL_CANCEL
e2e_wait_hidden
pointer_away
activate
win=$(e2e_wait_window 15)
wait_region differs 10 || e2e_fail "no scene menu below the scene button"
cp "$E2E_DIR/now.png" "$E2E_DIR/menu.png"
[ -n "$shots" ] && cp "$E2E_DIR/menu.png" "$shots/sway-tray-scene-menu.png"
# The menu's last row (78 pixels below its top in Qt's menu style with the bootstrap's font) is the third
# profile: a click there makes it the keyboard's active profile (byte 10 of its settings block).
read -r x y w h <<<"$(e2e_window_rect "$win")"
read -r bx by bw bh <<<"$(e2e_control_rect FUNC_PROFILES)"
e2e_input move $((x + bx + 50)) $((y + by + bh + 78))
e2e_input click $((x + bx + 50)) $((y + by + bh + 78))
for _ in $(seq 100); do
    [ "$(grep '^settings ' "$VORNAK_SIM_STATE" | cut -d' ' -f2 | cut -c21-22)" = 02 ] && break
    sleep 0.05
done
[ "$(grep '^settings ' "$VORNAK_SIM_STATE" | cut -d' ' -f2 | cut -c21-22)" = 02 ] ||
    e2e_fail "the scene menu's third profile is not the keyboard's active profile"
# The menu is gone once the region is as without it. The pointer leaves as a hand moves it: a step on the key
# the menu was over (a jump straight out would leave that key lit, as Qt never tells it the pointer left), then
# across the window's foot and out.
e2e_input move $((x + bx + 52)) $((y + by + bh + 78))
e2e_input move $((x + 20)) $((y + h - 10))
pointer_away
wait_region same 10 || e2e_fail "the scene menu stayed open after its choice"

echo "== hidden again, a click opens the scene menu with the keyboard: Up thrice (from the bottom) and Enter"
e2e_click_control "$win" CONTROL_CANCEL
e2e_wait_hidden
pointer_away
activate
win=$(e2e_wait_window 15)
wait_region differs 10 || e2e_fail "no scene menu below the scene button"
# Applications..., Profile 3, Profile 2.
e2e_key Up
e2e_key Up
e2e_key Up
e2e_key Return
for _ in $(seq 100); do
    [ "$(grep '^settings ' "$VORNAK_SIM_STATE" | cut -d' ' -f2 | cut -c21-22)" = 01 ] && break
    sleep 0.05
done
[ "$(grep '^settings ' "$VORNAK_SIM_STATE" | cut -d' ' -f2 | cut -c21-22)" = 01 ] ||
    e2e_fail "the scene menu chosen by the keyboard did not make the second profile the keyboard's"
wait_region same 10 || e2e_fail "the scene menu stayed open after its choice"

echo "== hidden again, a double click opens the window"
e2e_click_control "$win" CONTROL_CANCEL
e2e_wait_hidden
pointer_away
activate
activate
win=$(e2e_wait_window 15)
# A single click acts once the double-click time (Qt's, 400 ms) has passed: the region must be the plain one
# then and stay so.
wait_region same 10 || e2e_fail "a double click opened the scene menu too"
sleep 1
wait_region same 1 || e2e_fail "a double click opened the scene menu too"
e2e_kill

echo "== without a watcher: no tray, Cancel leaves the window"
kill "$watcher_pid"
wait "$watcher_pid" 2>/dev/null || true
e2e_start_vornak
win=$(e2e_wait_window 20)
e2e_click_control "$win" CONTROL_CANCEL
sleep 1
[ -n "$(e2e_visible_window)" ] || e2e_fail "the window went away without a tray to keep it"
e2e_kill

echo "e2e: 5 passed, 0 failed"
