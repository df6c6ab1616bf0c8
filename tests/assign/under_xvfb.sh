#!/usr/bin/env bash
# Runs a program on a private Xvfb display with Qt's xcb platform: under_xvfb.sh PROGRAM [ARGS...].
# Exits 77 (skipped) when Xvfb or xdotool is missing.
set -euo pipefail
for tool in Xvfb xdotool; do
    command -v "$tool" >/dev/null || { echo "skipped: $tool is not installed"; exit 77; }
done
source "$(dirname "$0")/../support/private_x.sh"
trap private_x_stop EXIT
private_x_start 1280x800 || exit 1
export QT_QPA_PLATFORM=xcb
# Under LeakSanitizer: the libraries behind the xcb platform keep a few allocations to the end.
export LSAN_OPTIONS="suppressions=$(dirname "$0")/../support/desktop-leaks.supp${LSAN_OPTIONS:+:$LSAN_OPTIONS}"
unset WAYLAND_DISPLAY
rc=0
"$@" || rc=$?
exit "$rc"
