#!/usr/bin/env bash
# SPDX-License-Identifier: Apache-2.0
# The session bench under Wine: the display session against a minimal Win32 client, both on the
# Linux build's virtual display (--instant) at a mapped COM port. Figures are printed, for
# regressions: the pass never fails on them.
#   tests/wine/session-bench.sh BUILD_DIR QT_PREFIX LINUX_BUILD_DIR [ACTIONS per series]
set -euo pipefail
build=$1
qt=$2
linux=$3
actions=${4:-300}
source "$(dirname "$0")/wine-env.sh"
vyl_wine_dll_path "$qt"

vyl_scratch

vyl_start_display "$linux/tools/virtual-display/vyl-virtual-display" WinBench 49 \
    "$work/bench.out" --trace "$work/bench.trace" --instant --baud 19200
wine64 "$build/bench/vyl_session_bench.exe" COM49 19200 "$(vyl_wine_path "$work/bench.trace")" \
    "$actions" | tr -d '\r'
