#!/usr/bin/env bash
# scripts/check-windows-zip.sh BUILD-DIR
#
# Makes the Windows ZIP in BUILD-DIR (cpack) and checks it: exactly the files a user
# needs in one folder, and programs that import only Windows' own DLLs.
set -euo pipefail
build_dir=$(cd "$1" && pwd)
version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$build_dir/CMakeCache.txt")
name="QuilleryMini-$version-windows-x64"
(cd "$build_dir" && cpack -G ZIP >/dev/null)
zip="$build_dir/$name.zip"

expected="$name/LICENSE
$name/QuilleryMini.exe
$name/README-ja.txt
$name/help/
$name/help/index.html
$name/quillery-convert.exe
$name/velmo.dat"
listed=$(zipinfo -1 "$zip" | LC_ALL=C sort)
if [ "$listed" != "$(LC_ALL=C sort <<<"$expected")" ]; then
    echo "check-windows-zip: $zip holds:" >&2
    echo "$listed" >&2
    exit 1
fi

unpacked=$(mktemp -d)
trap 'rm -rf "$unpacked"' EXIT
unzip -q "$zip" -d "$unpacked"
for exe in QuilleryMini quillery-convert; do
    foreign=$(x86_64-w64-mingw32-objdump -p "$unpacked/$name/$exe.exe" |
        sed -n 's/^[[:space:]]*DLL Name: //p' | tr '[:upper:]' '[:lower:]' |
        grep -vxE '(kernel32|msvcrt|shell32|user32|gdi32|comctl32|comdlg32|ole32)\.dll' || true)
    if [ -n "$foreign" ]; then
        echo "check-windows-zip: $exe.exe needs DLLs the ZIP lacks:" $foreign >&2
        exit 1
    fi
done
cmp -s "$unpacked/$name/velmo.dat" "$build_dir/velmo.dat" || {
    echo "check-windows-zip: velmo.dat differs from the build's" >&2
    exit 1
}
echo "Windows ZIP: $(basename "$zip"), $(du -k "$zip" | cut -f1) KB," \
    "QuilleryMini.exe $(du -k "$unpacked/$name/QuilleryMini.exe" | cut -f1) KB"
