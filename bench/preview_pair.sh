#!/usr/bin/env bash
# Two builds' lighting preview side by side: in each round both run bench/preview_cpu.sh at the same time, each
# with its own Xvfb and tray and pinned to a core of its own, and the cores are swapped from one round to the
# next. A virtual machine's level moves by the minute; runs at the same time see the same level.
# Needs two cores and taskset.
# Usage: bench/preview_pair.sh BIN_DIR_A BIN_DIR_B [ROUNDS] [SECONDS]
set -euo pipefail
here=$(dirname "$0")
a=${1:?BIN_DIR_A}
b=${2:?BIN_DIR_B}
rounds=${3:-4}
span=${4:-30}
command -v taskset >/dev/null || { echo "taskset is missing" >&2; exit 77; }
[ "$(nproc)" -ge 2 ] || { echo "needs two cores" >&2; exit 77; }
out=$(mktemp -d /tmp/vornak-pair.XXXXXX)
trap 'rm -rf "$out"' EXIT
preview() { sed -n 's/.*preview running.*run time \([0-9.]*\) %.*/\1/p' "$1"; }

for ((r = 1; r <= rounds; r++)); do
    ca=$(((r + 1) % 2))
    cb=$((r % 2))
    taskset -c "$ca" "$here/preview_cpu.sh" "$a" "$span" >"$out/a" 2>&1 &
    pa=$!
    taskset -c "$cb" "$here/preview_cpu.sh" "$b" "$span" >"$out/b" 2>&1 &
    pb=$!
    wait "$pa" || { cat "$out/a" >&2; exit 1; }
    wait "$pb" || { cat "$out/b" >&2; exit 1; }
    echo "round $r (A on core $ca, B on core $cb), % of one core: A $(preview "$out/a"), B $(preview "$out/b")"
done
