#!/usr/bin/env bash
# SPDX-License-Identifier: Apache-2.0
# Builds VYL Setup and the virtual display, starts the virtual display (it publishes the port
# "DemoDisplay", which the window lists and selects first), then starts the utility.
# Closing the utility ends the virtual display. The terminal shows the display's two lines and
# every frame it receives.
#   scripts/demo.sh [virtual display options...]     e.g. scripts/demo.sh --no-jpos
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/packages.sh

vyl_ensure_packages

if [ -z "${DISPLAY:-}${WAYLAND_DISPLAY:-}" ] && [ -z "${QT_QPA_PLATFORM:-}" ]; then
    echo "The demo opens a window: run it in a graphical session (DISPLAY is not set)." >&2
    exit 2
fi

dir=build/demo
cmake -S . -B "$dir" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build "$dir" -j "$(nproc)" --target VYLSetup vyl-virtual-display

port=DemoDisplay
display_program="$dir/tools/virtual-display/vyl-virtual-display"
utility="$dir/app/vyl-setup"

# The display says on its first line which port it published; the window lists the port only
# from then on, so wait for that line (5 s at most).
log=$(mktemp)
"$display_program" --port "$port" "$@" > >(tee "$log") &
display_pid=$!
stop_display() {
    if kill -0 "$display_pid" 2>/dev/null; then
        kill -TERM "$display_pid" 2>/dev/null || true
        wait "$display_pid" 2>/dev/null || true
    fi
    rm -f "$log"
}
trap stop_display EXIT
trap 'exit 130' INT TERM HUP

for _ in $(seq 50); do
    grep -q "^Publishing port" "$log" && break
    if ! kill -0 "$display_pid" 2>/dev/null; then
        echo "The virtual display did not start (is another demo holding \"$port\"?)." >&2
        exit 1
    fi
    sleep 0.1
done
if ! grep -q "^Publishing port" "$log"; then
    echo "The virtual display did not publish its port $port." >&2
    exit 1
fi

echo "VYL Setup: choose \"$port\" at 9600 (both are preselected) and press Get Setting."
"$utility"
