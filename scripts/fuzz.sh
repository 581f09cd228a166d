#!/usr/bin/env bash
# Builds the libFuzzer targets of tests/fuzz with clang in build-fuzz/ and runs each one.
#
#   scripts/fuzz.sh                 every target for QUILLERY_FUZZ_RUNS executions (1000000)
#   scripts/fuzz.sh --short         every target for QUILLERY_FUZZ_SECONDS seconds (5),
#                                   from the fixed seed QUILLERY_FUZZ_SEED (1)
#   scripts/fuzz.sh TARGET [ARGS]   one target, with extra libFuzzer arguments
#
# Each target starts from its seed corpus in tests/fuzz/corpus/<target>/ and keeps what
# it finds in build-fuzz/corpus/<target>/, so later runs go on from there; the seeds in
# the repository are never changed. An input that breaks a property or crashes is
# written to build-fuzz/artifacts/ and the script fails; copy it into the target's seed
# corpus, with the fix, so that ctest checks it from then on.
set -euo pipefail
cd "$(dirname "$0")/.."

BUILD_DIR=build-fuzz
TARGETS=(fuzz_keywords fuzz_profile fuzz_file_names)

mode=long
if [ "${1:-}" = "--short" ]; then
    mode=short
    shift
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
for target in "${TARGETS[@]}"; do
    corpus="$BUILD_DIR/corpus/$target"
    mkdir -p "$corpus"
    if [ "$mode" = short ]; then
        # A fixed seed: the short run in CI goes the same way every time, so it fails
        # only when the code changed; the long runs explore.
        limit=(-max_total_time="${QUILLERY_FUZZ_SECONDS:-5}" -seed="${QUILLERY_FUZZ_SEED:-1}")
    else
        limit=(-runs="${QUILLERY_FUZZ_RUNS:-1000000}")
    fi
    echo "== $target (${limit[*]})"
    start=$(date +%s)
    # libFuzzer's own report goes to its log; its last lines say how far it got.
    log="$BUILD_DIR/$target.log"
    if ! "$BUILD_DIR/tests/fuzz/$target" "${limit[@]}" -max_len=4096 -timeout=10 \
        -rss_limit_mb=2048 -print_final_stats=1 -artifact_prefix="$BUILD_DIR/artifacts/$target-" \
        "$@" "$corpus" "tests/fuzz/corpus/$target" >"$log" 2>&1; then
        tail -n 60 "$log"
        echo "fuzz.sh: $target failed; the input is in $BUILD_DIR/artifacts/" >&2
        exit 1
    fi
    runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log")
    echo "$target: $runs executions in $(($(date +%s) - start)) s, corpus $(ls "$corpus" | wc -l) files"
done
