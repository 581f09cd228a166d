#!/usr/bin/env bash
# scripts/desktop-session.sh BUILD-DIR CHECK-DIR
#
# Starts Xvfb on a free display with the openbox window manager and runs every executable
# CHECK-DIR/check-*.sh in name order, each with DISPLAY, QUILLERY_BUILD_DIR and an empty
# QUILLERY_SCRATCH folder of its own (removed afterwards), and QUILLERY_WM_PID, the window
# manager's process (a check may hold it to make its reports late, and must release it).
# Fails when any check fails.
# QUILLERY_DISPLAY_BASE is the first display number tried (120), ten in all.
set -euo pipefail

build_dir=$(cd "$1" && pwd)
check_dir=$2
base=${QUILLERY_DISPLAY_BASE:-120}

xvfb_pid=
openbox_pid=
scratch_root=$(mktemp -d "${TMPDIR:-/tmp}/quillery-desktop.XXXXXX")
cleanup() {
    [ -n "$openbox_pid" ] && kill "$openbox_pid" 2>/dev/null && wait "$openbox_pid" 2>/dev/null
    [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null && wait "$xvfb_pid" 2>/dev/null
    rm -rf "$scratch_root"
}
trap cleanup EXIT

# Polls COMMAND every 20 ms for at most SECONDS.
wait_for() {
    local deadline=$(($(date +%s%N) / 1000000 + $1 * 1000))
    shift
    until "$@" >/dev/null 2>&1; do
        [ "$(($(date +%s%N) / 1000000))" -ge "$deadline" ] && return 1
        sleep 0.02
    done
}

xvfb_ended() { ! kill -0 "$xvfb_pid" 2>/dev/null; }
display_up() { xvfb_ended && return 1; xdpyinfo -display "$display"; }
wm_running() {
    DISPLAY=$display xprop -root _NET_SUPPORTING_WM_CHECK | grep -q 'window id'
}

display=
for n in $(seq "$base" $((base + 9))); do
    [ -e "/tmp/.X$n-lock" ] || [ -e "/tmp/.X11-unix/X$n" ] && continue
    Xvfb ":$n" -screen 0 1280x900x24 -nolisten tcp -noreset >/dev/null 2>&1 &
    xvfb_pid=$!
    display=":$n"
    # Another server may have taken the number meanwhile: then Xvfb ends.
    wait_for 10 display_up && break
    wait "$xvfb_pid" 2>/dev/null || true
    xvfb_pid=
    display=
done
if [ -z "$display" ]; then
    echo "desktop: no free X display from :$base to :$((base + 9))" >&2
    exit 1
fi

DISPLAY=$display openbox --sm-disable >/dev/null 2>&1 &
openbox_pid=$!
if ! wait_for 10 wm_running; then
    echo "desktop: openbox did not start on $display" >&2
    exit 1
fi

failed=0
for check in "$check_dir"/check-*.sh; do
    [ -x "$check" ] || continue
    name=$(basename "$check" .sh)
    scratch="$scratch_root/$name"
    mkdir -p "$scratch"
    start=$SECONDS
    if DISPLAY=$display QUILLERY_BUILD_DIR=$build_dir QUILLERY_SCRATCH=$scratch \
        QUILLERY_WM_PID=$openbox_pid "$check"; then
        echo "desktop: $name passed ($((SECONDS - start)) s)"
    else
        echo "desktop: $name FAILED ($((SECONDS - start)) s)"
        failed=1
    fi
    rm -rf "$scratch"
    kill -CONT "$openbox_pid" 2>/dev/null || true
done
exit "$failed"
