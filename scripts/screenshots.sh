#!/usr/bin/env bash
# SPDX-License-Identifier: Apache-2.0
# Makes the README's screenshots from the current program: builds it, starts a private X server
# (Xvfb) and the virtual display, runs VYL Setup in English and in Chinese (the language follows
# LANG) and captures each of its three pages into docs/screenshots/window-<lang>.png (the first
# page), window-<lang>-charset.png and window-<lang>-test.png.
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/packages.sh

vyl_ensure_packages xvfb x11-utils xdotool imagemagick

dir=build/demo
cmake -S . -B "$dir" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build "$dir" -j "$(nproc)" --target VYLSetup vyl-virtual-display

out=docs/screenshots
mkdir -p "$out"

# A free display number for the private X server.
screen=90
while [ -e "/tmp/.X11-unix/X$screen" ] || [ -e "/tmp/.X$screen-lock" ]; do
    screen=$((screen + 1))
done

pids=()
cleanup() {
    local pid
    for pid in "${pids[@]}"; do
        kill -TERM "$pid" 2>/dev/null || true
        wait "$pid" 2>/dev/null || true
    done
}
trap cleanup EXIT

Xvfb ":$screen" -screen 0 1280x1024x24 -nolisten tcp >/dev/null 2>&1 &
pids+=($!)
export DISPLAY=":$screen"
for _ in $(seq 50); do
    xwininfo -root >/dev/null 2>&1 && break
    sleep 0.1
done

# The port as a user of the demo sees it.
"$dir/tools/virtual-display/vyl-virtual-display" --port DemoDisplay --quiet >/dev/null &
pids+=($!)
sleep 0.5

capture() { # capture LANG NAME: window-NAME.png, window-NAME-charset.png, window-NAME-test.png
    local lang=$1 name=$2 id="" app page
    LANG=$lang LC_ALL= LANGUAGE= "$dir/app/vyl-setup" &
    app=$!
    for _ in $(seq 100); do
        id=$(xwininfo -root -tree | awk '/"VYL Setup v/ {print $1; exit}')
        [ -n "$id" ] && break
        sleep 0.1
    done
    if [ -z "$id" ]; then
        echo "The window did not appear ($lang)." >&2
        kill -TERM "$app" 2>/dev/null || true
        return 1
    fi
    sleep 1 # first paint
    import -window "$id" "$out/window-$name.png"
    # Focus into the first page (welcome line 1), then Ctrl+Tab to the next page.
    xdotool mousemove --window "$id" 400 313 click 1
    for page in charset test; do
        xdotool key ctrl+Tab
        sleep 0.5
        import -window "$id" "$out/window-$name-$page.png"
    done
    kill -TERM "$app" 2>/dev/null || true
    wait "$app" 2>/dev/null || true
    echo "wrote $out/window-$name*.png"
}

capture en_US.UTF-8 en
capture zh_CN.UTF-8 zh
