#!/usr/bin/env bash
# check_no_iconv.sh CONVERTER SHIM: the converter needs no iconv. With every iconv_open
# refused (the preloaded SHIM) and no gconv modules to be found, code page 932 and UTF-8
# runs give the same bytes as without the shim, and iconv is not even asked.
set -uo pipefail
convert=$1
shim=$2
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }
mkdir "$work/no-gconv"

printf '\x8c\xea\r\n' >"$work/dict.txt"                             # 語
printf '\x93\x8c\x8b\x9e\x81\x60\x87\x54\xfa\x40\xf0\x40\r\n\x82\xa0' >"$work/in.txt" # 東京～Ⅰⅰ, user-defined, あ
printf '\xe8\xaa\x9e\r\n' >"$work/dict-utf8.txt"                    # 語
printf '東京〜12時−‖¢£¬—\n' >"$work/in-utf8.txt"

run() {  # run NAME ARGS...: the converter with and without the shim, compared
    local name=$1
    shift
    "$convert" "$@" >"$work/$name.plain" 2>"$work/$name.plain-err" ||
        fail "$name: the run without the shim failed: $(cat "$work/$name.plain-err")"
    rm -f "$work/iconv.log"
    LD_PRELOAD=$shim GCONV_PATH=$work/no-gconv QUILLERY_ICONV_LOG=$work/iconv.log \
        "$convert" "$@" >"$work/$name.out" 2>"$work/$name.err" ||
        fail "$name: the run without iconv failed: $(cat "$work/$name.err")"
    cmp -s "$work/$name.plain" "$work/$name.out" || fail "$name: other bytes without iconv"
    cmp -s "$work/$name.plain-err" "$work/$name.err" || fail "$name: other messages without iconv"
    [ ! -e "$work/iconv.log" ] || fail "$name: iconv was asked: $(cat "$work/iconv.log")"
}

run cp932 --dictionary "$work/dict.txt" --ratio 10 --seed 1 "$work/in.txt"
run utf8 --encoding utf-8 --dictionary "$work/dict-utf8.txt" --ratio 0 --seed 1 "$work/in-utf8.txt"

# The bytes themselves: a keyword before every phrase, every character kept.
expected=$(printf '\x8c\xea\x93\x8c\x8b\x9e\x81\x60\x87\x54\xfa\x40\xf0\x40\r\n\x82\xa0' | od -An -tx1)
[ "$(od -An -tx1 <"$work/cp932.out")" = "$expected" ] ||
    fail "code page 932 run gave: $(od -An -tx1 <"$work/cp932.out")"
[ "$(cat "$work/utf8.out")" = "東京〜12時−‖¢£¬—" ] || fail "UTF-8 run gave: $(cat "$work/utf8.out")"

# The shim does take iconv away from a program that calls it.
probe='import ctypes; f = ctypes.CDLL(None).iconv_open; f.restype = ctypes.c_void_p
print(f(b"CP932", b"UTF-8") in (None, 2**64 - 1))'
[ "$(/usr/bin/python3 -c "$probe")" = False ] || fail "iconv_open fails even without the shim"
[ "$(LD_PRELOAD=$shim QUILLERY_ICONV_LOG=$work/probe.log /usr/bin/python3 -c "$probe")" = True ] ||
    fail "iconv_open still opens with the shim"
[ -s "$work/probe.log" ] || fail "the shim did not log an attempt"

[ "$failures" -eq 0 ]
