#!/usr/bin/env bash
# Set-up, release build, then start Quillery Mini.
set -euo pipefail
cd "$(dirname "$0")"
source scripts/setup.sh

BUILD_DIR=build
if [ ! -f "$BUILD_DIR/CMakeCache.txt" ]; then
    cmake -S . -B "$BUILD_DIR" -G Ninja -DCMAKE_BUILD_TYPE=Release -DBUILD_TESTING=OFF
fi
cmake --build "$BUILD_DIR" -j2

if [ -x "$BUILD_DIR/QuilleryMini" ]; then
    if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
        echo "run.sh: no display found (DISPLAY and WAYLAND_DISPLAY are not set)." >&2
        echo "Start it from a desktop session, or under Xvfb: Xvfb :99 & DISPLAY=:99 ./run.sh" >&2
        exit 1
    fi
    exec "$BUILD_DIR/QuilleryMini"
fi

# Without the window, show the engine at work on a sample text.
printf '%s\r\n%s' '私は東京に行きました。' '春の雨が静かに降っています。' | iconv -f UTF-8 -t CP932 |
    "$BUILD_DIR/quillery-convert" --dictionary "$BUILD_DIR/velmo.dat" | iconv -f CP932 -t UTF-8
echo
