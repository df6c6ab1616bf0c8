# End-to-end harness for the built program under Xvfb. Source it from a bash test script:
#
#   source "$(dirname "$0")/harness.sh"
#   e2e_setup build/default/bin          # private home, runtime folder and simulator files; traps the cleanup
#   e2e_start_x                          # a private Xvfb display
#   e2e_start_tray                       # optional: a small XEmbed tray (trayer)
#   e2e_start_vornak                     # vornak --simulate in the background (extra arguments are passed on)
#   win=$(e2e_wait_window)               # waits until its main window is visible; prints the window id
#                                        # (e2e_wait_window 10 '^Title' for another window of the program)
#   e2e_click_control "$win" CONTROL_CANCEL   # clicks the middle of a control, by its key in Skins/Main.ini
#   e2e_shot /work/shots/me/main.png     # a screenshot of the whole screen
#   e2e_sim detach                       # a line to the simulated keyboard's control FIFO
#   icon=$(e2e_tray_icon)                # the tray icon's window (with e2e_start_tray), for clicks on it
#   e2e_kill                             # vornak --kill; checks that both processes end with 0
#
# Every function fails the script (exit 1, with a message naming the step) when its step fails. Needs Xvfb,
# xdotool, xwininfo and ImageMagick's import; trayer for a tray. Exits 77 (skipped) when one is missing.
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/../support/private_x.sh"

E2E_DIR=""
E2E_BIN=""
E2E_PIDS=()
E2E_VORNAK_PID=""

# The screen at a failure (sway_harness.sh takes it with grim).
e2e_failure_shot() {
    [ -n "${DISPLAY:-}" ] && import -window root "$1" 2>/dev/null
}

e2e_fail() {
    echo "e2e: FAILED: $*" >&2
    if [ -n "$E2E_DIR" ] && e2e_failure_shot "$E2E_DIR/failure.png"; then
        echo "(the screen at the failure: $E2E_DIR/failure.png, kept)" >&2
        E2E_KEEP=1
    fi
    if [ -n "$E2E_DIR" ] && [ -f "$E2E_DIR/vornak.log" ]; then
        echo "--- vornak's output:" >&2
        cat "$E2E_DIR/vornak.log" >&2
    fi
    exit 1
}

e2e_need() {
    local tool
    for tool in "$@"; do
        if ! command -v "$tool" >/dev/null; then
            echo "e2e: skipped: $tool is not installed (script/bootstrap installs it)"
            exit 77
        fi
    done
}

# What a variant of the harness started beside the programs (sway_harness.sh: the compositor).
e2e_cleanup_more() { :; }

e2e_cleanup() {
    local pid
    for pid in "${E2E_PIDS[@]}"; do
        kill "$pid" 2>/dev/null || true
    done
    for pid in "${E2E_PIDS[@]}"; do
        wait "$pid" 2>/dev/null || true
    done
    private_x_stop
    e2e_cleanup_more
    if [ -n "$E2E_DIR" ] && [ -z "${E2E_KEEP:-}" ]; then rm -rf "$E2E_DIR"; fi
}

# e2e_setup BIN_DIR: the folder of the built vornak.
e2e_setup() {
    e2e_need Xvfb xdotool xwininfo import
    e2e_setup_files "$1"
    export QT_QPA_PLATFORM=xcb
    unset WAYLAND_DISPLAY
}

# Under the sanitizers, on Wayland: the slow unwinder finds the frames of the desktop libraries (built without
# frame pointers) that the suppressions name, such as Mesa's EGL loader.
e2e_unwind_desktop_libraries() {
    export ASAN_OPTIONS="fast_unwind_on_malloc=0${ASAN_OPTIONS:+:$ASAN_OPTIONS}"
}

# e2e_setup_files BIN_DIR: the private home, runtime folder and simulator files, whatever the window system.
e2e_setup_files() {
    E2E_BIN=$(cd "$1" && pwd)
    # A build with sanitizers: the desktop libraries' own leaks are not the program's.
    export LSAN_OPTIONS="suppressions=$(dirname "${BASH_SOURCE[0]}")/../support/desktop-leaks.supp${LSAN_OPTIONS:+:$LSAN_OPTIONS}"
    [ -x "$E2E_BIN/vornak" ] || e2e_fail "no vornak in $E2E_BIN"
    E2E_DIR=$(mktemp -d /tmp/vornak-e2e.XXXXXX)
    trap e2e_cleanup EXIT
    mkdir -p "$E2E_DIR/home/Documents" "$E2E_DIR/run" "$E2E_DIR/config"
    chmod 700 "$E2E_DIR/run"
    export HOME="$E2E_DIR/home"
    export XDG_RUNTIME_DIR="$E2E_DIR/run"
    export XDG_CONFIG_HOME="$E2E_DIR/config"
    export XDG_DOCUMENTS_DIR="$E2E_DIR/home/Documents"
    export VORNAK_SIM_CONTROL="$E2E_DIR/kx1"
    export VORNAK_SIM_STATE="$E2E_DIR/simulated-kx1.state"
    export VORNAK_SIM_LOG="$E2E_DIR/traffic.log"
    unset DBUS_SESSION_BUS_ADDRESS
}

# e2e_start_x [WxH]: a private display, numbered by Xvfb itself (so parallel tests never share one); exports
# DISPLAY.
e2e_start_x() {
    private_x_start "${1:-${E2E_SCREEN:-1280x800}}" "$E2E_DIR/xvfb.log" || e2e_fail "no private X display"
}

# A small XEmbed tray at the top right.
e2e_start_tray() {
    e2e_need trayer
    trayer --edge top --align right --widthtype pixel --width 96 --heighttype pixel --height 28 \
        --SetDockType false --expand false >"$E2E_DIR/trayer.log" 2>&1 &
    E2E_PIDS+=($!)
    local i
    for i in $(seq 100); do
        xdotool search --class trayer >/dev/null 2>&1 && { sleep 0.2; return 0; }
        sleep 0.05
    done
    e2e_fail "the tray did not start"
}

# e2e_start_vornak [ARGS...]: the program on the simulated keyboard, in the background.
e2e_start_vornak() {
    "$E2E_BIN/vornak" --simulate "$@" >>"$E2E_DIR/vornak.log" 2>&1 &
    E2E_VORNAK_PID=$!
    E2E_PIDS+=($E2E_VORNAK_PID)
}

# e2e_run_vornak [ARGS...]: a second start in the foreground; prints its exit code.
e2e_run_vornak() {
    local rc=0
    timeout 20 "$E2E_BIN/vornak" --simulate "$@" >>"$E2E_DIR/vornak.log" 2>&1 || rc=$?
    echo "$rc"
}

# The main window's title starts so in both languages; the tray icon's own window is called "Vornak".
E2E_MAIN_TITLE='^Vornak - '

# e2e_visible_window [TITLE_REGEX]: the id of the program's visible window of that title (the main window's
# by default), or nothing.
e2e_visible_window() {
    xdotool search --all --onlyvisible --pid "$E2E_VORNAK_PID" --name "${1:-$E2E_MAIN_TITLE}" 2>/dev/null | head -1 ||
        true
}

# The id of the program's tray icon (its own small window, called "Vornak", inside the tray), or nothing.
e2e_tray_icon() {
    local w
    for w in $(xdotool search --all --pid "$E2E_VORNAK_PID" --name '.*' 2>/dev/null || true); do
        [ "$(xdotool getwindowname "$w" 2>/dev/null)" = Vornak ] && { echo "$w"; return 0; }
    done
    return 0
}

# e2e_wait_window [SECONDS [TITLE_REGEX]]: waits until the window is visible; prints its id.
e2e_wait_window() {
    local limit=${1:-15} i w
    for i in $(seq $((limit * 20))); do
        w=$(e2e_visible_window "${2:-$E2E_MAIN_TITLE}")
        if [ -n "$w" ]; then
            sleep 0.3  # let it paint
            echo "$w"
            return 0
        fi
        kill -0 "$E2E_VORNAK_PID" 2>/dev/null || e2e_fail "vornak ended before its window showed"
        sleep 0.05
    done
    e2e_fail "no window within ${limit} s"
}

# e2e_wait_hidden [SECONDS]: waits until the main window is no longer visible.
e2e_wait_hidden() {
    local limit=${1:-10} i
    for i in $(seq $((limit * 20))); do
        [ -z "$(e2e_visible_window)" ] && return 0
        sleep 0.05
    done
    e2e_fail "the window is still visible after ${limit} s"
}

# e2e_stays_hidden SECONDS: the window does not show during that time.
e2e_stays_hidden() {
    local i
    for i in $(seq $(($1 * 20))); do
        [ -n "$(e2e_visible_window)" ] && e2e_fail "the window showed"
        sleep 0.05
    done
}

# e2e_control_rect KEY: "x y w h" of a control of Skins/Main.ini.
e2e_control_rect() {
    local ini line
    # The whole file first: a reader that stops at the first match would cut the pipe under pipefail.
    ini=$(iconv -f UTF-16LE -t UTF-8 "$E2E_BIN/Skins/Main.ini" | tr -d '\r') || e2e_fail "cannot read Main.ini"
    line=$(grep "^$1=" <<<"$ini") || e2e_fail "no control $1 in Main.ini"
    line=${line%%$'\n'*}
    echo "${line#*=}" | awk -F, '{print $1, $2, $3, $4}'
}

# e2e_click_control WINDOW KEY: a left click in the middle of the control. E2E_SCALE: the program's whole
# scale factor (QT_SCALE_FACTOR), when it is not 1.
e2e_click_control() {
    local x y w h s=${E2E_SCALE:-1}
    read -r x y w h <<<"$(e2e_control_rect "$2")"
    e2e_click "$1" $(((x + w / 2) * s)) $(((y + h / 2) * s))
}

# e2e_click WINDOW X Y: a left click at window coordinates.
e2e_click() {
    xdotool mousemove --window "$1" "$2" "$3" click 1
    sleep 0.2
}

# e2e_type TEXT: types into the focused window.
e2e_type() {
    xdotool type --delay 30 "$1"
}

e2e_shot() {
    mkdir -p "$(dirname "$1")"
    import -window root "$1" || e2e_fail "screenshot $1"
}

# e2e_sim LINE: attach, detach, layer, macro-start, macro-stop, lighting-changed.
e2e_sim() {
    local i
    for i in $(seq 100); do
        [ -p "$VORNAK_SIM_CONTROL" ] && break
        sleep 0.05
    done
    [ -p "$VORNAK_SIM_CONTROL" ] || e2e_fail "no control FIFO at $VORNAK_SIM_CONTROL"
    echo "$1" >"$VORNAK_SIM_CONTROL"
}

# e2e_kill: vornak --kill ends the running copy; both end with 0 and the lock is free again.
e2e_kill() {
    local rc
    rc=$(e2e_run_vornak --kill)
    [ "$rc" = 0 ] || e2e_fail "vornak --kill ended with $rc"
    local i
    for i in $(seq 200); do
        kill -0 "$E2E_VORNAK_PID" 2>/dev/null || break
        sleep 0.05
    done
    kill -0 "$E2E_VORNAK_PID" 2>/dev/null && e2e_fail "vornak still runs after --kill"
    rc=0
    wait "$E2E_VORNAK_PID" || rc=$?
    [ "$rc" = 0 ] || e2e_fail "vornak ended with $rc after --kill"
    [ -e "$XDG_RUNTIME_DIR/vornak.socket" ] && e2e_fail "the socket is still there after --kill"
    return 0
}
