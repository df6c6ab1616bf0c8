#!/usr/bin/env bash
# A program folder whose skin lacks one of the main window's pictures: vornak ends at start with 1 and one line
# on stderr naming the picture, instead of showing a window without its faces (or vanishing without a word).
# Usage: missing_picture.sh BIN_DIR
set -euo pipefail
bin=$(cd "$1" && pwd)
scratch=$(mktemp -d /tmp/vornak-picture.XXXXXX)
trap 'rm -rf "$scratch"' EXIT
mkdir -p "$scratch/run" "$scratch/home"
chmod 700 "$scratch/run"
failures=0
for picture in main_over.jpg Arrow.jpg main_color1.jpg; do
    rm -rf "$scratch/bin"
    cp -r "$bin" "$scratch/bin"
    rm "$scratch/bin/Skins/$picture"
    rc=0
    err=$(HOME=$scratch/home XDG_RUNTIME_DIR=$scratch/run XDG_CONFIG_HOME=$scratch/home/.config \
        QT_QPA_PLATFORM=offscreen timeout 20 "$scratch/bin/vornak" --simulate 2>&1 >/dev/null) || rc=$?
    if [ "$rc" = 1 ] && grep -q "$picture" <<<"$err"; then
        echo "ok: without $picture vornak ends with 1: $(grep "$picture" <<<"$err" | head -n1)"
    else
        echo "FAILED: without $picture vornak ended with $rc: $err" >&2
        failures=$((failures + 1))
    fi
done
exit $((failures > 0))
