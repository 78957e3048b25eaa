#!/usr/bin/env bash
# SPDX-License-Identifier: Apache-2.0
# Builds the Debian package from scratch in build/package and checks it:
#   build/package/vyl-setup_<version>_<arch>.deb
# lintian must report no errors, and the desktop entry and the AppStream metadata must validate.
# Install it with: sudo apt install ./build/package/vyl-setup_*.deb
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/packages.sh

vyl_ensure_packages file lintian desktop-file-utils appstream

dir=build/package
rm -rf "$dir"
# The tested optimisation level (-O2; GCC 12 gives false -Wrestrict warnings at -O3); cpack strips.
cmake -S . -B "$dir" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DVYL_WERROR=ON \
    -DVYL_BUILD_TESTS=OFF -DVYL_BUILD_BENCH=OFF
cmake --build "$dir" -j "$(nproc)"
(cd "$dir" && cpack -G DEB)

deb=$(find "$dir" -maxdepth 1 -name 'vyl-setup_*.deb' -print -quit)
[ -n "$deb" ] || { echo "no package was built" >&2; exit 1; }

desktop-file-validate packaging/*.desktop
appstreamcli validate --no-net packaging/*.metainfo.xml
# Errors fail the package; warnings are shown.
lintian --fail-on error --info "$deb"

echo "Package: $deb"
echo "Install: sudo apt install ./$deb"
