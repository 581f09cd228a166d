#!/usr/bin/env bash
# Builds the libFuzzer targets of tests/fuzz with clang in build-fuzz/ and runs each one.
#
#   scripts/fuzz.sh                 every target for QUILLERY_FUZZ_RUNS executions (1000000)
#   scripts/fuzz.sh --short         every target for QUILLERY_FUZZ_SECONDS seconds (5),
#                                   from the fixed seed QUILLERY_FUZZ_SEED (1)
#   scripts/fuzz.sh --minutes N     every target for N minutes of wall time, all side by
#                                   side (so both cores work), each from its corpus; then
#                                   each target's execution count. A unit may take
#                                   QUILLERY_FUZZ_TIMEOUT (120) seconds of wall time
#   scripts/fuzz.sh TARGET [ARGS]   one target, with extra libFuzzer arguments (also after
#                                   --short or --minutes N)
#
# Each target starts from its seed corpus in tests/fuzz/corpus/<target>/ (a target built
# again against an engine variant, <target>_no_avx2 or _no_sse2, from the first's) and keeps what
# it finds in build-fuzz/corpus/<target>/, so later runs go on from there; the seeds in
# the repository are never changed. An input that breaks a property or crashes is
# written to build-fuzz/artifacts/ and the script fails; copy it into the target's seed
# corpus, with the fix, so that ctest checks it from then on.
set -euo pipefail
cd "$(dirname "$0")/.."

# Another folder (QUILLERY_FUZZ_BUILD_DIR) keeps a long run in the background apart from
# the short runs of the tests.
BUILD_DIR=${QUILLERY_FUZZ_BUILD_DIR:-build-fuzz}
TARGETS=(fuzz_keywords fuzz_profile fuzz_file_names fuzz_codec fuzz_conversion
    fuzz_conversion_no_avx2 fuzz_conversion_no_sse2)

mode=long
minutes=
if [ "${1:-}" = "--short" ]; then
    mode=short
    shift
elif [ "${1:-}" = "--minutes" ]; then
    mode=minutes
    minutes=${2:-}
    if ! [[ "$minutes" =~ ^[1-9][0-9]*$ ]]; then
        echo "fuzz.sh: --minutes takes a whole number of minutes, not '$minutes'" >&2
        exit 2
    fi
    shift 2
fi
if [ $# -gt 0 ]; then
    TARGETS=("$1")
    shift
fi

# Optimised, as libFuzzer wants it for speed, but with asserts and debug information. A
# fresh cache each time: the build is always the one written here.
cmake --fresh -S . -B "$BUILD_DIR" -G Ninja -DCMAKE_BUILD_TYPE=Debug -DCMAKE_CXX_FLAGS=-O2 \
    -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ -DBUILD_TESTING=ON \
    -DQUILLERY_BUILD_FUZZERS=ON "-DQUILLERY_SANITIZE=address;undefined" \
    -DQUILLERY_BUILD_UI=OFF -DQUILLERY_BUILD_BENCH=OFF -DQUILLERY_WARNINGS_AS_ERRORS=ON
cmake --build "$BUILD_DIR" -j2 --target "${TARGETS[@]}"

export ASAN_OPTIONS=halt_on_error=1:detect_leaks=1:detect_stack_use_after_return=1
export UBSAN_OPTIONS=halt_on_error=1:print_stacktrace=1

mkdir -p "$BUILD_DIR/artifacts"

# Runs one target with the given limit; libFuzzer's own report goes to its log, whose last
# lines say how far it got.
run_target() {
    local target=$1
    shift
    local corpus="$BUILD_DIR/corpus/$target"
    # A variant's seeds are its first target's, as tests/fuzz/CMakeLists.txt gives them.
    mkdir -p "$corpus"
    "$BUILD_DIR/tests/fuzz/$target" -timeout="$timeout" "$@" -max_len=4096 \
        -rss_limit_mb=2048 -print_final_stats=1 -artifact_prefix="$BUILD_DIR/artifacts/$target-" \
        "${extra[@]}" "$corpus" "tests/fuzz/corpus/${target%_no_*}" >"$BUILD_DIR/$target.log" 2>&1
}

# One line per target: how many executions, in how long, and what its corpus grew to.
report_target() {
    local target=$1 seconds=$2
    local runs
    runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$BUILD_DIR/$target.log")
    # A run stopped by a finding prints no final statistics: its last status line counts.
    [ -n "$runs" ] || runs=$(sed -n 's/^#\([0-9]*\).*/\1/p' "$BUILD_DIR/$target.log" | tail -n 1)
    echo "$target: ${runs:-?} executions in $seconds s, corpus $(ls "$BUILD_DIR/corpus/$target" | wc -l) files"
}

fail_target() {
    local target=$1
    tail -n 60 "$BUILD_DIR/$target.log"
    echo "fuzz.sh: $target failed; the input is in $BUILD_DIR/artifacts/" >&2
}

extra=("$@")
# libFuzzer's timeout is wall time. A long run is meant for the background (nice), where
# a busy machine can hold a unit of a tenth of a second back for longer than 10 s.
timeout=10
if [ "$mode" = minutes ]; then
    timeout=${QUILLERY_FUZZ_TIMEOUT:-120}
    # Side by side rather than one after another: each target gets the whole time, and
    # the machine's cores share the work.
    echo "== ${TARGETS[*]} side by side for $minutes min (-max_total_time=$((minutes * 60)))"
    start=$(date +%s)
    declare -A pids
    for target in "${TARGETS[@]}"; do
        run_target "$target" -max_total_time=$((minutes * 60)) &
        pids[$target]=$!
    done
    failed=()
    for target in "${TARGETS[@]}"; do
        if ! wait "${pids[$target]}"; then
            failed+=("$target")
        fi
    done
    seconds=$(($(date +%s) - start))
    for target in "${failed[@]}"; do
        fail_target "$target"
    done
    for target in "${TARGETS[@]}"; do
        report_target "$target" "$seconds"
    done
    [ ${#failed[@]} -eq 0 ] || exit 1
    exit 0
fi

for target in "${TARGETS[@]}"; do
    if [ "$mode" = short ]; then
        # A fixed seed: the short run in CI goes the same way every time, so it fails
        # only when the code changed; the long runs explore.
        limit=(-max_total_time="${QUILLERY_FUZZ_SECONDS:-5}" -seed="${QUILLERY_FUZZ_SEED:-1}")
    else
        limit=(-runs="${QUILLERY_FUZZ_RUNS:-1000000}")
    fi
    echo "== $target (${limit[*]})"
    start=$(date +%s)
    if ! run_target "$target" "${limit[@]}"; then
        fail_target "$target"
        exit 1
    fi
    report_target "$target" $(($(date +%s) - start))
done
