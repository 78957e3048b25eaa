#!/usr/bin/env bash
# SPDX-License-Identifier: Apache-2.0
# vylctl.exe under Wine against the Linux build's virtual display: the display's pty is mapped
# to a high COM number (Wine keeps COM1..COM4 for /dev/ttyS*), and the display's trace and the
# Linux vylctl's results are what vylctl.exe is held to. This covers the Win32 port component
# (open, DCB, overlapped reads and writes, the arrival watch, a vanished line), the session and
# the command line on Windows.
#   tests/wine/vylctl-harness.sh VYLCTL_EXE LINUX_BUILD_DIR
set -euo pipefail
vylctl_exe=$1
linux=$2
source "$(dirname "$0")/wine-env.sh"

display="$linux/tools/virtual-display/vyl-virtual-display"
vylctl_linux="$linux/cli/vylctl"
vyl_scratch

# Usage: start_display NAME COM_NUMBER [display options...] — sets DISPLAY_PTY, the pty that
# COM_NUMBER now opens (the Linux vylctl opens it by its path); the trace is $work/NAME.trace.
start_display() {
    local name=$1 com=$2
    shift 2
    vyl_start_display "$display" "$name" "$com" "$work/$name.out" --trace "$work/$name.trace" "$@"
}

# Usage: win_vylctl ARGS... — vylctl.exe's standard output in $work/out, errors in $work/err,
# exit status in $rc.
win_vylctl() {
    rc=0
    wine64 "$vylctl_exe" "$@" >"$work/out" 2>"$work/err" || rc=$?
    tr -d '\r' <"$work/out" >"$work/out.unix" && mv "$work/out.unix" "$work/out"
    tr -d '\r' <"$work/err" >"$work/err.unix" && mv "$work/err.unix" "$work/err"
}

echo "vylctl.exe against the virtual display"

start_display WinA 41 --baud 19200
pty_a=$DISPLAY_PTY
start_display WinB 42 --baud 9600

start=$SECONDS
win_vylctl --version
check "--version names the version resource's version" grep -qx 'vylctl [0-9]*\.[0-9]*\.[0-9]*' "$work/out"

win_vylctl find --port COM41
check "find at 19200 (exit 0)" [ "$rc" = 0 ]
check "find at 19200 reports the speed" grep -q $'^COM41\t19200\t' "$work/out"
win_vylctl find --port COM42
check "find at 9600 reports the speed" grep -q $'^COM42\t9600\t' "$work/out"

win_vylctl get --port COM41 --baud 19200
check "get (exit 0)" [ "$rc" = 0 ]
check "get shows the display's values" grep -qx 'BaudRate: 19200' "$work/out"

win_vylctl set --port COM41 --baud 19200 brightness=50% line1=WINE
check "set with read-back (exit 0)" [ "$rc" = 0 ]
check "the display received the welcome line" grep -q 'RX .* 57 49 4E 45' "$work/WinA.trace"
win_vylctl get --port COM41 --baud 19200 --json
check "the new brightness reads back" grep -q '"back_light": *2' "$work/out"

# The same display saved by both programs: the files are the same bytes.
win_vylctl save --port COM41 --baud 19200 "$(vyl_wine_path "$work/windows.ini")"
check "save (exit 0)" [ "$rc" = 0 ]
"$vylctl_linux" save --quiet --port "$pty_a" --baud 19200 "$work/linux.ini"
check "save writes the Linux build's bytes" cmp -s "$work/windows.ini" "$work/linux.ini"

# A display that vanishes mid-exchange: the Linux build's outcome (exit status, message).
start_display WinGone 43 --baud 19200 --hangup-after 1
win_vylctl get --port COM43 --baud 19200
win_rc=$rc
win_err=$(grep -v '^vylctl: searching' "$work/err" || true)
start_display LinuxGone 44 --baud 19200 --hangup-after 1
linux_rc=0
"$vylctl_linux" get --port "$DISPLAY_PTY" --baud 19200 >/dev/null 2>"$work/linux.err" || linux_rc=$?
check "a vanished display ends as on Linux (exit $linux_rc)" [ "$win_rc" = "$linux_rc" ]
check "... with the same message" [ "$win_err" = "$(grep -v '^vylctl: searching' "$work/linux.err" || true)" ]

# Ctrl-C in the pause after welcome line 1. Wine's own SIGINT handler calls the console's
# control routine with CTRL_C_EVENT, as a console's Ctrl-C does; a job that bash starts in the
# background ignores SIGINT, hence the job control around it.
start_display WinCtrlC 45 --baud 19200
set -m
wine64 "$vylctl_exe" set --port COM45 --baud 19200 line1=Interrupted >"$work/out" 2>"$work/err" &
interrupted=$!
set +m
frames() { grep -c ' RX ' "$work/WinCtrlC.trace" || true; }
for _ in $(seq 400); do
    [ "$(frames)" -ge 4 ] && break # handshake's request, request, handshake, line 1
    sleep 0.05
done
frames_then=$(frames)
kill -INT "$interrupted"
rc=0
wait "$interrupted" || rc=$?
sleep 1
tr -d '\r' <"$work/err" >"$work/err.unix" && mv "$work/err.unix" "$work/err"
check "Ctrl-C ends the action: exit 130 (after $frames_then frames)" [ "$rc" = 130 ]
check "... saying so" grep -q 'interrupted' "$work/err"
check "... with no further frame" [ "$(frames)" = "$frames_then" ]
win_vylctl get --port COM45 --baud 19200
check "... and the port free again" [ "$rc" = 0 ]
# Left out: CTRL_CLOSE_EVENT, CTRL_LOGOFF_EVENT and CTRL_SHUTDOWN_EVENT. Wine 8 calls no
# console handler when its console window is closed (wineconsole, WM_CLOSE to conhost), and
# SIGHUP or SIGTERM end a Wine process without one (tried).
echo "  skipped: closing the console, logging off, shutting down (Wine calls no console handler for them)"

win_vylctl get --port COM77 --baud 19200
check "a missing port: the open failure (exit 3)" [ "$rc" = 3 ]
check "... with the system's reason" grep -q '(error 2)' "$work/err"

# The language follows GetSystemDefaultLangID(): Chinese for 0x0804 only. Wine takes the
# system language from the process's locale variables. The program's own words are the last
# line (the system's text above them follows the system's language in both cases).
han() { tail -n 1 "$work/err" | grep -qP '[\x{4E00}-\x{9FFF}]'; }
# The first program Wine starts under a new locale may run while Wine rewrites its locale
# settings: one start under each goes first.
for locale in zh_CN zh_TW; do
    LC_ALL=$locale.UTF-8 LANG=$locale.UTF-8 wine64 "$vylctl_exe" --version >/dev/null 2>&1 || true
done
LC_ALL=zh_CN.UTF-8 LANG=zh_CN.UTF-8 wine64 "$vylctl_exe" get --port COM77 --baud 19200 \
    >/dev/null 2>"$work/err" || true
check "Chinese (PRC): the messages are Chinese" han
LC_ALL=zh_TW.UTF-8 LANG=zh_TW.UTF-8 wine64 "$vylctl_exe" get --port COM77 --baud 19200 \
    >/dev/null 2>"$work/err" || true
check "Chinese (Taiwan): the messages are English" not han

# Left out: a port held by another program. Wine opens a serial device for a second program
# while the first holds it (Windows refuses with ERROR_ACCESS_DENIED); the mapping of that
# error is tested in win32_tests.
echo "  skipped: a port held by another program (Wine does not refuse the second open)"

echo "harness: $((SECONDS - start)) s, $failures failed"
[ "$failures" = 0 ]
