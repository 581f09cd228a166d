#!/usr/bin/env bash
# Installs the Debian packages the project needs to build, test and run; does nothing
# when they are all there. Sourced by run.sh and test.sh.
set -euo pipefail

QUILLERY_PACKAGES=(
    # build
    cmake ninja-build g++ pkg-config
    qt6-base-dev qt6-base-dev-tools libgl-dev libxcb1-dev
    libgtest-dev libgmock-dev libbenchmark-dev
    # run: Qt's platform plugins and Japanese fonts, so no text shows as boxes
    qt6-qpa-plugins qt6-translations-l10n fonts-ipafont-gothic fonts-noto-cjk
    # test: fuzzing and sanitizers, desktop-file checks, a display for screenshots
    clang libclang-rt-14-dev desktop-file-utils appstream xvfb xauth x11-utils
    # desktop stage: a real window manager, and tools that drive windows from outside
    openbox xdotool wmctrl xclip x11-apps
)

quillery_missing_packages() {
    local pkg
    for pkg in "${QUILLERY_PACKAGES[@]}"; do
        if ! dpkg-query -W -f='${Status}' "$pkg" 2>/dev/null | grep -q 'install ok installed'; then
            echo "$pkg"
        fi
    done
}

quillery_setup() {
    local missing
    missing=$(quillery_missing_packages)
    [ -z "$missing" ] && return 0
    echo "Installing missing packages:" $missing
    local sudo=()
    [ "$(id -u)" -ne 0 ] && sudo=(sudo)
    "${sudo[@]}" apt-get update -qq
    # shellcheck disable=SC2086
    DEBIAN_FRONTEND=noninteractive "${sudo[@]}" apt-get install -y -qq --no-install-recommends $missing
}

quillery_setup
