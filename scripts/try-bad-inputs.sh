#!/usr/bin/env bash
# Tries the bad inputs listed in docs/bad-inputs.md for real and prints what happened:
# dictionaries through quillery-convert and through the window, settings files through
# the window (loaded at start, saved on closing with Yes), input texts through the window.
# The window runs on the offscreen platform, driven by scripts/bad-inputs/WindowTrial.cpp.
#
#   scripts/try-bad-inputs.sh [BUILD_DIR]
#
# BUILD_DIR (default build-test) is a build without sanitizers that has built
# quillery-convert; the window driver is built there on demand. A Release build gives the
# figures of the table.
# The permission cases need a user whose permissions count: as root they run as nobody.
set -euo pipefail
cd "$(dirname "$0")/.."
source=$PWD
build=$(cd "${1:-build-test}" && pwd)
convert="$build/quillery-convert"
for file in "$convert" "$build/CMakeCache.txt"; do
    [ -e "$file" ] || { echo "try-bad-inputs.sh: $file is missing; build first" >&2; exit 1; }
done

work=$(mktemp -d "${TMPDIR:-/tmp}/quillery-bad.XXXXXX")
chmod 755 "$work"
trap 'chmod -R u+rwx "$work"; rm -rf "$work"' EXIT
cd "$work"

cmake --build "$build" --target WindowTrial >/dev/null
cp "$build/scripts/bad-inputs/WindowTrial" WindowTrial
chmod 755 WindowTrial

sjis() { iconv -f UTF-8 -t CP932; }
TIMEFORMAT='%R s'
as_user=()
[ "$(id -u)" -eq 0 ] && as_user=(setpriv --reuid=65534 --regid=65534 --clear-groups env HOME=/tmp)

# --- Inputs ---
printf '私は東京に行きました。\r\n春の雨が静かに降っています。' | sjis >text.txt
cp "$convert" binary.dat
: >empty.dat
printf '\x1a' >ctrl-z.dat
head -c 100000000 /dev/zero | tr '\0' A >one-line-100mb.dat
seq 1 100000 | sed 's/^/語/; s/$/\r/' | sjis >lines-100k.dat
printf '\x81\r\n\xff\xfe\xa0\r\n\x85\x40\r\nX\x88\r\n' >invalid-cp932.dat
printf 'まさに\r\n静かな\r\n' >utf-8.dat
printf 'まさに\r\n静かな\r\n' | iconv -f UTF-8 -t UTF-16 >utf-16.dat
mkdir folder.dat
printf '%s' "$source/res/velmo.dat" >velmo.name
sentence=$(printf '吾輩は猫である。名前はまだ無い。どこで生れたかとんと見当がつかぬ。\r\n' | sjis)
for _ in $(seq 1 20); do printf '%s' "$sentence"; done >block.txt
for _ in $(seq 1 8); do cat block.txt block.txt block.txt block.txt block.txt; done >b100.txt
: >input-50mb.txt
while [ "$(stat -c %s input-50mb.txt)" -lt 52428800 ]; do cat b100.txt b100.txt b100.txt b100.txt >>input-50mb.txt; done
(yes '東京の雨、' || true) | head -n 200000 | tr -d '\n' | sjis >million-character-line.txt
head -c 20000000 /dev/urandom | tr -d '\000' >junk.txt

echo "== Dictionaries through quillery-convert"
for name in binary empty ctrl-z one-line-100mb lines-100k invalid-cp932 utf-8 utf-16 folder; do
    set +e
    { time timeout 120 "$convert" --dictionary "$name.dat" --seed 1 --ratio 10 text.txt \
        >out.txt 2>err.txt; } 2>time.txt
    rc=$?
    set -e
    printf '%-16s exit %d, %s, %6d bytes out; %s; output: %s\n' "$name" "$rc" "$(cat time.txt)" \
        "$(stat -c %s out.txt)" "$(tail -n 1 err.txt)" \
        "$(head -c 120 out.txt | iconv -f CP932 -t UTF-8 -c | tr '\r\n' '  ')"
done

echo "== Dictionaries through the window"
window_convert() {
    local label=$1 name_file=$2 input=$3
    set +e
    { time timeout 300 ./WindowTrial convert "$name_file" "$input" >trial.txt 2>/dev/null; } 2>time.txt
    local rc=$?
    set -e
    printf '%-24s exit %d, %s: %s\n' "$label" "$rc" "$(cat time.txt)" "$(tr '\n' ';' <trial.txt)"
}
for name in empty ctrl-z folder binary utf-16 invalid-cp932; do
    printf '%s' "$work/$name.dat" >name.txt
    window_convert "$name" name.txt text.txt
done
printf '%s/\xff\x81.dat' "$work" >name.txt
window_convert "unconvertible path" name.txt text.txt
printf '%s/missing.dat' "$work" >name.txt
window_convert "missing file" name.txt text.txt

echo "== Input texts through quillery-convert and the window"
for input in input-50mb million-character-line junk; do
    set +e
    { time timeout 300 "$convert" --dictionary "$source/res/velmo.dat" --seed 1 "$input.txt" \
        >out.txt 2>err.txt; } 2>time.txt
    rc=$?
    set -e
    printf '%-24s converter exit %d, %s: %s\n' "$input" "$rc" "$(cat time.txt)" "$(tail -n 1 err.txt)"
    window_convert "$input" velmo.name "$input.txt"
done

echo "== quillery-convert --encoding utf-8"
iconv -f CP932 -t UTF-8 "$source/res/velmo.dat" >velmo-utf-8.dat
printf '\xef\xbb\xbf' >bom-only.dat
(yes '東京の雨、' || true) | head -n 200000 | tr -d '\n' >million-character-line-utf-8.txt
iconv -f CP932 -t UTF-8 input-50mb.txt | sed 's/\r$//' >input-50mb-utf-8.txt
utf8_case() {
    local label=$1 dictionary=$2 input=$3
    set +e
    { time timeout 300 "$convert" --encoding utf-8 --dictionary "$dictionary" --seed 1 \
        --ratio 10 "$input" >out.txt 2>err.txt; } 2>time.txt
    rc=$?
    set -e
    printf '%-28s exit %d, %s, %9d bytes out; %s\n' "$label" "$rc" "$(cat time.txt)" \
        "$(stat -c %s out.txt)" "$(tail -n 1 err.txt)"
}
for name in binary bom-only one-line-100mb invalid-cp932 utf-16 velmo-utf-8; do
    utf8_case "dictionary $name" "$name.dat" million-character-line-utf-8.txt
done
for input in text input-50mb-utf-8 million-character-line-utf-8 junk; do
    utf8_case "input $input" velmo-utf-8.dat "$input.txt"
done

echo "== Settings files through the window"
# The lines of a settings file that are not entries of the thirteen keys.
others() {
    grep -a -v -i -E '^[[:blank:]]*(Data|Ratio|WindowRatio|BlackBackgrownd|EditReadOnly|XPos|YPos|Width|Height|InsertMark|UseRandom|RandomSeed|NewestRandomSeed)[[:blank:]]*=' "$1" |
        tr -d '\r' || true
}
settings_case() {
    local label=$1 user=$2
    local dir="$work/settings-$label"
    cp "$dir/QuilleryMini.ini" before.ini 2>/dev/null || cp /dev/null before.ini
    local run=(./WindowTrial settings)
    [ "$user" = user ] && run=("${as_user[@]}" "$dir/WindowTrial" settings)
    set +e
    { time (cd "$dir" && timeout 300 "${run[@]}" >"$work/trial.txt" 2>/dev/null); } 2>time.txt
    local rc=$?
    set -e
    local after=missing
    if [ -r "$dir/QuilleryMini.ini" ]; then
        after="$(stat -c %s "$dir/QuilleryMini.ini") bytes"
        # Every other line is still there (new section headers may have been added).
        if [ -z "$(LC_ALL=C comm -23 <(others before.ini | LC_ALL=C sort) \
            <(others "$dir/QuilleryMini.ini" | LC_ALL=C sort) | head -c 1)" ]; then
            after+=", other lines kept"
        else
            after+=", OTHER LINES LOST"
        fi
        cmp -s before.ini "$dir/QuilleryMini.ini" && after+=", unchanged"
    fi
    printf '%-20s exit %d, %s; before %s bytes, after %s; %s\n' "$label" "$rc" "$(cat time.txt)" \
        "$(stat -c %s before.ini)" "$after" \
        "$(grep -E '^(insertRatio|dictionaryPath)' trial.txt | tr '\n' ';' | cut -c1-220)"
}
new_case() {
    mkdir -p "$work/settings-$1"
    cp WindowTrial "$work/settings-$1/"
}
new_case garbage
head -c 100000 /dev/urandom >settings-garbage/QuilleryMini.ini
new_case huge-values
{
    printf '[Settings]\r\nData=%s\r\nRatio=99999999999999999999\r\n' "$(head -c 600 /dev/zero | tr '\0' x)"
    printf '[Window]\r\nWindowRatio=-4294967299\r\nXPos=2147483648\r\nYPos=-2147483649\r\n'
    printf 'Width=4294967296000\r\nHeight=%s\r\n[Debug]\r\nRandomSeed=4294967296\r\n' \
        "$(head -c 5000 /dev/zero | tr '\0' 9)"
} >settings-huge-values/QuilleryMini.ini
new_case 10mb-of-lines
{
    printf '[Settings]\r\nRatio=7\r\n'
    seq 1 240000 | sed 's/.*/; comment line & of a hand-edited file\r/'
    printf '[Window]\r\nWindowRatio=2\r\n'
} >settings-10mb-of-lines/QuilleryMini.ini
new_case 10mb-empty-lines
{
    printf '[Settings]\r\nRatio=6\r\n'
    head -c 10485760 /dev/zero | tr '\0' '\n'
} >settings-10mb-empty-lines/QuilleryMini.ini
new_case out-of-range
printf '[Settings]\r\nRatio=-5\r\n[Window]\r\nWindowRatio=0\r\nBlackBackgrownd=7\r\nEditReadOnly=-1\r\nXPos=-30000\r\nYPos=-30000\r\nWidth=1\r\nHeight=1\r\n[Debug]\r\nInsertMark=2\r\nUseRandom=-1\r\n' \
    >settings-out-of-range/QuilleryMini.ini
new_case duplicated-keys
printf '[Settings]\r\nRatio=1\r\nRatio=2\r\n[SETTINGS]\r\nRatio=3\r\nData=second.dat\r\n[Window]\r\nwindowratio=5\r\nWindowRatio=1\r\n' \
    >settings-duplicated-keys/QuilleryMini.ini
new_case no-read-permission
printf '[Settings]\r\nRatio=7\r\n[Mine]\r\nkeep=me\r\n' >settings-no-read-permission/QuilleryMini.ini
chmod 000 settings-no-read-permission/QuilleryMini.ini
chmod 777 settings-no-read-permission
new_case read-only-folder
printf '[Settings]\r\nRatio=7\r\n[Mine]\r\nkeep=me\r\n' >settings-read-only-folder/QuilleryMini.ini
chmod 555 settings-read-only-folder

for label in garbage huge-values 10mb-of-lines 10mb-empty-lines out-of-range duplicated-keys; do
    settings_case "$label" self
done
for label in no-read-permission read-only-folder; do
    settings_case "$label" user
done
