#!/usr/bin/env bash
# SPDX-License-Identifier: Apache-2.0
# Builds the fuzz targets with clang (libFuzzer, ASan, UBSan) in build/fuzz and runs each from
# its committed corpus for the given number of seconds (default 60; as many targets at a time as
# there are cores), then prints the executions and the coverage of every target. New inputs go
# to build/fuzz/corpus, never into the repository; an input that breaks a property is kept in
# build/fuzz/artifacts.
#   scripts/fuzz.sh [seconds]
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/packages.sh

seconds="${1:-60}"
case "$seconds" in
'' | *[!0-9]*)
    echo "usage: scripts/fuzz.sh [seconds per target]" >&2
    exit 2
    ;;
esac

vyl_ensure_packages

start=$SECONDS
dir=build/fuzz
cmake -S . -B "$dir" -G Ninja -DCMAKE_CXX_COMPILER=clang++ -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DVYL_FUZZ=ON -DVYL_WERROR=ON -DVYL_BUILD_TESTS=OFF -DVYL_BUILD_BENCH=OFF >/dev/null
cmake --build "$dir" --target fuzz_targets -j "$(nproc)"
built=$((SECONDS - start))

export ASAN_OPTIONS="abort_on_error=1:detect_leaks=1"
export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1"
export QT_QPA_PLATFORM=offscreen

# One target: its log in $dir/NAME.log, its exit status in $dir/NAME.status.
fuzz_one() {
    local name=$1 seeds=$2
    local work="$dir/corpus/$name" artifacts="$dir/artifacts/$name/" dict=() status=0
    mkdir -p "$work" "$artifacts"
    case "$name" in
    settings_document | settings_file | session_replies) dict=(-dict=fuzz/json.dict) ;;
    virtual_display) dict=(-dict=fuzz/frames.dict) ;;
    esac
    # -timeout: one input that takes this long counts as a hang.
    "$dir/fuzz/fuzz_$name" "${dict[@]}" -max_total_time="$seconds" -timeout=25 \
        -print_final_stats=1 -artifact_prefix="$artifacts" "$work" "$seeds" >"$dir/$name.log" 2>&1 ||
        status=$?
    echo "$status" >"$dir/$name.status"
}

# As many targets side by side as there are cores: each runs on one.
names=()
for seeds in fuzz/corpus/*/; do
    name="$(basename "$seeds")"
    names+=("$name")
    while [ "$(jobs -rp | wc -l)" -ge "$(nproc)" ]; do
        wait -n || true
    done
    echo "== fuzz_$name: $seconds s"
    rm -f "$dir/$name.status"
    fuzz_one "$name" "$seeds" &
done
wait

declare -a summary=()
passed=0
failed=0
for name in "${names[@]}"; do
    log="$dir/$name.log"
    status="$(cat "$dir/$name.status" 2>/dev/null || echo '?')"
    runs="$(sed -n 's/^stat::number_of_executed_units: *//p' "$log" | tail -1)"
    coverage="$(grep -Eo 'cov: [0-9]+ ft: [0-9]+' "$log" | tail -1 || true)"
    if [ "$status" = 0 ]; then
        verdict=ok
        passed=$((passed + 1))
    else
        verdict="FAILED (exit $status)"
        failed=$((failed + 1))
        tail -n 40 "$log"
        echo "reproducer in $dir/artifacts/$name/; full log in $log"
    fi
    summary+=("$(printf '%-28s %12s executions   %-22s %s' "fuzz_$name" "${runs:-?}" \
        "${coverage:-cov: ?}" "$verdict")")
done

echo
echo "Fuzzing, $seconds s per target:"
printf '%s\n' "${summary[@]}"
echo "time: $((SECONDS - start)) s ($built s of building)"
echo "fuzz: $passed passed, $failed failed"
[ "$failed" -eq 0 ]
