#!/usr/bin/env bash
# SPDX-License-Identifier: Apache-2.0
# Runs the whole suite many times in a row while a busy loop per core keeps the machine loaded,
# and reports every test that failed at least once, with how often.
#   scripts/flaky.sh [REPS] [--tsan]   REPS defaults to 20 (5 under --tsan)
# Builds incrementally in build/test (build/tsan with --tsan). The output of each run with a
# failure is kept in <build dir>/flaky/run-N.log.
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/build-modes.sh

mode=test
reps=
for arg in "$@"; do
    case "$arg" in
    --tsan) mode=tsan ;;
    *[!0-9]* | '')
        echo "usage: $0 [REPS] [--tsan]" >&2
        exit 2
        ;;
    *) reps=$arg ;;
    esac
done
[ -n "$reps" ] || { [ "$mode" = tsan ] && reps=5 || reps=20; }

vyl_build_mode "$mode"
vyl_build_configured
export QT_QPA_PLATFORM=offscreen
logs="$VYL_BUILD_DIR/flaky"
rm -rf "$logs"
mkdir -p "$logs"

declare -A failures=()
runs=0
load=()

report() {
    local name
    echo
    echo "== $runs loaded run(s) of the $mode build"
    if [ ${#failures[@]} -eq 0 ]; then
        echo "no test failed"
        return
    fi
    for name in "${!failures[@]}"; do
        printf '%3d/%d  %s\n' "${failures[$name]}" "$runs" "$name"
    done | sort -k2
    echo "logs: $logs"
}

finish() {
    local status=$?
    trap - EXIT INT TERM
    [ ${#load[@]} -gt 0 ] && kill "${load[@]}" 2>/dev/null
    wait 2>/dev/null
    report
    exit "$status"
}
trap finish EXIT
trap 'exit 130' INT
trap 'exit 143' TERM

# The load: one plain busy loop per core, at the tests' own priority.
for ((core = 0; core < $(nproc); ++core)); do
    (while :; do :; done) &
    load+=($!)
done

any=0
for ((run = 1; run <= reps; ++run)); do
    log="$logs/run-$run.log"
    start=$SECONDS
    status=0
    ctest --test-dir "$VYL_BUILD_DIR" --output-on-failure "${VYL_CTEST_OPTIONS[@]}" \
        >"$log" 2>&1 || status=$?
    runs=$run
    # ctest lists the failed tests at the end: "  12 - Suite.Name (Failed)".
    failed=$(sed -n '/^The following tests FAILED:/,$p' "$log" |
        sed -n 's/^[[:space:]]*[0-9][0-9]* - \(.*\) ([^()]*)$/\1/p')
    if [ -z "$failed" ] && [ "$status" -ne 0 ]; then
        failed="(ctest itself, exit $status)"
    fi
    if [ -z "$failed" ]; then
        rm -f "$log"
        echo "run $run/$reps: passed ($((SECONDS - start)) s)"
        continue
    fi
    any=1
    while IFS= read -r name; do
        failures[$name]=$((${failures[$name]:-0} + 1))
    done <<<"$failed"
    echo "run $run/$reps: failed ($((SECONDS - start)) s):" $failed
done
exit "$any"
