#!/usr/bin/env bash
# Runs a program on a private headless Wayland compositor (sway) with Qt's wayland platform:
# under_sway.sh PROGRAM [ARGS...]. Exits 77 (skipped) when sway or Qt's Wayland platform is missing.
set -euo pipefail
command -v sway >/dev/null || { echo "skipped: sway is not installed"; exit 77; }
qt_plugins=$(dirname "$(find /usr/lib -path '*qt6/plugins/platforms/libqwayland-generic.so' -print -quit 2>/dev/null)")
[ -n "$qt_plugins" ] && [ "$qt_plugins" != . ] || { echo "skipped: Qt's Wayland platform is not installed"; exit 77; }

dir=$(mktemp -d /tmp/vornak-sway.XXXXXX)
chmod 700 "$dir"
printf 'output HEADLESS-1 resolution 1280x800\n' >"$dir/sway.conf"
run_as=()
# sway does not run as root: the compositor runs as nobody, the program as the caller.
if [ "$(id -u)" -eq 0 ]; then
    chown nobody "$dir"
    run_as=(setpriv --reuid=nobody --regid=nogroup --clear-groups)
fi
env XDG_RUNTIME_DIR="$dir" HOME="$dir" WLR_BACKENDS=headless WLR_LIBINPUT_NO_DEVICES=1 WLR_RENDERER=pixman \
    "${run_as[@]}" sway -c "$dir/sway.conf" >"$dir/sway.log" 2>&1 &
sway=$!
trap 'kill $sway 2>/dev/null; wait $sway 2>/dev/null || true; rm -rf "$dir"' EXIT
for _ in $(seq 100); do
    socket=$(find "$dir" -maxdepth 1 -name 'wayland-*' -type s -print -quit)
    [ -n "$socket" ] && break
    sleep 0.05
done
[ -n "$socket" ] || { echo "sway did not start:" >&2; cat "$dir/sway.log" >&2; exit 1; }
export XDG_RUNTIME_DIR="$dir" WAYLAND_DISPLAY=$(basename "$socket") QT_QPA_PLATFORM=wayland
unset DISPLAY
export LSAN_OPTIONS="suppressions=$(dirname "$0")/../support/desktop-leaks.supp${LSAN_OPTIONS:+:$LSAN_OPTIONS}"
# The desktop libraries are built without frame pointers: only the slow unwinder finds their frames, which the
# suppressions name.
export ASAN_OPTIONS="fast_unwind_on_malloc=0${ASAN_OPTIONS:+:$ASAN_OPTIONS}"
rc=0
"$@" || rc=$?
exit "$rc"
