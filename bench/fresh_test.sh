#!/usr/bin/env bash
# What a newcomer waits for: script/test on a fresh clone of HEAD, with the packages already installed and no
# compiler cache, timed as a whole (wall and CPU time of every process it starts).
# Usage: bench/fresh_test.sh [WORK_DIR]   (WORK_DIR is made and must not exist; default a new temporary folder)
set -euo pipefail
repo=$(cd "$(dirname "$0")/.." && pwd)
work=${1:-$(mktemp -d /tmp/vornak-fresh.XXXXXX)/vornak}
git clone -q "$repo" "$work"
echo "fresh clone of $(git -C "$work" log --oneline -1) in $work, $(nproc) cores"
cd "$work"
export CCACHE_DISABLE=1
/usr/bin/time -f 'script/test: %e s wall, %U s user, %S s system' -o "$work.time" script/test >"$work.log" 2>&1 ||
    { tail -30 "$work.log"; echo "script/test failed (log: $work.log)"; exit 1; }
grep -E '^== ' "$work.log"
cat "$work.time"
