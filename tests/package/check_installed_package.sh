#!/usr/bin/env bash
# Installs a Debian package of Quillery Mini with dpkg, as an administrator would, and
# uses it: the program started through /usr/bin/QuilleryMini under Xvfb and openbox, by
# root and then by nobody, each choosing a ratio and closing with はい, then starting
# again. While it runs nothing may be written under /usr; each
# user's settings must be in their own per-user file and come back at the next start. A
# copy of the program in an ordinary folder still keeps its settings beside itself. Then
# dpkg -r must leave nothing of the package behind.
#
# The machine is not touched: everything happens in a mount namespace of its own, where
# /usr, /etc and /var are overlays whose upper layers (on a tmpfs) take every write, so
# that they show exactly what was written and vanish with the namespace.
#
# usage: check_installed_package.sh DEB
# Exits with 77 (skipped) where it cannot run: not as root, or without mount namespaces.
set -euo pipefail

deb=$(realpath "$1")
here=$(dirname "$(realpath "$0")")

fail() {
    echo "FAIL: $*" >&2
    exit 1
}

if [ -z "${QUILLERY_IN_NAMESPACE:-}" ]; then
    if [ "$(id -u)" -ne 0 ]; then
        echo "SKIPPED: installing the package with dpkg needs root"
        exit 77
    fi
    for tool in unshare setpriv Xvfb openbox xdotool xwininfo xprop; do
        command -v "$tool" >/dev/null ||
            fail "$tool is missing (packages util-linux, xvfb, openbox, xdotool, x11-utils)"
    done
    if ! unshare --mount true 2>/dev/null; then
        echo "SKIPPED: no mount namespace can be made here"
        exit 77
    fi
    tmp=$(mktemp -d "${TMPDIR:-/tmp}/quillery-dpkg.XXXXXX")
    trap 'rm -rf "$tmp"' EXIT
    # Every user must reach the homes and the copies inside.
    chmod 0755 "$tmp"
    status=0
    QUILLERY_IN_NAMESPACE="$tmp" unshare --mount --propagation private bash "$0" "$deb" || status=$?
    exit "$status"
fi

tmp=$QUILLERY_IN_NAMESPACE
layers="$tmp/layers"
lower="$tmp/lower"
mkdir -p "$layers" "$lower"
mount -t tmpfs -o mode=0755 quillery-layers "$layers"
for top in usr etc var; do
    mkdir -p "$layers/$top/upper" "$layers/$top/work" "$lower/$top"
    # The system as it was, to compare with.
    mount --bind "/$top" "$lower/$top"
    mount -t overlay overlay \
        -o "lowerdir=$lower/$top,upperdir=$layers/$top/upper,workdir=$layers/$top/work" "/$top"
done

# The program under openbox, driven from outside with the desktop checks' helpers.
export QUILLERY_BUILD_DIR=/usr/lib/quillery-mini QUILLERY_SCRATCH="$tmp"
source "$here/../support/xvfb.sh"
start_xvfb "$tmp" 1280x900x24 || fail "no X server"
source "$here/../desktop/lib.sh"
set -e
openbox --sm-disable >"$tmp/openbox.log" 2>&1 &
wm_pid=$!
qd_pids+=("$wm_pid" "$xvfb_pid")
wm_running() {
    xprop -root _NET_SUPPORTING_WM_CHECK | grep -q 'window id'
}
qd_wait 10 wm_running || fail "openbox did not start"

# written TOP...: what the upper layers hold, every file written through those overlays
# since they were made (as kind, path, size and time), whiteouts of removed files included.
written() {
    local top
    for top in "$@"; do
        (cd "$layers/$top/upper" && find . -mindepth 1 -printf "%y $top/%P %s %T@\n")
    done | sort
}

echo "== dpkg -i"
# The system's own triggers (the menu and icon caches, man-db) run as on any install.
DEBIAN_FRONTEND=noninteractive dpkg -i "$deb" >"$tmp/dpkg.log" 2>&1 ||
    fail "dpkg -i: $(cat "$tmp/dpkg.log")"
appdir=/usr/lib/quillery-mini
[ -f "$appdir/QuilleryMini.installed" ] || fail "the package has no marker in $appdir"
written usr >"$tmp/installed"

# start USER HOME FOLDER PROGRAM: starts PROGRAM as USER with that home (no
# XDG_CONFIG_HOME), from FOLDER; sets QD_PID and QD_WIN once the window is up and active.
start() {
    local user=$1 home=$2 folder=$3 program=$4 run="$tmp/run-$1"
    mkdir -p "$run"
    chown "$user" "$run"
    chmod 0700 "$run"
    xdotool mousemove 0 0
    (cd "$folder" && exec setpriv --reuid="$user" --regid="$(id -gn "$user")" --init-groups \
        env -i PATH=/usr/bin:/bin HOME="$home" DISPLAY="$DISPLAY" XDG_RUNTIME_DIR="$run" \
        QT_QPA_PLATFORM=xcb "$program" >>"$tmp/app.log" 2>&1) &
    qd_started $! 20
}

title_is() {
    [ "$(xdotool getwindowname "$QD_WIN" 2>/dev/null)" = "$1" ]
}

# Two popups are open: the menu and its submenu.
submenu_open() {
    local count=0 w
    for w in $(xdotool search --onlyvisible --pid "$QD_PID" 2>/dev/null); do
        xwininfo -id "$w" | grep -q 'Override Redirect State: yes' && count=$((count + 1))
    done
    [ "$count" -ge 2 ]
}

# choose_ratio PERCENT: 変換設定 → 変換率 → the item, by the keyboard; the submenu opens
# on its first item, 0 %.
choose_ratio() {
    local keys=()
    for _ in $(seq $(($1 / 10))); do
        keys+=(Down)
    done
    xdotool key alt+s
    qd_wait 10 qd_popup_open "$QD_PID" || return 1
    xdotool key r
    qd_wait 10 submenu_open || return 1
    [ ${#keys[@]} -eq 0 ] || xdotool key "${keys[@]}"
    xdotool key Return
    qd_wait 10 title_is "Quillery - $1% velmo.dat"
}

# trial USER HOME FOLDER PROGRAM PERCENT SETTINGS: a first start with the defaults, the
# ratio chosen and はい; a second start finds it again in SETTINGS, and ends with はい too.
trial() {
    local user=$1 home=$2 folder=$3 program=$4 percent=$5 settings=$6
    start "$user" "$home" "$folder" "$program" || fail "$user: $program did not start"
    qd_wait 10 title_is "Quillery - 40% velmo.dat" ||
        fail "$user: the first start is titled $(xdotool getwindowname "$QD_WIN")"
    choose_ratio "$percent" || fail "$user: could not choose $percent %"
    qd_close "$QD_PID" || fail "$user: did not close with はい"
    [ "$(tr -d '\r' <"$settings" | sed -n 's/^Ratio=//p')" = $((percent / 10)) ] ||
        fail "$user: $settings does not hold the ratio: $(cat "$settings" 2>&1)"
    start "$user" "$home" "$folder" "$program" || fail "$user: did not start again"
    qd_wait 10 title_is "Quillery - $percent% velmo.dat" ||
        fail "$user: the settings did not come back: $(xdotool getwindowname "$QD_WIN")"
    qd_close "$QD_PID" || fail "$user: did not close with はい the second time"
}

mkdir -p "$tmp/elsewhere" "$tmp/root-home" "$tmp/nobody-home"
chmod 0700 "$tmp/root-home"
chown nobody "$tmp/nobody-home"
chmod 0700 "$tmp/nobody-home"

echo "== root runs /usr/bin/QuilleryMini"
trial root "$tmp/root-home" "$tmp/elsewhere" /usr/bin/QuilleryMini 70 \
    "$tmp/root-home/.config/QuilleryMini/QuilleryMini.ini"
echo "== nobody runs /usr/bin/QuilleryMini"
trial nobody "$tmp/nobody-home" "$tmp/elsewhere" /usr/bin/QuilleryMini 20 \
    "$tmp/nobody-home/.config/QuilleryMini/QuilleryMini.ini"
[ "$(stat -c %U "$tmp/nobody-home/.config/QuilleryMini/QuilleryMini.ini")" = nobody ] ||
    fail "nobody's settings file is not theirs"

written usr >"$tmp/after-runs"
diff -u "$tmp/installed" "$tmp/after-runs" ||
    fail "written under /usr while the program ran (- before, + after)"

echo "== root runs a copy in an ordinary folder"
portable="$tmp/portable"
mkdir "$portable"
cp "$appdir/QuilleryMini" "$appdir/velmo.dat" "$portable/"
trial root "$tmp/root-home" "$tmp/elsewhere" "$portable/QuilleryMini" 50 \
    "$portable/QuilleryMini.ini"
[ "$(tr -d '\r' <"$tmp/root-home/.config/QuilleryMini/QuilleryMini.ini" | sed -n 's/^Ratio=//p')" = 7 ] ||
    fail "the copy wrote root's per-user file"

echo "== dpkg -r"
qd_cleanup || true  # written for scripts without set -e
dpkg -r quillery-mini >"$tmp/dpkg.log" 2>&1 || fail "dpkg -r: $(cat "$tmp/dpkg.log")"
# Left in the upper layers: only what dpkg itself and the system's triggers keep up to
# date (its database and log, the caches), each a file that was there before.
left=
while read -r kind path _; do
    case $kind in
        d) [ -d "$lower/$path" ] || left="$left $path/" ;;
        c) left="$left $path(removed)" ;;
        *) [ -e "$lower/$path" ] || left="$left $path" ;;
    esac
done < <(written usr etc var)
[ -z "$left" ] || fail "dpkg -r left behind:$left"
[ ! -e "$appdir" ] || fail "$appdir is still there"
echo "the installed package: all checks passed"
