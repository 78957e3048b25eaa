#!/usr/bin/env bash
# SPDX-License-Identifier: Apache-2.0
# Renders the icon's PNG sizes from its SVG (run after changing the SVG; the PNGs are kept in the
# repository so that a build needs no SVG renderer).
set -euo pipefail
cd "$(dirname "$0")"
id=io.github.vylsetup.VYLSetup
command -v rsvg-convert >/dev/null || { echo "rsvg-convert missing: apt-get install librsvg2-bin" >&2; exit 2; }
for size in 16 22 24 32 48 64 128 256; do
    dir="hicolor/${size}x${size}/apps"
    mkdir -p "$dir"
    rsvg-convert -w "$size" -h "$size" "hicolor/scalable/apps/$id.svg" -o "$dir/$id.png"
done
