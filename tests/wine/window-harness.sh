#!/usr/bin/env bash
# SPDX-License-Identifier: Apache-2.0
# The window on the windows platform under Wine, on the run's X server (wine-env.sh), with the
# system's own messages (window_win32_tests.exe): the port list following the device-change
# broadcast, and the session's end during an action against the Linux build's virtual display
# on a mapped COM port (its answers held back, so that the action is still waiting when the
# session ends).
#   tests/wine/window-harness.sh BUILD_DIR QT_PREFIX LINUX_BUILD_DIR
set -euo pipefail
build=$1
qt=$2
linux=$3
source "$(dirname "$0")/wine-env.sh"
vyl_wine_dll_path "$qt"

vyl_scratch

echo "the window on the windows platform"
start=$SECONDS
vyl_start_display "$linux/tools/virtual-display/vyl-virtual-display" WinEnd 48 "$work/end.out" \
    --trace "$work/end.trace" --reply-delay 1500
program=$(find "$build/tests" -name window_win32_tests.exe -type f | head -n 1)
log="$build/tests/window_win32_tests.log"
rc=0
VYL_WINE_DISPLAY_PORT=COM48 \
    VYL_WINE_DISPLAY_TRACE="$(vyl_wine_path "$work/end.trace")" \
    wine64 "$program" -platform windows >"$log" 2>&1 || rc=$?
if [ "$rc" = 0 ]; then
    echo "passed: window_win32_tests.exe ($((SECONDS - start)) s; $(grep -c '^\[       OK' "$log") tests)"
else
    echo "FAILED: window_win32_tests.exe ($log)"
    grep -A12 'Failure\|FAILED' "$log" | head -n 60
fi
[ "$rc" = 0 ]
