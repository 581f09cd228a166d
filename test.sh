#!/usr/bin/env bash
# Set-up, build, and every test.
set -euo pipefail
cd "$(dirname "$0")"
source scripts/setup.sh

BUILD_DIR=build-test
if [ ! -f "$BUILD_DIR/CMakeCache.txt" ]; then
    cmake -S . -B "$BUILD_DIR" -G Ninja -DCMAKE_BUILD_TYPE=Debug \
        -DQUILLERY_WARNINGS_AS_ERRORS=ON -DQUILLERY_BUILD_BENCH=OFF
fi
cmake --build "$BUILD_DIR" -j2
ctest --test-dir "$BUILD_DIR" --output-on-failure -j2
