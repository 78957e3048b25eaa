#!/usr/bin/env bash
# SPDX-License-Identifier: Apache-2.0
# The Windows build, cross-compiled on Debian:
#   scripts/windows.sh          Qt for Windows (built once, then taken from the cache), the
#                               project for Windows (build/windows), its tests under Wine, the
#                               installer and the portable zip (build/windows/dist), and the
#                               installer's silent install, run and uninstall under Wine
#   scripts/windows.sh qt       only Qt for Windows
# Qt 6.4.2 for Windows is built from Debian's own qtbase source into
# ${XDG_CACHE_HOME:-~/.cache}/vyl-setup/qt-6.4.2-mingw-<hash of version and options>.
# The Windows tests need the virtual display, a Linux program: it comes from $VYL_LINUX_BUILD
# (default build/test, which scripts/test.sh builds) when that holds it, else from
# build/windows-host.
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/packages.sh

VYL_WINDOWS_PACKAGES=(
    g++-mingw-w64-x86-64-posix gcc-mingw-w64-x86-64-posix dpkg-dev
    wine64 libgnutls30 nsis zip xvfb xauth googletest qt6-base-dev-tools imagemagick
)

VYL_QT_VERSION=6.4.2
VYL_CACHE="${XDG_CACHE_HOME:-$HOME/.cache}/vyl-setup"
VYL_TOOLCHAIN="$PWD/cmake/mingw-w64-x86_64.cmake"

# What the project uses of qtbase; everything else is left out to keep the build short.
# tabletevent: Debian's source leaves out the third-party wintab.h the platform plugin needs.
# dynamicgl: with OpenGL off, 6.4.2's platform plugin still compiles its dynamic-GL path.
VYL_QT_OPTIONS=(
    -DCMAKE_BUILD_TYPE=Release
    -DQT_HOST_PATH=/usr
    -DQT_HOST_PATH_CMAKE_DIR=/usr/lib/x86_64-linux-gnu/cmake
    -DQT_BUILD_EXAMPLES=OFF -DQT_BUILD_TESTS=OFF -DQT_BUILD_BENCHMARKS=OFF
    -DFEATURE_sql=OFF -DFEATURE_network=OFF -DFEATURE_dbus=OFF -DFEATURE_opengl=OFF
    -DFEATURE_icu=OFF -DFEATURE_printsupport=OFF -DFEATURE_concurrent=OFF -DFEATURE_xml=OFF
    -DFEATURE_vulkan=OFF -DFEATURE_jpeg=OFF -DFEATURE_gif=OFF -DFEATURE_ico=OFF
    -DFEATURE_direct2d=OFF -DFEATURE_tabletevent=OFF -DFEATURE_dynamicgl=OFF
    -DFEATURE_testlib=ON
    -DFEATURE_system_zlib=OFF -DFEATURE_system_pcre2=OFF -DFEATURE_system_freetype=OFF
    -DFEATURE_system_harfbuzz=OFF -DFEATURE_system_png=OFF
    -DFEATURE_system_doubleconversion=OFF
)

# qtbase 6.4.2 builds its DirectWrite font database only together with Direct2D, which nothing
# here needs, but the Windows platform plugin refers to it whenever DirectWrite 3 is there: the
# plugin asks for both, and uses the GDI font database (its default) without Direct2D. (No part
# of the cache's key: a build without it never completes.)
VYL_QT_SOURCE_FIX='s/^#if QT_CONFIG(directwrite3)$/#if QT_CONFIG(directwrite3) \&\& QT_CONFIG(direct2d)/'

vyl_qt_prefix() {
    local hash
    hash=$({
        echo "$VYL_QT_VERSION"
        printf '%s\n' "${VYL_QT_OPTIONS[@]}"
        cat "$VYL_TOOLCHAIN"
    } | sha256sum | cut -c1-12)
    echo "$VYL_CACHE/qt-$VYL_QT_VERSION-mingw-$hash"
}

# Debian's source packages need a deb-src entry; a file of its own leaves the system's
# sources as they are.
vyl_ensure_qt_source_entry() {
    local list=/etc/apt/sources.list.d/vyl-setup-deb-src.sources
    if apt-get source --print-uris qt6-base >/dev/null 2>&1; then
        return 0
    fi
    if [ "$(id -u)" -ne 0 ]; then
        echo "Qt's source needs a deb-src entry for bookworm main; as root, write $list:" >&2
        printf '    Types: deb-src\n    URIs: http://deb.debian.org/debian\n    Suites: bookworm\n    Components: main\n    Signed-By: /usr/share/keyrings/debian-archive-keyring.gpg\n' >&2
        echo "and run apt-get update, then this command again." >&2
        exit 2
    fi
    cat >"$list" <<'SOURCES'
Types: deb-src
URIs: http://deb.debian.org/debian
Suites: bookworm
Components: main
Signed-By: /usr/share/keyrings/debian-archive-keyring.gpg
SOURCES
    apt-get update
}

# Usage: vyl_qt_for_windows — sets VYL_QT_PREFIX, building Qt first unless it is cached.
vyl_qt_for_windows() {
    VYL_QT_PREFIX=$(vyl_qt_prefix)
    if [ -f "$VYL_QT_PREFIX/.complete" ]; then
        echo "Qt for Windows: $VYL_QT_PREFIX (cached)"
        return 0
    fi
    vyl_ensure_qt_source_entry
    local work="$VYL_QT_PREFIX.work" start=$SECONDS
    rm -rf "$work" "$VYL_QT_PREFIX"
    mkdir -p "$work" "$VYL_QT_PREFIX"
    # The installed qt.toolchain.cmake chains the toolchain file it was configured with: keep
    # a copy beside the installation so that the cache does not depend on this checkout.
    cp "$VYL_TOOLCHAIN" "$VYL_QT_PREFIX/mingw-w64-x86_64.cmake"
    (cd "$work" && apt-get source --download-only qt6-base && dpkg-source -x qt6-base_*.dsc src)
    sed -i "$VYL_QT_SOURCE_FIX" "$work/src/src/plugins/platforms/windows/qwindowsintegration.cpp"
    echo "Qt for Windows: building into $VYL_QT_PREFIX (log: $work/build.log)"
    {
        cmake -S "$work/src" -B "$work/build" -G Ninja \
            -DCMAKE_TOOLCHAIN_FILE="$VYL_QT_PREFIX/mingw-w64-x86_64.cmake" \
            -DCMAKE_INSTALL_PREFIX="$VYL_QT_PREFIX" "${VYL_QT_OPTIONS[@]}" &&
            cmake --build "$work/build" --parallel "$(nproc)" &&
            cmake --install "$work/build"
    } >"$work/build.log" 2>&1 || {
        tail -n 40 "$work/build.log" >&2
        echo "Qt for Windows: the build failed; the whole log is $work/build.log" >&2
        return 1
    }
    echo "$((SECONDS - start)) s" >"$VYL_QT_PREFIX/.complete"
    rm -rf "$work"
    echo "Qt for Windows: built in $((SECONDS - start)) s"
}

VYL_WIN_BUILD=build/windows
VYL_MINGW_DLLS=(
    /usr/lib/gcc/x86_64-w64-mingw32/12-posix/libstdc++-6.dll
    /usr/lib/gcc/x86_64-w64-mingw32/12-posix/libgcc_s_seh-1.dll
    /usr/x86_64-w64-mingw32/lib/libwinpthread-1.dll
)

vyl_build_project_for_windows() {
    cmake -S . -B "$VYL_WIN_BUILD" -G Ninja -DVYL_WERROR=ON \
        -DCMAKE_TOOLCHAIN_FILE="$VYL_QT_PREFIX/lib/cmake/Qt6/qt.toolchain.cmake" \
        -DCMAKE_BUILD_TYPE=Release "-DCMAKE_CXX_FLAGS_RELEASE=-O2 -DNDEBUG"
    cmake --build "$VYL_WIN_BUILD" -j "$(nproc)" --target VYLSetup vylctl windows_tests \
        vyl_session_bench
}

# The virtual display and vylctl of a Linux build (the harness compares the two vylctl).
vyl_linux_tools() {
    VYL_LINUX_BUILD=${VYL_LINUX_BUILD:-build/test}
    if [ ! -x "$VYL_LINUX_BUILD/tools/virtual-display/vyl-virtual-display" ] ||
        [ ! -x "$VYL_LINUX_BUILD/cli/vylctl" ]; then
        VYL_LINUX_BUILD=build/windows-host
        # -O2 as the test builds: GCC 12 warns falsely about std::string at -O3.
        cmake -S . -B "$VYL_LINUX_BUILD" -G Ninja -DVYL_WERROR=ON -DVYL_BUILD_TESTS=OFF \
            -DCMAKE_BUILD_TYPE=Release "-DCMAKE_CXX_FLAGS_RELEASE=-O2 -DNDEBUG"
        cmake --build "$VYL_LINUX_BUILD" -j "$(nproc)" --target vyl-virtual-display vylctl
    fi
}

# The folder that is installed (and zipped): the programs, Qt's DLLs, the windows platform
# and the windowsvista style, Qt's Chinese texts, the MinGW runtime, the licence.
vyl_stage() {
    VYL_STAGE="$VYL_WIN_BUILD/stage"
    rm -rf "$VYL_STAGE"
    mkdir -p "$VYL_STAGE/plugins/platforms" "$VYL_STAGE/plugins/styles" "$VYL_STAGE/translations"
    cp "$VYL_WIN_BUILD/app/vyl-setup.exe" "$VYL_WIN_BUILD/cli/vylctl.exe" "$VYL_STAGE/"
    local dll
    for dll in Qt6Core Qt6Gui Qt6Widgets; do
        cp "$VYL_QT_PREFIX/bin/$dll.dll" "$VYL_STAGE/"
    done
    cp "${VYL_MINGW_DLLS[@]}" "$VYL_STAGE/"
    cp "$VYL_QT_PREFIX/plugins/platforms/qwindows.dll" "$VYL_STAGE/plugins/platforms/"
    cp "$VYL_QT_PREFIX/plugins/styles/qwindowsvistastyle.dll" "$VYL_STAGE/plugins/styles/"
    cp /usr/share/qt6/translations/qtbase_zh_CN.qm "$VYL_STAGE/translations/"
    cp packaging/windows/qt.conf "$VYL_STAGE/"
    cp "$VYL_WIN_BUILD/packaging/windows/vyl-setup.ico" "$VYL_STAGE/"
    sed 's/$/\r/' LICENSE >"$VYL_STAGE/LICENSE.txt"
    x86_64-w64-mingw32-strip "$VYL_STAGE"/*.exe
}

vyl_package() {
    local version dist
    version=$(sed -n 's/^project(VYLSetup VERSION \([0-9]*\.[0-9]*\.[0-9]*\).*/\1/p' CMakeLists.txt)
    dist="$VYL_WIN_BUILD/dist"
    rm -rf "$dist"
    mkdir -p "$dist"
    VYL_INSTALLER="$dist/VYL-Setup-$version-win64-setup.exe"
    makensis -V2 -DVERSION="$version" -DSTAGE="$(realpath "$VYL_STAGE")" \
        -DOUTFILE="$(realpath "$dist")/VYL-Setup-$version-win64-setup.exe" \
        packaging/windows/vyl-setup.nsi
    (cd "$VYL_STAGE" && zip -qr9 "../dist/VYL-Setup-$version-win64.zip" .)
    ls -l "$dist"
}

main() {
    vyl_ensure_packages "${VYL_WINDOWS_PACKAGES[@]}"
    local start=$SECONDS
    vyl_qt_for_windows
    [ "${1:-}" = qt ] && return 0
    vyl_build_project_for_windows
    vyl_linux_tools
    vyl_stage
    source tests/wine/wine-env.sh
    vyl_wine_start
    trap vyl_wine_stop EXIT
    tests/wine/run-windows-tests.sh "$VYL_WIN_BUILD" "$VYL_QT_PREFIX"
    tests/wine/window-harness.sh "$VYL_WIN_BUILD" "$VYL_QT_PREFIX" "$VYL_LINUX_BUILD"
    tests/wine/vylctl-harness.sh "$VYL_STAGE/vylctl.exe" "$VYL_LINUX_BUILD"
    # Figures for regressions, never a reason to fail the pass.
    tests/wine/session-bench.sh "$VYL_WIN_BUILD" "$VYL_QT_PREFIX" "$VYL_LINUX_BUILD" 300 ||
        echo "session bench under Wine: did not run to its end"
    vyl_package
    # VYL_WINDOWS_SCREENSHOT=docs/screenshots/window-windows.png keeps a picture of the window.
    tests/wine/installer-check.sh "$VYL_INSTALLER" "${VYL_WINDOWS_SCREENSHOT:-}"
    echo "Windows pass: $((SECONDS - start)) s"
}

main "$@"
