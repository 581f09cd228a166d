#!/usr/bin/env bash
# Set-up, build, and every test; then the same tests built with AddressSanitizer and
# UndefinedBehaviorSanitizer, then with ThreadSanitizer, then a short run of each fuzz
# target, then the program in a real X window under a window manager (desktop). Any
# failure, and any sanitizer report, fails the run.
#
#   ./test.sh                  everything
#   ./test.sh plain asan       only the stages named: plain, asan, tsan, fuzz, desktop
#
# Each stage has a build folder of its own (build-test, build-asan, build-tsan,
# build-fuzz, build-desktop), configured only when it has no cache yet, so a second run only builds what
# changed.
set -euo pipefail
cd "$(dirname "$0")"
source scripts/setup.sh

stages=("$@")
[ ${#stages[@]} -eq 0 ] && stages=(plain asan tsan fuzz desktop)
for stage in "${stages[@]}"; do
    case $stage in
        plain | asan | tsan | fuzz | desktop) ;;
        *) echo "test.sh: unknown stage '$stage' (plain, asan, tsan, fuzz, desktop)" >&2; exit 2 ;;
    esac
done

configure() {
    local dir=$1
    shift
    if [ ! -f "$dir/CMakeCache.txt" ]; then
        cmake -S . -B "$dir" -G Ninja -DCMAKE_BUILD_TYPE=Debug -DQUILLERY_WARNINGS_AS_ERRORS=ON \
            -DQUILLERY_BUILD_BENCH=OFF "$@"
    fi
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
    configure build-test
    cmake --build build-test -j2
    ctest --test-dir build-test --output-on-failure -j2
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
stage_tsan() {
    configure build-tsan -DQUILLERY_SANITIZE=thread
    cmake --build build-tsan -j2
    TSAN_OPTIONS="halt_on_error=1:second_deadlock_stack=1:suppressions=$PWD/scripts/sanitizers/tsan.supp" \
        ctest --test-dir build-tsan --output-on-failure -j2 -E '^install_layout$'
}

stage_fuzz() {
    scripts/fuzz.sh --short
}

# The built program in Xvfb with openbox managing it, driven from outside by each
# executable tests/desktop/check-*.sh in name order (tests/desktop/lib.sh says what a check
# is given). QUILLERY_DISPLAY_BASE is the first display number tried (120).
stage_desktop() {
    configure build-desktop -DQUILLERY_BUILD_TESTS=OFF
    cmake --build build-desktop -j2 --target QuilleryMini quillery-convert
    scripts/desktop-session.sh "$PWD/build-desktop" tests/desktop
}

for stage in "${stages[@]}"; do
    run_stage "$stage"
done
echo "== test.sh: passed"
printf "   %s\n" "${timings[@]}"
