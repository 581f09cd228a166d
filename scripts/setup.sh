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
    # test: what a screen reader sees, through the accessibility bus on a session bus
    at-spi2-core python3-pyatspi dbus-bin
    # test on Windows: a cross compiler (posix threads, for std::thread), GoogleTest's
    # source to build with it, Wine to run the result, and localedef's data for the
    # Japanese locale Wine takes its code page from
    g++-mingw-w64-x86-64-posix googletest wine wine64 locales
    # the Debian package: dpkg-shlibdeps for its dependencies, lintian, man for its pages
    dpkg-dev lintian man-db groff-base
    # test: setpriv, to run the permission tests as an ordinary user
    util-linux
    # benchmarks: GNU time, for the converter's own peak memory
    time
    # desktop stage: a real window manager, and tools that drive windows from outside
    openbox xdotool wmctrl xclip x11-apps
    # web stage: the WebAssembly tool chain, node to test with, a browser to drive
    emscripten nodejs chromium
)

quillery_missing_packages() {
    local pkg
    for pkg in "${QUILLERY_PACKAGES[@]}"; do
        if ! dpkg-query -W -f='${Status}' "$pkg" 2>/dev/null | grep -q 'install ok installed'; then
            echo "$pkg"
        fi
    done
    # npm is a package of its own in Debian, but part of some other builds of nodejs,
    # which then conflict with Debian's: asked for only when there is no npm at all.
    command -v npm >/dev/null 2>&1 || echo npm
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
