# SPDX-License-Identifier: Apache-2.0
# Sourced by the Windows pass: one Wine prefix and one wine server for the whole run.
# Wine re-points comN at /dev/ttyS* whenever its server starts, so the server stays up
# (wineserver -p) while ports are mapped; Mono and Gecko are never asked for.

export WINEPREFIX="${VYL_WINEPREFIX:-$PWD/build/windows/wine}"
export WINEDLLOVERRIDES="mscoree,mshtml="
export WINEDEBUG=-all
# Debian's wine64 keeps its programs here.
export PATH="/usr/lib/wine:$PATH"
# The tests compare English texts.
export LANG=C.UTF-8 LC_ALL=C.UTF-8

vyl_wine_start() {
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
}

# Usage: vyl_map_com N DEVICE — COMn opens DEVICE (a pty of the virtual display).
vyl_map_com() {
    ln -sfn "$2" "$WINEPREFIX/dosdevices/com$1"
}

# A Wine path (Z:\...) for a Linux path.
vyl_wine_path() {
    printf 'Z:%s' "$(realpath -m "$1" | tr / '\\')"
}
