#!/usr/bin/env bash
# Builds the Debian package of Quillery Mini: a release build in build-deb/ with Debian's
# compiler and linker flags (dpkg-buildflags: hardening, fortified functions), then
# cpack -G DEB, then the package's checks (tests/package/check_package.sh, lintian among
# them). The package is left in build-deb/.
#
#   scripts/build-deb.sh
#   sudo apt install ./build-deb/quillery-mini_*.deb
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/setup.sh

build=build-deb
# CMake takes CXXFLAGS and LDFLAGS from the environment only when it makes a cache: a
# fresh one every time, so that the build always has Debian's flags of the day.
eval "$(DEB_BUILD_MAINT_OPTIONS=hardening=+all dpkg-buildflags --export=sh)"
CXXFLAGS="$CPPFLAGS $CXXFLAGS" cmake --fresh -S . -B "$build" -G Ninja \
    -DCMAKE_BUILD_TYPE=Release -DBUILD_TESTING=OFF
cmake --build "$build" -j2
rm -f "$build"/quillery-mini_*.deb
(cd "$build" && cpack -G DEB)

version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$build/CMakeCache.txt")
id=$(basename res/desktop/*.desktop.in .desktop.in)
bash tests/package/check_package.sh "$build/quillery-mini_${version}_$(dpkg --print-architecture).deb" \
    . "$id" "$version"
echo "The package: $(ls "$build"/quillery-mini_*.deb)"
