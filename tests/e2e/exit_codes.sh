#!/usr/bin/env bash
# The ends of vornak that show no window: each ends with its own code and one line on stderr naming the cause,
# never silently with 0.
# Usage: exit_codes.sh BIN_DIR
set -euo pipefail
bin=$(cd "$1" && pwd)
scratch=$(mktemp -d /tmp/vornak-exits.XXXXXX)
trap 'rm -rf "$scratch"' EXIT
mkdir -p "$scratch/run" "$scratch/home"
chmod 700 "$scratch/run"
failures=0

# expect CODE PATTERN ENV... -- ARGS...: runs vornak with a clean environment plus ENV.
expect() {
    local code=$1 pattern=$2
    shift 2
    local env=()
    while [ "$1" != -- ]; do env+=("$1"); shift; done
    shift
    local rc=0 err
    err=$(env -i PATH="$PATH" HOME="$scratch/home" XDG_RUNTIME_DIR="$scratch/run" \
        XDG_CONFIG_HOME="$scratch/home/.config" "${env[@]}" timeout 20 "$bin/vornak" "$@" 2>&1 >/dev/null) || rc=$?
    local lines
    lines=$(grep -c . <<<"$err" || true)
    if [ "$rc" = "$code" ] && grep -qi -- "$pattern" <<<"$err" && [ "$lines" = 1 ]; then
        echo "ok: vornak $* ends with $code: $err"
    else
        echo "FAILED: vornak $* (${env[*]}) ended with $rc, expected $code and one line matching '$pattern': $err" >&2
        failures=$((failures + 1))
    fi
}

expect 2 "--library needs" -- --simulate --library
expect 4 "no display" -- --simulate
expect 3 "nothing-here" QT_QPA_PLATFORM=offscreen -- --library "$scratch/nothing-here.so"
expect 3 "Init" QT_QPA_PLATFORM=offscreen -- --library "$bin/libPortHubNoInit.so"
expect 3 "RequestStatusGet" QT_QPA_PLATFORM=offscreen -- --library "$bin/libPortHubIncomplete.so"
exit $((failures > 0))
