#!/usr/bin/env bash
# SPDX-License-Identifier: Apache-2.0
# Builds everything from scratch and runs every test.
#   scripts/test.sh              release build with warnings as errors (build/test)
#   scripts/test.sh --sanitize   the same suite under ASan+UBSan, no benchmarks (build/asan)
#   scripts/test.sh --tsan       the suites where threads meet under ThreadSanitizer (build/tsan)
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/packages.sh
source scripts/build-modes.sh

mode=test
[ "${1:-}" = "--sanitize" ] && mode=asan
[ "${1:-}" = "--tsan" ] && mode=tsan

vyl_ensure_packages

vyl_build_mode "$mode"
rm -rf "$VYL_BUILD_DIR"
vyl_build_configured
export QT_QPA_PLATFORM=offscreen
ctest --test-dir "$VYL_BUILD_DIR" --output-on-failure "${VYL_CTEST_OPTIONS[@]}"
