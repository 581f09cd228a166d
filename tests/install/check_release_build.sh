#!/usr/bin/env bash
# Runs the install commands of the README (its "Installing" section) as a new user would,
# with GoogleTest and Google Benchmark hidden from CMake: a release build must need
# neither. The README's build folder becomes BUILD_DIR and its prefix a temporary folder;
# everything else is taken as written there. Then checks that the installed copy is whole.
#
# usage: check_release_build.sh BUILD_DIR   (run from the source folder)
set -euo pipefail

build=$1

fail() {
    echo "FAIL: $*" >&2
    exit 1
}

tmp=$(mktemp -d "${TMPDIR:-/tmp}/quillery-release.XXXXXX")
trap 'rm -rf "$tmp"' EXIT
prefix="$tmp/prefix"

# The first code block after the heading "## Installing".
awk '/^## Installing/ {section = 1; next} /^## / {section = 0}
     section && /^```/ {if (block) exit; block = 1; next}
     block {print}' README.md >"$tmp/commands"
[ "$(wc -l <"$tmp/commands")" -eq 3 ] ||
    fail "the README's install section does not hold three commands: $(cat "$tmp/commands")"

while read -r -a words; do
    [ "${words[0]}" = cmake ] || fail "not a cmake command in the README: ${words[*]}"
    command=()
    for word in "${words[@]}"; do
        # The README's own words are matched, '~/.local' included, not expanded.
        # shellcheck disable=SC2088
        case $word in
            build) command+=("$build") ;;
            '~/.local') command+=("$prefix") ;;
            *) command+=("$word") ;;
        esac
    done
    case ${words[1]} in
        -S)
            grep -qx -- '-DCMAKE_BUILD_TYPE=Release' <(printf '%s\n' "${words[@]}") ||
                fail "the README's configure command is no release build: ${words[*]}"
            # A fresh cache, as in a new clone; the test-only packages out of reach.
            command+=(--fresh -DCMAKE_DISABLE_FIND_PACKAGE_GTest=ON
                -DCMAKE_DISABLE_FIND_PACKAGE_benchmark=ON)
            ;;
        --install) ;;
        --build) ;;
        *) fail "unexpected command in the README: ${words[*]}" ;;
    esac
    echo "== ${command[*]}"
    "${command[@]}" >"$tmp/log" 2>&1 || {
        cat "$tmp/log" >&2
        fail "${command[*]}"
    }
done <"$tmp/commands"

grep -q '^BUILD_TESTING:BOOL=OFF$' "$build/CMakeCache.txt" || fail "the release build has tests"
grep -q '^QUILLERY_BUILD_BENCH:BOOL=OFF$' "$build/CMakeCache.txt" ||
    fail "the release build has benchmarks"

appdir="$prefix/lib/quillery-mini"
for file in QuilleryMini quillery-convert velmo.dat QuilleryMini.installed help/index.html; do
    [ -f "$appdir/$file" ] || fail "the install holds no $appdir/$file"
done
version=$("$prefix/bin/quillery-convert" --version) || fail "the installed converter does not run"
echo "installed from the README's commands: $version"
