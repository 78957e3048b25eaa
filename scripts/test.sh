#!/usr/bin/env bash
# SPDX-License-Identifier: Apache-2.0
# Builds everything from scratch and runs every test.
#   scripts/test.sh              release build with warnings as errors (build/test)
#   scripts/test.sh --sanitize   the same suite under ASan+UBSan, no benchmarks (build/asan)
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/packages.sh

mode=test
[ "${1:-}" = "--sanitize" ] && mode=asan

vyl_ensure_packages

dir="build/$mode"
rm -rf "$dir"
opts=(-G Ninja -DVYL_WERROR=ON)
if [ "$mode" = asan ]; then
    opts+=(-DCMAKE_BUILD_TYPE=Debug -DVYL_SANITIZE=ON -DVYL_BUILD_BENCH=OFF)
    export ASAN_OPTIONS="detect_leaks=1:abort_on_error=1"
    export LSAN_OPTIONS="suppressions=$PWD/tests/lsan.supp:print_suppressions=0"
    export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1"
else
    opts+=(-DCMAKE_BUILD_TYPE=RelWithDebInfo)
fi
cmake -S . -B "$dir" "${opts[@]}"
cmake --build "$dir" -j "$(nproc)"
export QT_QPA_PLATFORM=offscreen
ctest --test-dir "$dir" -j 2 --output-on-failure --timeout 300
