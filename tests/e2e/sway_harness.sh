# End-to-end harness for the built program on Wayland: a private headless sway, the program on Qt's wayland
# platform, real input through our wl_input (a virtual pointer and a virtual keyboard, as a user's devices reach
# the compositor) and screenshots with grim. The functions of harness.sh, with a window named by sway's
# container id:
#
#   source "$(dirname "$0")/sway_harness.sh"
#   e2e_setup build/default/bin          # as in harness.sh; skips (77) without sway, grim or wl_input
#   e2e_start_sway                       # WAYLAND_DISPLAY, SWAYSOCK
#   e2e_start_vornak
#   win=$(e2e_wait_window)               # the main window's container
#   e2e_click_control "$win" CONTROL2_APPLY
#   e2e_key ctrl+z                       # a key by its XKB name, modifiers first
#   e2e_type text
#   e2e_shot FILE                        # the whole screen
#   e2e_kill
#
# wl_input is looked for beside the tests' build (<build>/tests/wl_input) unless VORNAK_WL_INPUT names it.
source "$(dirname "${BASH_SOURCE[0]}")/harness.sh"

E2E_SWAY_PID=""
E2E_SWAY_DIR=""
E2E_SCREEN=${E2E_SCREEN:-1280x800}  # a larger one for a program at a scale of 2

e2e_setup() {
    e2e_need sway swaymsg grim python3
    local bin
    bin=$(cd "$1" && pwd)
    E2E_WL_INPUT=${VORNAK_WL_INPUT:-$bin/../tests/wl_input}
    if [ ! -x "$E2E_WL_INPUT" ]; then
        echo "e2e: skipped: no wl_input at $E2E_WL_INPUT (built with wayland-client and xkbcommon)"
        exit 77
    fi
    local qt_platform
    qt_platform=$(find /usr/lib -path '*qt6/plugins/platforms/libqwayland-generic.so' -print -quit 2>/dev/null)
    [ -n "$qt_platform" ] || { echo "e2e: skipped: Qt's Wayland platform is not installed"; exit 77; }
    e2e_setup_files "$1"
    e2e_unwind_desktop_libraries
    export QT_QPA_PLATFORM=wayland
    unset DISPLAY
}

e2e_cleanup_more() {
    if [ -n "$E2E_SWAY_PID" ]; then
        kill "$E2E_SWAY_PID" 2>/dev/null || true
        wait "$E2E_SWAY_PID" 2>/dev/null || true
        E2E_SWAY_PID=""
    fi
    if [ -n "$E2E_SWAY_DIR" ]; then rm -rf "$E2E_SWAY_DIR"; fi
}

e2e_failure_shot() {
    [ -n "${WAYLAND_DISPLAY:-}" ] && grim "$1" 2>/dev/null
}

# e2e_start_sway: a headless sway with one output of E2E_SCREEN, in a runtime folder of its own. sway refuses to
# run as root: then it runs as nobody, and the programs (root) reach it by the socket's full path.
e2e_start_sway() {
    # A folder of its own: the test's folder is closed to the compositor's user.
    E2E_SWAY_DIR=$(mktemp -d /tmp/vornak-sway.XXXXXX)
    chmod 700 "$E2E_SWAY_DIR"
    # No borders, so a window's content starts where sway puts the window; no bar.
    printf 'output HEADLESS-1 resolution %s position 0 0\ndefault_border none\ndefault_floating_border none\n' \
        "$E2E_SCREEN" >"$E2E_SWAY_DIR/sway.conf"
    local run_as=()
    if [ "$(id -u)" -eq 0 ]; then
        chown nobody "$E2E_SWAY_DIR"
        run_as=(setpriv --reuid=nobody --regid=nogroup --clear-groups)
    fi
    env -u DISPLAY -u WAYLAND_DISPLAY XDG_RUNTIME_DIR="$E2E_SWAY_DIR" HOME="$E2E_SWAY_DIR" \
        WLR_BACKENDS=headless WLR_LIBINPUT_NO_DEVICES=1 WLR_RENDERER=pixman \
        "${run_as[@]}" sway -c "$E2E_SWAY_DIR/sway.conf" >"$E2E_SWAY_DIR/sway.log" 2>&1 &
    E2E_SWAY_PID=$!
    local i socket="" ipc=""
    for i in $(seq 200); do
        socket=$(find "$E2E_SWAY_DIR" -maxdepth 1 -name 'wayland-*' -type s -print -quit)
        ipc=$(find "$E2E_SWAY_DIR" -maxdepth 1 -name 'sway-ipc.*.sock' -type s -print -quit)
        [ -n "$socket" ] && [ -n "$ipc" ] && break
        kill -0 "$E2E_SWAY_PID" 2>/dev/null || break
        sleep 0.05
    done
    [ -n "$socket" ] && [ -n "$ipc" ] || e2e_fail "sway did not start: $(cat "$E2E_SWAY_DIR/sway.log")"
    export WAYLAND_DISPLAY="$socket" SWAYSOCK="$ipc"
    # The pointer and the keyboard stay on the seat for the whole test, as a user's do.
    coproc E2E_INPUT { exec "$E2E_WL_INPUT" --screen "$E2E_SCREEN" 2>&1; }
    E2E_PIDS+=($E2E_INPUT_PID)
    e2e_input move 1 1
}

# e2e_windows: one line per visible window of vornak: "con_id x y width height title", separated by tabs
# (content in screen coordinates).
e2e_windows() {
    swaymsg -t get_tree -r 2>/dev/null | python3 -c '
import json, sys
pid = int(sys.argv[1])
def walk(node):
    if node.get("pid") == pid and node.get("visible"):
        r, w = node["rect"], node["window_rect"]
        print(node["id"], r["x"] + w["x"], r["y"] + w["y"], w["width"], w["height"], node.get("name") or "",
              sep="\t")
    for child in node.get("nodes", []) + node.get("floating_nodes", []):
        walk(child)
try:
    walk(json.load(sys.stdin))
except ValueError:
    pass
' "$E2E_VORNAK_PID"
}

e2e_visible_window() {
    e2e_windows | awk -F'\t' -v re="${1:-$E2E_MAIN_TITLE}" '$6 ~ re { print $1; exit }'
}

# e2e_window_of_size WxH: a visible window of vornak of that size (the key dialog has no title of its own).
e2e_window_of_size() {
    e2e_windows | awk -F'\t' -v s="$1" '$4 "x" $5 == s { print $1; exit }'
}

# e2e_window_rect WINDOW: "x y width height" of its content on the screen.
e2e_window_rect() {
    e2e_windows | awk -F'\t' -v id="$1" '$1 == id { print $2, $3, $4, $5; exit }'
}

e2e_click() {
    local x y w h
    read -r x y w h <<<"$(e2e_window_rect "$1")"
    [ -n "$x" ] || e2e_fail "window $1 is not shown"
    e2e_input click $((x + $2)) $((y + $3))
    sleep 0.2
}

# e2e_input ACTION: one of wl_input's actions, at screen coordinates; returns once it was sent.
e2e_input() {
    local reply=""
    echo "$*" >&"${E2E_INPUT[1]}" || e2e_fail "wl_input has ended"
    read -r -t 20 reply <&"${E2E_INPUT[0]}" || true
    [ "$reply" = ok ] || e2e_fail "wl_input $*: ${reply:-no answer}"
}

e2e_key() {
    e2e_input key "$1"
    sleep 0.2
}

e2e_type() {
    e2e_input type "$1"
}

e2e_shot() {
    mkdir -p "$(dirname "$1")"
    grim "$1" || e2e_fail "screenshot $1"
}
