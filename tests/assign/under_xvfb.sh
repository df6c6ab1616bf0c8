#!/usr/bin/env bash
# Runs a program on a private Xvfb display with Qt's xcb platform: under_xvfb.sh PROGRAM [ARGS...].
# Exits 77 (skipped) when Xvfb or xdotool is missing.
set -euo pipefail
for tool in Xvfb xdotool; do
    command -v "$tool" >/dev/null || { echo "skipped: $tool is not installed"; exit 77; }
done
# The server picks a free display itself and names it on a descriptor: tests that start at the same time
# (ctest -j) never share a display.
scratch=$(mktemp -d)
exec 3>"$scratch/display"
Xvfb -displayfd 3 -screen 0 1280x800x24 -nolisten tcp >/dev/null 2>&1 &
xvfb=$!
exec 3>&-
trap 'kill $xvfb 2>/dev/null; wait $xvfb 2>/dev/null || true; rm -rf "$scratch"' EXIT
for _ in $(seq 100); do
    [ -s "$scratch/display" ] && break
    sleep 0.05
done
[ -s "$scratch/display" ] || { echo "Xvfb did not start" >&2; exit 1; }
export DISPLAY=":$(head -n1 "$scratch/display")"
for _ in $(seq 100); do
    xdotool getmouselocation >/dev/null 2>&1 && break
    sleep 0.05
done
export QT_QPA_PLATFORM=xcb
# Under LeakSanitizer: the libraries behind the xcb platform keep a few allocations to the end.
export LSAN_OPTIONS="suppressions=$(dirname "$0")/xcb-leaks.supp${LSAN_OPTIONS:+:$LSAN_OPTIONS}"
unset WAYLAND_DISPLAY
rc=0
"$@" || rc=$?
exit "$rc"
