#!/usr/bin/env bash
# check_no_code_page_932.sh CONVERTER SHIM: on a system without a code page 932
# converter the converter refuses a code page 932 run, with status 1, a message and no
# output, instead of writing "?" for every character; a UTF-8 run does not need it.
set -uo pipefail
convert=$1
shim=$2
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }

printf '\x8c\xea\r\n' >"$work/dict.txt"   # 語 (code page 932)
printf '\xe8\xaa\x9e\r\n' >"$work/dict-utf8.txt"   # 語 (UTF-8)
printf '\x93\x8c\x8b\x9e\r\n' >"$work/in.txt"      # 東京

# The shim really takes the converter away: without it the same run succeeds.
"$convert" --dictionary "$work/dict.txt" --ratio 10 --seed 1 <"$work/in.txt" >"$work/plain.out" 2>/dev/null ||
    fail "the run without the shim failed"

LD_PRELOAD=$shim "$convert" --dictionary "$work/dict.txt" --ratio 10 --seed 1 \
    <"$work/in.txt" >"$work/out" 2>"$work/err"
status=$?
[ "$status" -eq 1 ] || fail "a code page 932 run ended with status $status, not 1"
[ ! -s "$work/out" ] || fail "a refused run wrote output: $(od -c "$work/out" | head -2)"
grep -q 'no code page 932 converter' "$work/err" || fail "no message: $(cat "$work/err")"

printf '\xe6\x9d\xb1\xe4\xba\xac\n' >"$work/in-utf8.txt"
LD_PRELOAD=$shim "$convert" --encoding utf-8 --dictionary "$work/dict-utf8.txt" --ratio 10 --seed 1 \
    <"$work/in-utf8.txt" >"$work/out-utf8" 2>/dev/null ||
    fail "a UTF-8 run failed without the code page 932 converter"
[ "$(cat "$work/out-utf8")" = "語東京" ] || fail "UTF-8 run gave: $(cat "$work/out-utf8")"

[ "$failures" -eq 0 ]
