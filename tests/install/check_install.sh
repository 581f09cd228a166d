#!/usr/bin/env bash
# Installs the build into a temporary prefix and checks what a user gets: the program's
# folder, the launchers, the desktop entry, the icons and the metainfo (validated with
# desktop-file-validate and appstreamcli), the converter and the window started through
# the launchers from another directory, then uninstalls and checks that only what was
# there before is left. Then the same with a staged install (DESTDIR), where a settings
# file written by the program is left alone.
#
# usage: check_install.sh BUILD_DIR SOURCE_DIR APP_ID VERSION
set -euo pipefail

build=$1
source=$2
id=$3
version=$4
appdir=lib/quillery-mini

fail() {
    echo "FAIL: $*" >&2
    exit 1
}

for tool in desktop-file-validate appstreamcli Xvfb xwininfo iconv; do
    command -v "$tool" >/dev/null ||
        fail "$tool is missing (packages desktop-file-utils, appstream, xvfb, x11-utils)"
done

tmp=$(mktemp -d "${TMPDIR:-/tmp}/quillery-install.XXXXXX")
# A blank in the prefix: the desktop entry has to quote the launcher's path.
prefix="$tmp/prefix with space"
manifest="$build/install_manifest.txt"
record="$build/install_folders.txt"

# These installs must not replace the record of a real install made from this build.
for file in "$manifest" "$record"; do
    if [ -e "$file" ]; then
        cp -p "$file" "$tmp/$(basename "$file").saved"
    fi
done

app_pid=
xvfb_pid=
cleanup() {
    # Everything here has to run, whatever failed before.
    set +e
    [ -n "$app_pid" ] && kill "$app_pid" 2>/dev/null
    [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null
    wait 2>/dev/null
    for file in "$manifest" "$record"; do
        if [ -e "$tmp/$(basename "$file").saved" ]; then
            mv -f "$tmp/$(basename "$file").saved" "$file"
        else
            rm -f "$file"
        fi
    done
    rm -rf "$tmp"
}
trap cleanup EXIT

install_into() {
    if ! cmake --install "$build" --prefix "$1" >"$tmp/install.log" 2>&1; then
        cat "$tmp/install.log" >&2
        fail "cmake --install --prefix $1"
    fi
}

uninstall() {
    if ! cmake --build "$build" --target uninstall >"$tmp/uninstall.log" 2>&1; then
        cat "$tmp/uninstall.log" >&2
        fail "the uninstall target"
    fi
}

# The value of a key of the desktop entry (the key as a basic regular expression).
desktop_key() {
    sed -n "s/^$1=//p" "$2"
}

# Width and height of a PNG image, from its IHDR chunk.
png_size() {
    local bytes
    read -r -a bytes < <(od -An -tu1 -j16 -N8 "$1")
    echo "$(((bytes[0] << 24) | (bytes[1] << 16) | (bytes[2] << 8) | bytes[3]))x$(((bytes[4] << 24) | (bytes[5] << 16) | (bytes[6] << 8) | bytes[7]))"
}

# Folders a user already has: the install adds to them, the uninstall must keep them.
mkdir -p "$prefix/bin" "$prefix/share/applications"
echo 'another program' >"$prefix/bin/other-tool"

# Twice, as when installing over an older version.
install_into "$prefix"
install_into "$prefix"

echo "== the program's folder and the launchers"
expected="QuilleryMini QuilleryMini.installed quillery-convert velmo.dat"
[ -d "$source/res/help" ] && expected="$expected help"
[ "$(ls -A "$prefix/$appdir" | sort | tr '\n' ' ')" = "$(echo $expected | tr ' ' '\n' | sort | tr '\n' ' ')" ] ||
    fail "$prefix/$appdir holds: $(ls -A "$prefix/$appdir" | tr '\n' ' '), expected: $expected"
for program in QuilleryMini quillery-convert; do
    real="$prefix/$appdir/$program"
    launcher="$prefix/bin/$program"
    [ -f "$real" ] && [ ! -L "$real" ] && [ -x "$real" ] || fail "$real is not an executable file"
    [ -L "$launcher" ] || fail "$launcher is not a symbolic link"
    case "$(readlink "$launcher")" in
        /*) fail "$launcher points to an absolute path: $(readlink "$launcher")" ;;
    esac
    [ "$(readlink -f "$launcher")" = "$(readlink -f "$real")" ] ||
        fail "$launcher leads to $(readlink -f "$launcher"), not to $real"
done
cmp "$source/res/velmo.dat" "$prefix/$appdir/velmo.dat" || fail "velmo.dat differs"
# The marker that keeps the program from writing into its installed folder.
cmp "$source/res/QuilleryMini.installed" "$prefix/$appdir/QuilleryMini.installed" ||
    fail "QuilleryMini.installed differs"
if [ -d "$source/res/help" ]; then
    diff -r "$source/res/help" "$prefix/$appdir/help" || fail "the installed help folder differs"
fi

echo "== the desktop entry"
desktop="$prefix/share/applications/$id.desktop"
[ -f "$desktop" ] || fail "no $desktop"
desktop-file-validate "$desktop" || fail "desktop-file-validate found errors in $desktop"
[ "$(desktop_key Exec "$desktop")" = "\"$prefix/bin/QuilleryMini\"" ] ||
    fail "Exec is $(desktop_key Exec "$desktop"), not the quoted launcher"
[ "$(desktop_key Icon "$desktop")" = "$id" ] || fail "Icon is not $id"
[ "$(desktop_key Name "$desktop")" = "Quillery Mini" ] || fail "Name is not Quillery Mini"
[ -n "$(desktop_key 'Name\[ja\]' "$desktop")" ] || fail "no Japanese name"
[ -n "$(desktop_key 'Comment\[ja\]' "$desktop")" ] || fail "no Japanese comment"
[ "$(desktop_key Terminal "$desktop")" = false ] || fail "Terminal is not false"
[ "$(desktop_key X-QuilleryMini-Version "$desktop")" = "$version" ] || fail "the version is not $version"

echo "== the metainfo"
metainfo="$prefix/share/metainfo/$id.metainfo.xml"
[ -f "$metainfo" ] || fail "no $metainfo"
appstreamcli validate --no-net "$metainfo" || fail "appstreamcli found errors in $metainfo"
grep -qF "<id>$id</id>" "$metainfo" || fail "the metainfo's id is not $id"
grep -qF "<launchable type=\"desktop-id\">$(basename "$desktop")</launchable>" "$metainfo" ||
    fail "the metainfo does not launch $(basename "$desktop")"
grep -qF "<release version=\"$version\" date=\"2026-12-06\"/>" "$metainfo" ||
    fail "the metainfo has no release $version"

echo "== the manual pages and the licence"
for program in QuilleryMini quillery-convert; do
    page="$prefix/share/man/man1/$program.1.gz"
    gzip -dc "$page" | grep -q "^\.TH " || fail "no manual page $page"
done
grep -qx "License: MIT" "$prefix/share/doc/quillery-mini/copyright" || fail "no copyright file"

echo "== the icons"
icons="$prefix/share/icons/hicolor"
cmp "$source/res/icons/quillery-mini.svg" "$icons/scalable/apps/$id.svg" || fail "scalable icon"
for size in 16 32 48 64 128 256; do
    icon="$icons/${size}x${size}/apps/$id.png"
    cmp "$source/res/icons/quillery-mini-$size.png" "$icon" || fail "$icon differs"
    [ "$(png_size "$icon")" = "${size}x${size}" ] || fail "$icon is $(png_size "$icon")"
done

echo "== the converter through its launcher, from another directory"
mkdir "$tmp/elsewhere"
converted=$(cd "$tmp/elsewhere" && printf '%s' '東京' | iconv -f UTF-8 -t CP932 |
    "$prefix/bin/quillery-convert" --dictionary "$prefix/$appdir/velmo.dat" --ratio 10 --seed 1 \
        2>"$tmp/convert.err" | iconv -f CP932 -t UTF-8) || {
    cat "$tmp/convert.err" >&2
    fail "quillery-convert through $prefix/bin"
}
keyword=${converted%東京}
[ "$keyword" != "$converted" ] && [ -n "$keyword" ] || fail "no keyword inserted: $converted"
iconv -f CP932 -t UTF-8 "$prefix/$appdir/velmo.dat" | tr -d '\r' | grep -qxF "$keyword" ||
    fail "the inserted \"$keyword\" is not a word of velmo.dat"

echo "== the window through its launcher, from another directory"
# With no settings file the title names the default dictionary, which the program finds
# only beside its real executable: neither the current directory nor bin holds one.
. "$source/tests/support/xvfb.sh"
start_xvfb "$tmp" 1024x768x24 || fail "no X server"
mkdir "$tmp/home"
(cd "$tmp/elsewhere" && exec env HOME="$tmp/home" XDG_RUNTIME_DIR="$tmp/home" \
    DISPLAY="$DISPLAY" QT_QPA_PLATFORM=xcb "$prefix/bin/QuilleryMini") >"$tmp/app.log" 2>&1 &
app_pid=$!
title='"Quillery - 40% velmo.dat"'
found=
for _ in $(seq 300); do
    if xwininfo -display "$DISPLAY" -root -tree 2>/dev/null | grep -qF "$title"; then
        found=1
        break
    fi
    kill -0 "$app_pid" 2>/dev/null || fail "QuilleryMini ended: $(cat "$tmp/app.log")"
    sleep 0.1
done
if [ -z "$found" ]; then
    xwininfo -display "$DISPLAY" -root -tree >&2 || true
    fail "no window titled $title"
fi
kill "$app_pid"
wait "$app_pid" 2>/dev/null || true
app_pid=
kill "$xvfb_pid"
wait "$xvfb_pid" 2>/dev/null || true
xvfb_pid=

echo "== uninstall"
uninstall
left=$(cd "$prefix" && find . | sort | tr '\n' ' ')
[ "$left" = ". ./bin ./bin/other-tool ./share ./share/applications " ] ||
    fail "after uninstalling $prefix holds: $left"

echo "== a staged install (DESTDIR)"
stage="$tmp/stage"
if ! DESTDIR="$stage" cmake --install "$build" --prefix /usr/local >"$tmp/install.log" 2>&1; then
    cat "$tmp/install.log" >&2
    fail "the staged install"
fi
desktop="$stage/usr/local/share/applications/$id.desktop"
[ "$(desktop_key Exec "$desktop")" = /usr/local/bin/QuilleryMini ] ||
    fail "staged Exec is $(desktop_key Exec "$desktop")"
[ "$(readlink -f "$stage/usr/local/bin/QuilleryMini")" = "$(readlink -f "$stage/usr/local/$appdir/QuilleryMini")" ] ||
    fail "the staged launcher leads elsewhere"
# The settings file the program wrote into its folder is the user's: it stays, and the
# uninstall says where.
printf '[Settings]\r\nRatio=7\r\n' >"$stage/usr/local/$appdir/QuilleryMini.ini"
DESTDIR="$stage" uninstall
left=$(cd "$stage" && find . | sort | tr '\n' ' ')
[ "$left" = ". ./usr ./usr/local ./usr/local/lib ./usr/local/lib/quillery-mini ./usr/local/lib/quillery-mini/QuilleryMini.ini " ] ||
    fail "after uninstalling the stage holds: $left"
grep -qF "Kept: $stage/usr/local/$appdir (holds QuilleryMini.ini" "$tmp/uninstall.log" ||
    fail "the uninstall did not say where it left the settings file"

echo "install, launchers, desktop files and uninstall: all checks passed"
