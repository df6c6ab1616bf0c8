#!/usr/bin/env bash
# The keyboard's profile follows the application in front on a wlroots compositor: a headless sway, two
# Wayland windows of different application ids focused in turn with swaymsg; the simulated keyboard's
# traffic shows one settings write per switch and none for a window passed on the way.
#   tests/e2e/follow_sway_e2e.sh BIN_DIR
source "$(dirname "$0")/harness.sh"
e2e_need sway swaymsg
qt_plugins=$(find /usr/lib -path '*qt6/plugins/platforms/libqwayland-generic.so' -print -quit 2>/dev/null)
[ -n "$qt_plugins" ] || { echo "e2e: skipped: Qt's Wayland platform is not installed"; exit 77; }

e2e_setup "$1"
e2e_unwind_desktop_libraries
[ -x "$E2E_BIN/named_window" ] || e2e_fail "no named_window in $E2E_BIN"
# sway does not run as root: the compositor runs as nobody, the programs as the caller.
run_as=()
if [ "$(id -u)" -eq 0 ]; then
    chown nobody "$XDG_RUNTIME_DIR"
    chmod 711 "$E2E_DIR"
    run_as=(setpriv --reuid=nobody --regid=nogroup --clear-groups)
fi
printf 'output HEADLESS-1 resolution 1280x800\n' >"$E2E_DIR/sway.conf"
chmod 644 "$E2E_DIR/sway.conf"
env HOME="$XDG_RUNTIME_DIR" WLR_BACKENDS=headless WLR_LIBINPUT_NO_DEVICES=1 WLR_RENDERER=pixman \
    "${run_as[@]}" sway -c "$E2E_DIR/sway.conf" >"$E2E_DIR/sway.log" 2>&1 &
E2E_PIDS+=($!)
socket=""
for _ in $(seq 100); do
    socket=$(find "$XDG_RUNTIME_DIR" -maxdepth 1 -name 'wayland-*' -type s -print -quit)
    ipc=$(find "$XDG_RUNTIME_DIR" -maxdepth 1 -name 'sway-ipc.*' -type s -print -quit)
    [ -n "$socket" ] && [ -n "$ipc" ] && break
    sleep 0.05
done
[ -n "$socket" ] || e2e_fail "sway did not start: $(cat "$E2E_DIR/sway.log")"
export WAYLAND_DISPLAY=$(basename "$socket") SWAYSOCK=$ipc QT_QPA_PLATFORM=wayland
unset DISPLAY

cat >"$XDG_CONFIG_HOME/vornak-applications.ini" <<'RULES'
[Rule]
Application=alpha.app
Profile=2
[Rule]
Application=Beta.App
Profile=3
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
profile_writes() { [ -f "$log" ] && awk '$2 == "OUT" && substr($3, 7, 2) == "04" {print substr($3, 37, 2)}' "$log" | tr '\n' ' ' || true; }
focus() { swaymsg "[app_id=\"$1\"] focus" >/dev/null || e2e_fail "swaymsg could not focus $1"; }

"$E2E_BIN/named_window" alpha.app >>"$E2E_DIR/windows.log" 2>&1 &
E2E_PIDS+=($!)
"$E2E_BIN/named_window" beta.app >>"$E2E_DIR/windows.log" 2>&1 &
E2E_PIDS+=($!)
e2e_start_vornak
# The tree is read whole before it is searched: grep -q stops at the first match, and the rest of swaymsg's
# output would then fail the pipe under pipefail.
has_window() { local tree; tree=$(swaymsg -t get_tree) && grep -q "\"app_id\": \"$1\"" <<<"$tree"; }
for app in io.github.vornak.Vornak alpha.app beta.app; do
    for _ in $(seq 300); do
        has_window "$app" && break
        sleep 0.05
    done
    has_window "$app" || e2e_fail "no window $app: $(swaymsg -t get_tree | grep app_id)"
done
# Whatever window had the focus at the start, beta's profile first.
focus beta.app
sleep 1
before=$(profile_writes)
case "$before" in *"02 ") ;; *) e2e_fail "beta at the start: settings writes '$before'" ;; esac

focus alpha.app
wait_writes "${before}01 " || e2e_fail "alpha: settings writes '$(profile_writes)', expected '${before}01 '"
focus beta.app
wait_writes "${before}01 02 " || e2e_fail "beta: settings writes '$(profile_writes)'"
# Passed on the way: alpha for 100 ms, then back to beta, whose profile the keyboard has.
focus alpha.app
sleep 0.1
focus beta.app
sleep 0.8
[ "$(profile_writes)" = "${before}01 02 " ] || e2e_fail "pass-through: settings writes '$(profile_writes)'"

e2e_kill
echo "e2e: follow on sway passed"
