# SPDX-License-Identifier: Apache-2.0
# Sourced by the developer commands: installs the Debian packages the build needs.

VYL_PACKAGES=(
    build-essential cmake ninja-build pkg-config
    qt6-base-dev libfontconfig-dev nlohmann-json3-dev libssl-dev libicu-dev
    libgtest-dev libbenchmark-dev
    # scripts/fuzz.sh: clang, and libFuzzer, which comes only with the recommends otherwise
    clang libclang-rt-14-dev
    fonts-liberation2 fonts-wqy-microhei qt6-translations-l10n
)

# Usage: vyl_ensure_packages [extra packages...]
vyl_ensure_packages() {
    local wanted=("${VYL_PACKAGES[@]}" "$@") missing=() pkg
    for pkg in "${wanted[@]}"; do
        if [ "$(dpkg-query -W -f='${Status}' "$pkg" 2>/dev/null)" != 'install ok installed' ]; then
            missing+=("$pkg")
        fi
    done
    [ ${#missing[@]} -eq 0 ] && return 0
    # --no-install-recommends: the recommends bring a GTK platform theme that swaps Qt's
    # file dialogs for native ones.
    local line="apt-get install -y --no-install-recommends ${missing[*]}"
    if [ "$(id -u)" -ne 0 ]; then
        echo "Missing Debian packages: ${missing[*]}" >&2
        echo "Install them as root, then run this command again:" >&2
        echo "    sudo apt-get update && sudo $line" >&2
        exit 2
    fi
    echo "Installing: ${missing[*]}"
    apt-get update
    DEBIAN_FRONTEND=noninteractive $line
}
