# A private Xvfb display for a test, sourced by bash scripts:
#
#   source tests/support/private_x.sh
#   private_x_start 1280x800 LOGFILE     # exports DISPLAY; PRIVATE_X_PID is the server
#   ...
#   private_x_stop                       # also safe when nothing was started
#
# -noreset: by default the server resets whenever its last client disconnects, and a client connecting during
# the reset has its connection dropped (tests that run xdotool between the program's starts saw "cannot open
# display" now and then). The display number is chosen here rather than with -displayfd, whose servers take no
# lock file: a server given a number takes that display's lock first and ends at once when another server holds
# it, so the number whose lock names our server is ours.

PRIVATE_X_PID=""

private_x_start() {
    local size=${1:-1280x800} log=${2:-/dev/null} attempt n i
    for attempt in $(seq 40); do
        n=$((200 + (RANDOM % 700)))
        [ -e "/tmp/.X$n-lock" ] && continue
        Xvfb ":$n" -noreset -screen 0 "${size}x24" -nolisten tcp >"$log" 2>&1 &
        PRIVATE_X_PID=$!
        for i in $(seq 200); do
            kill -0 "$PRIVATE_X_PID" 2>/dev/null || break
            if [ "$(tr -d ' ' <"/tmp/.X$n-lock" 2>/dev/null)" = "$PRIVATE_X_PID" ] &&
                DISPLAY=":$n" xwininfo -root >/dev/null 2>&1; then
                export DISPLAY=":$n"
                return 0
            fi
            sleep 0.05
        done
        kill "$PRIVATE_X_PID" 2>/dev/null || true
        wait "$PRIVATE_X_PID" 2>/dev/null || true
        PRIVATE_X_PID=""
    done
    echo "Xvfb did not start: $(cat "$log" 2>/dev/null)" >&2
    return 1
}

private_x_stop() {
    [ -n "$PRIVATE_X_PID" ] || return 0
    kill "$PRIVATE_X_PID" 2>/dev/null || true
    local i
    for i in $(seq 200); do
        kill -0 "$PRIVATE_X_PID" 2>/dev/null || break
        sleep 0.02
    done
    wait "$PRIVATE_X_PID" 2>/dev/null || true
    PRIVATE_X_PID=""
}
