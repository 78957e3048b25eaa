#!/usr/bin/env bash
# SPDX-License-Identifier: Apache-2.0
# Builds the Debian package from scratch in build/package and checks it:
#   build/package/vyl-setup_<version>_<arch>.deb
# lintian must report no errors, and the desktop entry and the AppStream metadata must validate.
# Install it with: sudo apt install ./build/package/vyl-setup_*.deb
#   scripts/package.sh --install-check   (as root, for CI) then installs the package with apt,
#       starts the installed programs, and removes the package and whatever it brought along
#   --from DIR   packages the programs of the release build in DIR (scripts/test.sh's
#       build/test, just tested) instead of building them again
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/packages.sh

install_check=false
from=
while [ $# -gt 0 ]; do
    case "$1" in
        --install-check) install_check=true ;;
        --from) from=${2:?--from needs a build folder}; shift ;;
        *) echo "usage: scripts/package.sh [--install-check] [--from BUILD_DIR]" >&2; exit 2 ;;
    esac
    shift
done

vyl_ensure_packages file lintian desktop-file-utils appstream

if [ -n "$from" ]; then
    dir=$from
    grep -q '^CMAKE_BUILD_TYPE:STRING=RelWithDebInfo$' "$dir/CMakeCache.txt" ||
        { echo "$dir: not a release build" >&2; exit 1; }
    rm -f "$dir"/vyl-setup_*.deb
else
    dir=build/package
    rm -rf "$dir"
    # The tested optimisation level (-O2; GCC 12 gives false -Wrestrict warnings at -O3).
    cmake -S . -B "$dir" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DVYL_WERROR=ON \
        -DVYL_BUILD_TESTS=OFF -DVYL_BUILD_BENCH=OFF
fi
cmake --build "$dir" -j "$(nproc)"
# cpack strips the programs.
(cd "$dir" && cpack -G DEB)

deb=$(find "$dir" -maxdepth 1 -name 'vyl-setup_*.deb' -print -quit)
[ -n "$deb" ] || { echo "no package was built" >&2; exit 1; }

desktop-file-validate packaging/*.desktop
appstreamcli validate --no-net packaging/*.metainfo.xml
# Errors fail the package; warnings are shown.
lintian --fail-on error --info "$deb"

echo "Package: $deb"
echo "Install: sudo apt install ./$deb"
"$install_check" || exit 0

# ---- install, run, remove: the machine is left with the packages it had.
installed_packages() {
    dpkg-query -W -f='${binary:Package} ${db:Status-Abbrev}\n' | awk '$2 ~ /^ii/ {print $1}' |
        LC_ALL=C sort
}
before=$(mktemp)
installed_packages > "$before"
remove_again() {
    local added
    DEBIAN_FRONTEND=noninteractive apt-get purge -y vyl-setup >/dev/null || true
    added=$(installed_packages | LC_ALL=C comm -13 "$before" - | tr '\n' ' ')
    if [ -n "$added" ]; then
        echo "Removing what the package brought along: $added"
        DEBIAN_FRONTEND=noninteractive apt-get purge -y $added >/dev/null
    fi
    rm -f "$before"
}
trap remove_again EXIT

# What the package depends on comes from the archive; old package lists may miss it.
if ! DEBIAN_FRONTEND=noninteractive apt-get install -y --no-install-recommends "./$deb"; then
    apt-get update
    DEBIAN_FRONTEND=noninteractive apt-get install -y --no-install-recommends "./$deb"
fi
dpkg -L vyl-setup | grep -E '^/usr/(bin|share/(applications|metainfo|man))/' | sort

# The window starts offscreen and closes cleanly when the session ends it (SIGTERM closes it
# through the event loop; the handler is in place once the window is shown).
QT_QPA_PLATFORM=offscreen vyl-setup &
window=$!
for _ in $(seq 300); do
    caught=$(awk '/^SigCgt:/ {print $2}' "/proc/$window/status" 2>/dev/null || true)
    [ -n "$caught" ] && (( (16#$caught >> 14) & 1 )) && break # bit 15: SIGTERM
    kill -0 "$window" 2>/dev/null || break
    sleep 0.1
done
kill -TERM "$window" 2>/dev/null || true
status=0
wait "$window" || status=$?
[ "$status" -eq 0 ] || { echo "vyl-setup ended with status $status" >&2; exit 1; }
echo "vyl-setup: started and closed"

# Captured, not piped into grep -q: grep stops reading at the first match and the program
# would die of SIGPIPE, which pipefail turns into a failed check.
help=$(vyl-virtual-display --help)
[[ "$help" == "Usage: vyl-virtual-display"* ]] || { echo "vyl-virtual-display --help: $help" >&2; exit 1; }
echo "vyl-virtual-display --help: ok"
version=$(vylctl --version)
[[ "$version" == "vylctl "* ]] || { echo "vylctl --version: $version" >&2; exit 1; }
# The installed command line reads the installed virtual display.
display_log=$(mktemp)
vyl-virtual-display --port PackageCheck --quiet > "$display_log" 2>&1 &
display=$!
for _ in $(seq 100); do
    grep -q '^Publishing port' "$display_log" && break
    sleep 0.1
done
summary=$(vylctl --port PackageCheck --baud 9600 get) || true
kill -TERM "$display" 2>/dev/null || true
wait "$display" || true
rm -f "$display_log"
[[ "$summary" == "Model: VYL Virtual Display"* ]] ||
    { echo "vylctl get against the virtual display: $summary" >&2; exit 1; }
echo "vylctl: --version and get: ok"
