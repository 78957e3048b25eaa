#!/usr/bin/env bash
# SPDX-License-Identifier: Apache-2.0
# The installer under Wine: installed silently, its vylctl.exe run, its window started on the
# windows platform under Xvfb and closed, uninstalled silently; nothing may be left.
#   tests/wine/installer-check.sh SETUP_EXE [SCREENSHOT_PNG]
set -euo pipefail
setup=$1
screenshot=${2:-}
source "$(dirname "$0")/wine-env.sh"

folder="$WINEPREFIX/drive_c/Program Files/VYL Setup"
key='HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\VYL Setup'
in_list() { wine64 reg query "$key" >/dev/null 2>&1; }

echo "the installer under Wine"
wine64 "$setup" /S
check "installed under Program Files" [ -f "$folder/vyl-setup.exe" ] 
check "vylctl.exe beside the window's program" [ -f "$folder/vylctl.exe" ]
check "the windows platform, the windowsvista style, Qt's Chinese texts" \
    [ -f "$folder/plugins/platforms/qwindows.dll" -a -f "$folder/plugins/styles/qwindowsvistastyle.dll" \
    -a -f "$folder/translations/qtbase_zh_CN.qm" ]
check "listed in the installed programs" in_list
check "a Start-menu entry" [ -f "$WINEPREFIX/drive_c/ProgramData/Microsoft/Windows/Start Menu/Programs/VYL Setup.lnk" ]

version=$(wine64 "$folder/vylctl.exe" --version 2>/dev/null | tr -d '\r')
check "the installed vylctl.exe --version ($version)" [ -n "${version#vylctl }" ]
ports=0
wine64 "$folder/vylctl.exe" ports >/dev/null 2>&1 || ports=$?
check "the installed vylctl.exe ports (exit $ports)" [ "$ports" = 0 ]

# The window on the windows platform (the installer ships no other) on the run's X server.
wine64 "$folder/vyl-setup.exe" >/dev/null 2>&1 &
window=$!
sleep 10
check "the window runs" kill -0 "$window"
if [ -n "$screenshot" ]; then
    # No window manager: the window stands alone on a black screen, cut to its edges.
    import -window root "$screenshot"
    convert "$screenshot" -trim +repage "$screenshot"
fi
# Closing it as the session's end or the title bar's X does: WM_CLOSE.
wine64 taskkill /IM vyl-setup.exe >/dev/null 2>&1 || true
ended=1
for _ in $(seq 50); do
    kill -0 "$window" 2>/dev/null || { ended=0; break; }
    sleep 0.2
done
check "the window closes when asked" [ "$ended" = 0 ]
kill "$window" 2>/dev/null || true

wine64 "$folder/uninstall.exe" /S
# The uninstaller runs on from a copy of itself: wait for it to finish.
for _ in $(seq 100); do
    [ -e "$folder" ] || break
    sleep 0.3
done
check "nothing left in Program Files" [ ! -e "$folder" ]
check "no longer listed" not in_list
check "the Start-menu entry is gone" [ ! -e "$WINEPREFIX/drive_c/ProgramData/Microsoft/Windows/Start Menu/Programs/VYL Setup.lnk" ]
echo "installer check: $failures failed"
[ "$failures" = 0 ]
