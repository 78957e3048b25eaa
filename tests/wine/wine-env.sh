# SPDX-License-Identifier: Apache-2.0
# Sourced by the Windows pass: one Wine prefix, one wine server and one X server (Xvfb) for the
# whole run. The scripts beside it run inside that run (scripts/windows.sh starts it with
# vyl_wine_start); on their own they need it started first.
# Wine re-points comN at /dev/ttyS* whenever its server starts, so the server stays up
# (wineserver -p) while ports are mapped; Mono and Gecko are never asked for.

export WINEPREFIX="${VYL_WINEPREFIX:-$PWD/build/windows/wine}"
export WINEDLLOVERRIDES="mscoree,mshtml="
export WINEDEBUG=-all
# Debian's wine64 keeps its programs here.
export PATH="/usr/lib/wine:$PATH"
# The tests compare English texts.
export LANG=C.UTF-8 LC_ALL=C.UTF-8

# One X server for the whole run, started before any Wine program: the first program that
# needs Wine's desktop starts it on the X display it finds, and every later window of that
# server goes there (without one, nowhere).
vyl_wine_start() {
    vyl_start_xvfb
    export DISPLAY=$XVFB_SCREEN
    mkdir -p "$WINEPREFIX"
    # A server left by an earlier run of this prefix goes first: -p starts a new one.
    wineserver -k >/dev/null 2>&1 || true
    wineserver -p >>"$WINEPREFIX.server.log" 2>&1
    if [ ! -f "$WINEPREFIX/system.reg" ]; then
        wine64 wineboot -i >"$WINEPREFIX.boot.log" 2>&1
        # The window asks for Arial, which Wine does not have: its metric twin stands in, as
        # fontconfig has it do on Linux.
        wine64 reg add 'HKCU\Software\Wine\Fonts\Replacements' /v Arial /d 'Liberation Sans' \
            /f >>"$WINEPREFIX.boot.log" 2>&1
    fi
}

vyl_wine_stop() {
    wineserver -k >/dev/null 2>&1 || true
    [ -z "${XVFB_PID:-}" ] || kill "$XVFB_PID" 2>/dev/null || true
}

# Usage: vyl_map_com N DEVICE — COMn opens DEVICE (a pty of the virtual display).
vyl_map_com() {
    ln -sfn "$2" "$WINEPREFIX/dosdevices/com$1"
}

# Usage: vyl_scratch — a scratch folder in $work; at exit it goes, and so do the displays that
# vyl_start_display started.
vyl_display_pids=()
vyl_scratch() {
    work=$(mktemp -d)
    trap vyl_scratch_end EXIT
}
vyl_scratch_end() {
    local pid
    for pid in "${vyl_display_pids[@]}"; do kill "$pid" 2>/dev/null || true; done
    rm -rf "$work"
}

# Usage: vyl_start_display PROGRAM NAME COM_NUMBER OUT_FILE [display options...] — the Linux
# build's virtual display in the background, published as NAME; COM_NUMBER opens its pty. Sets
# DISPLAY_PTY.
vyl_start_display() {
    local program=$1 name=$2 com=$3 out=$4
    shift 4
    : >"$out"
    "$program" --port "$name" --quiet "$@" >"$out" 2>&1 &
    vyl_display_pids+=($!)
    local pty="" tries=0
    while [ -z "$pty" ] && [ $tries -lt 100 ]; do
        pty=$(sed -n 's/^Publishing port .* (\(.*\))$/\1/p' "$out")
        sleep 0.05
        tries=$((tries + 1))
    done
    [ -n "$pty" ] || { echo "the virtual display did not start" >&2; return 1; }
    vyl_map_com "$com" "$pty"
    DISPLAY_PTY=$pty
}

# Usage: vyl_start_xvfb — an X server on a free display number; sets XVFB_SCREEN (":N") and
# XVFB_PID.
vyl_start_xvfb() {
    local screen=71
    while [ -e "/tmp/.X11-unix/X$screen" ] || [ -e "/tmp/.X$screen-lock" ]; do
        screen=$((screen + 1))
    done
    Xvfb ":$screen" -screen 0 1280x1024x24 -nolisten tcp >/dev/null 2>&1 &
    XVFB_PID=$!
    XVFB_SCREEN=":$screen"
    local tries=0
    while [ ! -e "/tmp/.X11-unix/X$screen" ] && [ $tries -lt 50 ]; do
        sleep 0.1
        tries=$((tries + 1))
    done
}

# Usage: vyl_wine_dll_path QT_PREFIX — Qt's and the MinGW runtime's DLLs for programs that run
# from the build tree.
vyl_wine_dll_path() {
    export WINEPATH="$(vyl_wine_path "$1/bin");$(vyl_wine_path /usr/lib/gcc/x86_64-w64-mingw32/12-posix);$(vyl_wine_path /usr/x86_64-w64-mingw32/lib)"
}

# A Wine path (Z:\...) for a Linux path.
vyl_wine_path() {
    printf 'Z:%s' "$(realpath -m "$1" | tr / '\\')"
}

# The checks of the Wine scripts: check DESCRIPTION COMMAND... counts a failure in $failures
# and shows what the last vylctl run said ($work/out, $work/err) when there is one.
failures=0
not() { ! "$@"; }
check() {
    local what=$1
    shift
    if "$@"; then
        echo "  ok: $what"
    else
        echo "  FAILED: $what"
        failures=$((failures + 1))
        if [ -n "${work:-}" ]; then
            cat "$work/out" "$work/err" 2>/dev/null | sed 's/^/      /' | head -n 8
        fi
    fi
}
