#!/usr/bin/env bash
# Set-up, build, and every test; then the same tests built with AddressSanitizer and
# UndefinedBehaviorSanitizer, then with ThreadSanitizer, then a short run of each fuzz
# target, then the engine, settings and converter cross-built for Windows and tested under
# Wine, then the program in a real X window under a window manager (desktop), then the
# page built to WebAssembly and driven in headless chromium (web). Any failure, and any
# sanitizer report, fails the run.
#
#   ./test.sh                  everything
#   ./test.sh plain asan       only the stages named: plain, asan, tsan, fuzz, windows,
#                              desktop, web
#
# Each stage has a build folder of its own (build-test, build-asan, build-tsan,
# build-fuzz, build-windows, build-release, build-web; the desktop stage uses build-test),
# configured
# afresh from the options written here every time (a few seconds), so that the build is
# always the one described here whatever its cache held; a second run still only
# compiles what changed.
set -euo pipefail
cd "$(dirname "$0")"
source scripts/setup.sh

stages=("$@")
[ ${#stages[@]} -eq 0 ] && stages=(plain asan tsan fuzz windows desktop web)
for stage in "${stages[@]}"; do
    case $stage in
        plain | asan | tsan | fuzz | windows | desktop | web) ;;
        *) echo "test.sh: unknown stage '$stage' (plain, asan, tsan, fuzz, windows, desktop, web)" >&2; exit 2 ;;
    esac
done

# --fresh: a new cache from these options alone, nothing left from an earlier command line.
configure() {
    local dir=$1
    shift
    cmake --fresh -S . -B "$dir" -G Ninja -DCMAKE_BUILD_TYPE=Debug -DBUILD_TESTING=ON \
        -DQUILLERY_WARNINGS_AS_ERRORS=ON -DQUILLERY_BUILD_BENCH=OFF "$@"
}

# build-test also compiles the benchmarks (they are run by hand, not here), so that they
# keep building; the other stages leave them out.
configure_test_build() {
    configure build-test -DQUILLERY_BUILD_BENCH=ON
}

timings=()
run_stage() {
    local stage=$1
    local start=$SECONDS
    echo "== test.sh: $stage"
    "stage_$stage"
    timings+=("$stage $((SECONDS - start)) s")
}

stage_plain() {
    configure_test_build
    cmake --build build-test -j2
    # Left out of the default build, but it must keep compiling.
    cmake --build build-test -j2 --target WindowTrial
    ctest --test-dir build-test --output-on-failure -j2
    # The README's install commands, with GoogleTest and Google Benchmark hidden from CMake.
    bash tests/install/check_release_build.sh build-release
}

# No recovery: the first report ends the test program. Leaks are reported at exit.
stage_asan() {
    configure build-asan "-DQUILLERY_SANITIZE=address;undefined"
    cmake --build build-asan -j2
    ASAN_OPTIONS=halt_on_error=1:detect_leaks=1:detect_stack_use_after_return=1:check_initialization_order=1:strict_init_order=1 \
        UBSAN_OPTIONS=halt_on_error=1:print_stacktrace=1 \
        ctest --test-dir build-asan --output-on-failure -j2
}

# Qt's own synchronisation is invisible to ThreadSanitizer; scripts/sanitizers/tsan.supp
# says what that leaves out. The install test only checks installed files and is left
# to the other stages.
#
# The permission tests run their probe as nobody, and ThreadSanitizer stops a program that
# cannot read its suppressions file: they get a copy every user may read, since the
# checkout may lie in a folder only root can enter.
stage_tsan() {
    configure build-tsan -DQUILLERY_SANITIZE=thread
    cmake --build build-tsan -j2
    local readable status=0
    readable=$(mktemp -d)
    chmod 0755 "$readable"
    install -m 0644 scripts/sanitizers/tsan.supp "$readable/tsan.supp"
    TSAN_OPTIONS="halt_on_error=1:second_deadlock_stack=1:suppressions=$readable/tsan.supp" \
        ctest --test-dir build-tsan --output-on-failure -j2 -E '^install_layout$' || status=$?
    rm -rf "$readable"
    return "$status"
}

stage_fuzz() {
    scripts/fuzz.sh --short
}

# The engine, the settings library, the converter, the Windows window and their tests
# cross-built with mingw-w64 and run under Wine with the Japanese code page 932 (the Qt
# program is not cross-built); the window in a real X session (scripts/windows-desktop.sh)
# and the Windows ZIP checked. The Linux build in build-test gives the reference: the Windows build must
# give the same code page 932 mapping, line for line (the Linux dump is kept in
# build-windows/native/), and the same bytes for the README's worked example. Wine gets a prefix of its own in build-windows/
# and, when the system has no ja_JP.UTF-8 locale, one made there; nothing system-wide
# changes.
stage_windows() {
    local dir=$PWD/build-windows
    configure_test_build
    cmake --build build-test -j2 --target cp932_mapping_dump quillery-convert
    mkdir -p "$dir/native"
    build-test/tests/engine/cp932_mapping_dump "$dir/native/cp932-mapping.txt"

    configure build-windows -DCMAKE_TOOLCHAIN_FILE=cmake/toolchains/mingw-w64-x86_64.cmake \
        -DQUILLERY_BUILD_UI=OFF -DQUILLERY_CP932_REFERENCE="$dir/native/cp932-mapping.txt"
    cmake --build build-windows -j2
    local wine_env=(env -u DISPLAY -u WAYLAND_DISPLAY WINEPREFIX="$dir/wineprefix" WINEDEBUG=-all
        WINEDLLOVERRIDES="mscoree,mshtml=" LANG=ja_JP.UTF-8 LC_ALL=ja_JP.UTF-8)
    if ! locale -a 2>/dev/null | grep -qiE '^ja_JP\.utf-?8$'; then
        if [ ! -d "$dir/locale/ja_JP.UTF-8" ]; then
            mkdir -p "$dir/locale"
            localedef -i ja_JP -f UTF-8 "$dir/locale/ja_JP.UTF-8"
        fi
        wine_env+=(LOCPATH="$dir/locale")
    fi
    if [ ! -f "$dir/wineprefix/system.reg" ]; then
        "${wine_env[@]}" wineboot -i
    fi
    local code_page
    code_page=$("${wine_env[@]}" wine "$dir/tests/windows_code_page.exe" | tr -d '\r')
    if [ "$code_page" != 932 ]; then
        echo "test.sh: Wine runs with the ANSI code page '$code_page', not 932: the windows" \
            "stage needs the ja_JP.UTF-8 locale (LANG=ja_JP.UTF-8)" >&2
        return 1
    fi
    echo "Wine: ANSI code page $code_page"

    # The window's tests need a display: they run in the X session below.
    "${wine_env[@]}" ctest --test-dir build-windows --output-on-failure -j2 -LE display

    # The README's worked example with Japanese file names, byte for byte on both streams.
    local work="$dir/example" linux_convert=$PWD/build-test/quillery-convert
    rm -rf "$work" && mkdir -p "$work"
    printf '私は東京に行きました。' | iconv -t CP932 >"$work/入力.txt"
    printf 'X' >"$work/辞書.dat"
    printf 'X私はX東京に行きました。' | iconv -t CP932 >"$work/expected.out"
    printf '変換終了： [挿入文節2 / 総文節3 = 挿入率66.7%%] [解析行1] [辞書の単語1個] [出力13文字]\n' \
        >"$work/expected.err"
    (cd "$work" && "$linux_convert" --dictionary 辞書.dat --ratio 5 --seed 1 入力.txt \
        >linux.out 2>linux.err)
    (cd "$work" && "${wine_env[@]}" wine "$dir/quillery-convert.exe" --dictionary 辞書.dat \
        --ratio 5 --seed 1 入力.txt >windows.out 2>windows.err)
    local stream
    for stream in out err; do
        cmp "$work/expected.$stream" "$work/linux.$stream"
        cmp "$work/expected.$stream" "$work/windows.$stream"
    done
    echo "worked example: the same bytes on standard output and standard error under Wine"
    "${wine_env[@]}" wineserver -k 2>/dev/null || true

    # The Windows window in Xvfb with openbox, and its ZIP.
    "${wine_env[@]}" QUILLERY_NATIVE_CONVERT="$linux_convert" scripts/windows-desktop.sh build-windows
    scripts/check-windows-zip.sh build-windows
}

# The built program in Xvfb with openbox managing it, driven from outside by each
# executable tests/desktop/check_*.sh in name order (tests/desktop/lib.sh says what a check
# is given). QUILLERY_DISPLAY_BASE is the first display number tried (120).
stage_desktop() {
    configure_test_build
    cmake --build build-test -j2 --target QuilleryMini quillery-convert no_iconv
    scripts/desktop-session.sh "$PWD/build-test" tests/desktop
}

# The page (web/): the engine, the settings record and the window rules built to
# WebAssembly with Debian's emscripten into build-web/page/, and the converter of
# build-test as the reference. A node differential then compares the page's
# runs with the converter's, byte for byte, and the page is driven in headless chromium
# (/usr/bin/chromium, no browser downloaded) by playwright-core, pinned in
# tests/web/package-lock.json and installed by npm ci into build-web/npm/. The page test
# leaves its screenshot in build-web/page.png.
stage_web() {
    local dir=$PWD/build-web
    # emscripten's link step takes acorn from Debian's node modules.
    export NODE_PATH=/usr/share/nodejs:$dir/npm/node_modules
    emcmake cmake --fresh -S . -B "$dir/wasm" -G Ninja -DCMAKE_BUILD_TYPE=Release \
        -DBUILD_TESTING=OFF -DQUILLERY_WARNINGS_AS_ERRORS=ON -DQUILLERY_PAGE_DIR="$dir/page"
    cmake --build "$dir/wasm" -j2
    configure_test_build
    cmake --build build-test -j2 --target quillery-convert
    local convert=$PWD/build-test/quillery-convert
    mkdir -p "$dir/npm"
    cp tests/web/package.json tests/web/package-lock.json "$dir/npm/"
    (cd "$dir/npm" && npm ci --no-audit --no-fund --prefer-offline --loglevel=error)
    QUILLERY_PAGE_DIR="$dir/page" node tests/web/differential.js "$convert" 1000
    QUILLERY_PAGE_DIR="$dir/page" QUILLERY_CONVERT="$convert" \
        QUILLERY_SHOT="$dir/page.png" node tests/web/page-test.js
}

for stage in "${stages[@]}"; do
    run_stage "$stage"
done
echo "== test.sh: passed"
printf "   %s\n" "${timings[@]}"
