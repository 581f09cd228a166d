#!/usr/bin/env bash
# Checks a Debian package of Quillery Mini: its control fields, that it holds exactly the
# expected files under /usr with the expected kinds and modes, the launchers, the desktop
# entry and the metainfo (validated), the copyright file (the project's licence), the
# changelog, the manual pages (every option of --help documented), the converter run from
# the unpacked package, and lintian with no error.
#
# usage: check_package.sh [--install-trial] DEB SOURCE_DIR APP_ID VERSION
#        check_package.sh [--install-trial] --build BUILD_DIR SOURCE_DIR APP_ID VERSION
# With --build, the package is first made with cpack from BUILD_DIR into a temporary folder.
# With --install-trial, it is then installed and used (check_installed_package.sh), which
# ends with 77 where that cannot be done.
set -euo pipefail

trial=
if [ "$1" = --install-trial ]; then
    trial=1
    shift
fi

fail() {
    echo "FAIL: $*" >&2
    exit 1
}

build=
if [ "$1" = --build ]; then
    build=$2
    shift 2
else
    deb=$1
    shift
fi
source=$1
id=$2
version=$3
appdir=usr/lib/quillery-mini

for tool in dpkg-deb dpkg-parsechangelog lintian desktop-file-validate appstreamcli man; do
    command -v "$tool" >/dev/null ||
        fail "$tool is missing (packages dpkg-dev, lintian, desktop-file-utils, appstream, man-db)"
done

tmp=$(mktemp -d "${TMPDIR:-/tmp}/quillery-package.XXXXXX")
trap 'rm -rf "$tmp"' EXIT

if [ -n "$build" ]; then
    echo "== cpack -G DEB"
    if ! (cd "$build" && cpack -G DEB -B "$tmp/out") >"$tmp/cpack.log" 2>&1; then
        cat "$tmp/cpack.log" >&2
        fail "cpack -G DEB"
    fi
    debs=("$tmp"/out/*.deb)
    [ ${#debs[@]} -eq 1 ] && [ -f "${debs[0]}" ] || fail "cpack made: $(ls "$tmp/out")"
    deb=${debs[0]}
fi

arch=$(dpkg --print-architecture)
[ "$(basename "$deb")" = "quillery-mini_${version}_${arch}.deb" ] ||
    fail "the package is named $(basename "$deb")"

echo "== the control fields"
field() {
    dpkg-deb --field "$deb" "$1"
}
[ "$(field Package)" = quillery-mini ] || fail "Package is $(field Package)"
[ "$(field Version)" = "$version" ] || fail "Version is $(field Version), not $version"
[ "$(field Architecture)" = "$arch" ] || fail "Architecture is $(field Architecture)"
[ "$(field Homepage)" = "https://quillery.github.io/quillery-mini/" ] ||
    fail "Homepage is $(field Homepage)"
[[ "$(field Maintainer)" =~ ^[^\<]+\ \<[^@\>]+@[^\>]+\>$ ]] || fail "Maintainer is $(field Maintainer)"
# From the libraries the programs link, each with a version.
depends=$(field Depends)
for library in libc6 libstdc++6 libqt6core6 libqt6gui6 libqt6widgets6; do
    [[ ", $depends," =~ ", $library (>= "[^\)]+"),"  ]] ||
        fail "Depends does not name $library with a version: $depends"
done
[ -n "$(field Description)" ] || fail "no Description"

echo "== the files"
dpkg-deb --contents "$deb" >"$tmp/contents"
# mode owner path [-> target]; folders end with /.
awk '{ path = $6; sub(/^\./, "", path); line = $1 " " $2 " " path;
       if ($7 == "->") line = line " -> " $8; print line }' "$tmp/contents" | sort >"$tmp/listed"
{
    for folder in /usr/ /usr/bin/ /usr/lib/ "/$appdir/" "/$appdir/help/" /usr/share/ \
        /usr/share/applications/ /usr/share/doc/ /usr/share/doc/quillery-mini/ /usr/share/icons/ \
        /usr/share/icons/hicolor/ /usr/share/icons/hicolor/scalable/ \
        /usr/share/icons/hicolor/scalable/apps/ /usr/share/man/ /usr/share/man/man1/ \
        /usr/share/metainfo/; do
        echo "drwxr-xr-x root/root $folder"
    done
    for size in 16 32 48 64 128 256; do
        echo "drwxr-xr-x root/root /usr/share/icons/hicolor/${size}x${size}/"
        echo "drwxr-xr-x root/root /usr/share/icons/hicolor/${size}x${size}/apps/"
        echo "-rw-r--r-- root/root /usr/share/icons/hicolor/${size}x${size}/apps/$id.png"
    done
    for program in QuilleryMini quillery-convert; do
        echo "-rwxr-xr-x root/root /$appdir/$program"
        echo "lrwxrwxrwx root/root /usr/bin/$program -> ../lib/quillery-mini/$program"
        echo "-rw-r--r-- root/root /usr/share/man/man1/$program.1.gz"
    done
    for file in "$appdir/velmo.dat" "$appdir/QuilleryMini.installed" "$appdir/help/index.html" \
        "usr/share/applications/$id.desktop" "usr/share/metainfo/$id.metainfo.xml" \
        "usr/share/icons/hicolor/scalable/apps/$id.svg" usr/share/doc/quillery-mini/copyright \
        usr/share/doc/quillery-mini/changelog.gz; do
        echo "-rw-r--r-- root/root /$file"
    done
} | sort >"$tmp/expected"
diff -u "$tmp/expected" "$tmp/listed" || fail "the package's files differ from the expected ones (- expected, + packaged)"

root="$tmp/root"
dpkg-deb --extract "$deb" "$root"
cmp "$source/res/velmo.dat" "$root/$appdir/velmo.dat" || fail "velmo.dat differs"
diff -r "$source/res/help" "$root/$appdir/help" || fail "the help folder differs"
cmp "$source/res/icons/quillery-mini.svg" "$root/usr/share/icons/hicolor/scalable/apps/$id.svg" ||
    fail "the scalable icon differs"
for size in 16 32 48 64 128 256; do
    cmp "$source/res/icons/quillery-mini-$size.png" \
        "$root/usr/share/icons/hicolor/${size}x${size}/apps/$id.png" || fail "icon $size differs"
done

echo "== the desktop entry and the metainfo"
desktop="$root/usr/share/applications/$id.desktop"
desktop-file-validate "$desktop" || fail "desktop-file-validate found errors"
grep -qx "Exec=/usr/bin/QuilleryMini" "$desktop" || fail "Exec is $(grep ^Exec= "$desktop")"
metainfo="$root/usr/share/metainfo/$id.metainfo.xml"
# --pedantic: errors, warnings and infos fail; pedantic notes are shown.
appstreamcli validate --pedantic --no-net "$metainfo" || fail "appstreamcli found faults"
grep -qF "<project_license>MIT</project_license>" "$metainfo" || fail "no project licence MIT"
grep -qF '<url type="homepage">https://quillery.github.io/quillery-mini/</url>' "$metainfo" ||
    fail "no homepage"
grep -qE "<release version=\"$version\" date=\"[0-9]{4}-[0-9]{2}-[0-9]{2}\"/>" "$metainfo" ||
    fail "no release $version"

echo "== copyright and changelog"
copyright="$root/usr/share/doc/quillery-mini/copyright"
head -n1 "$copyright" | grep -qxF "Format: https://www.debian.org/doc/packaging-manuals/copyright-format/1.0/" ||
    fail "the copyright file is not in the machine-readable format"
grep -qx "License: MIT" "$copyright" || fail "the copyright file names no MIT licence"
# The licence's text after its title, as the copyright file indents it.
tail -n +3 "$source/LICENSE" >"$tmp/license"
sed -n '/^License: MIT$/,$p' "$copyright" | sed -n '/^ /p' | sed 's/^ \.$//; s/^ //' >"$tmp/copied"
diff -u "$tmp/license" "$tmp/copied" || fail "the copyright file does not hold the LICENSE text"
changelog="$root/usr/share/doc/quillery-mini/changelog.gz"
gzip -dc "$changelog" >"$tmp/changelog" || fail "changelog.gz is not gzip"
[ "$(dpkg-parsechangelog -l "$tmp/changelog" -S Version)" = "$version" ] ||
    fail "the changelog's version is not $version"
[ "$(dpkg-parsechangelog -l "$tmp/changelog" -S Source)" = quillery-mini ] ||
    fail "the changelog is not quillery-mini's"

echo "== the converter from the package, and its manual page"
convert="$root/usr/bin/quillery-convert"
[ "$("$convert" --version)" = "quillery-convert (Quillery Mini) $version" ] ||
    fail "--version says: $("$convert" --version)"
printf '鍵\n' >"$tmp/words.txt"
[ "$(printf '東京\n大阪\n' | "$convert" --encoding utf-8 --dictionary "$tmp/words.txt" \
    --ratio 10 --seed 1 2>/dev/null)" = "$(printf '鍵東京\n鍵大阪')" ] ||
    fail "the packaged converter does not convert UTF-8"
for program in QuilleryMini quillery-convert; do
    page="$root/usr/share/man/man1/$program.1.gz"
    # As lintian renders it: any groff warning is a fault of the page.
    LC_ALL=C.UTF-8 MANROFFSEQ='' MANWIDTH=80 man --warnings -E UTF-8 -l -Tutf8 -Z "$page" \
        >/dev/null 2>"$tmp/man.err" || fail "man cannot render $program.1"
    [ ! -s "$tmp/man.err" ] || fail "$program.1: $(cat "$tmp/man.err")"
done
gzip -dc "$root/usr/share/man/man1/quillery-convert.1.gz" >"$tmp/page"
grep -q "^\.TH QUILLERY-CONVERT 1 .*\"Quillery Mini $version\"" "$tmp/page" ||
    fail "the manual page is not of version $version"
options=$("$convert" --help | grep -oE -- '--[a-z]+' | sort -u)
[ "$(echo "$options" | wc -l)" -ge 7 ] || fail "--help names only: $options"
for option in $options; do
    # Written \-\-name in roff, and not only as the start of a longer name.
    pattern="$(printf '%s' "$option" | sed 's/-/\\\\-/g')([^a-z-]|\$)"
    grep -qE -- "$pattern" "$tmp/page" || fail "the manual page does not document $option"
done

echo "== lintian"
status=0
lintian --fail-on error --display-info --tag-display-limit 0 "$deb" >"$tmp/lintian" 2>&1 || status=$?
grep -v '^running with root' "$tmp/lintian" || true
[ "$status" -eq 0 ] || fail "lintian reports an error (status $status)"

echo "the Debian package: all checks passed"

if [ -n "$trial" ]; then
    echo "== installed with dpkg and used"
    bash "$(dirname "$0")/check_installed_package.sh" "$deb"
fi
