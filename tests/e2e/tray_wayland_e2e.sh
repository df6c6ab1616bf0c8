#!/usr/bin/env bash
# The tray on Wayland, as most desktops offer it: a StatusNotifierItem on the session bus. With a watcher (ours,
# tests/support/sni_watcher) the icon registers, its menu holds the Open, About and Exit texts, the window hides
# to it, a click (one activation) opens the window with the scene menu below its scene button, and a double click
# (two activations) opens the window. A click on the menu's third profile makes it the keyboard's. Without a
# watcher the program has no tray, as on any desktop without one: Cancel leaves the window on the screen.
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
# region FILE: the pixels below the scene button, where the scene menu opens.
region() {
    local x y w h
    read -r x y w h <<<"$(e2e_window_rect "$win")"
    read -r bx by bw bh <<<"$(e2e_control_rect FUNC_PROFILES)"
    convert "$1" -crop "${bw}x90+$((x + bx))+$((y + by + bh))" rgb:- | md5sum
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
e2e_shot "$E2E_DIR/no-menu.png"
e2e_click_control "$win" CONTROL_CANCEL
e2e_wait_hidden
activate
win=$(e2e_wait_window 15)
sleep 1  # the click is a single one only once the double-click time has passed
e2e_shot "$E2E_DIR/menu.png"
[ "$(region "$E2E_DIR/menu.png")" != "$(region "$E2E_DIR/no-menu.png")" ] ||
    e2e_fail "no scene menu below the scene button"
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
e2e_input move 1270 790
sleep 0.5
e2e_shot "$E2E_DIR/no-menu.png"  # again, with the third profile shown

echo "== hidden again, a double click opens the window"
e2e_click_control "$win" CONTROL_CANCEL
e2e_wait_hidden
activate
activate
win=$(e2e_wait_window 15)
sleep 1
e2e_shot "$E2E_DIR/double.png"
[ "$(region "$E2E_DIR/double.png")" = "$(region "$E2E_DIR/no-menu.png")" ] ||
    e2e_fail "a double click opened the scene menu too"
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

echo "e2e: 4 passed, 0 failed"
