#!/usr/bin/env bash
# scripts/desktop-session.sh BUILD-DIR CHECK-DIR
#
# Starts Xvfb on a free display with the openbox window manager and runs every executable
# CHECK-DIR/check_*.sh in name order, each with DISPLAY, QUILLERY_BUILD_DIR and an empty
# QUILLERY_SCRATCH folder of its own (removed afterwards), and QUILLERY_WM_PID, the window
# manager's process (a check may hold it to make its reports late, and must release it).
# Fails when any check fails or runs longer than QUILLERY_CHECK_TIMEOUT seconds (300).
# QUILLERY_DISPLAY_BASE is the first display number tried (120), ten in all.
set -euo pipefail

build_dir=$(cd "$1" && pwd)
check_dir=$2
base=${QUILLERY_DISPLAY_BASE:-120}

xvfb_pid=
openbox_pid=
scratch_root=$(mktemp -d "${TMPDIR:-/tmp}/quillery-desktop.XXXXXX")
cleanup() {
    # A held window manager only acts on its signal once it runs again.
    [ -n "$openbox_pid" ] && kill -CONT "$openbox_pid" 2>/dev/null
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
# The server writes its display number to the -displayfd file once it holds the display
# and listens; one that lost the number to another server ends without writing, and
# xdpyinfo alone would reach that other server.
display_ours() {
    xvfb_ended && return 1
    grep -qx "${display#:}" "$ready_file" && xdpyinfo -display "$display"
}
wm_running() {
    kill -0 "$openbox_pid" 2>/dev/null &&
        DISPLAY=$display xprop -root _NET_SUPPORTING_WM_CHECK | grep -q 'window id'
}

display=
for n in $(seq "$base" $((base + 9))); do
    [ -e "/tmp/.X$n-lock" ] || [ -e "/tmp/.X11-unix/X$n" ] && continue
    ready_file=$scratch_root/display-$n
    Xvfb ":$n" -displayfd 3 -screen 0 1280x900x24 -nolisten tcp -noreset \
        3>"$ready_file" >/dev/null 2>&1 &
    xvfb_pid=$!
    display=":$n"
    wait_for 10 display_ours && break
    kill "$xvfb_pid" 2>/dev/null || true
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
# The check window could still be another openbox's that is about to give way to ours,
# or ours could be on its way out: it must still run once the hint is there.
if ! wait_for 10 wm_running || ! kill -0 "$openbox_pid" 2>/dev/null; then
    echo "desktop: openbox did not start on $display" >&2
    exit 1
fi

# A check that hangs (a client blocked on a server grab of a held window manager waits
# with no deadline of its own) is ended: timeout signals the check's whole process group,
# which holds the programs it started, and the check's exit trap releases the window
# manager and kills what is left.
check_timeout=${QUILLERY_CHECK_TIMEOUT:-300}
failed=0
for check in "$check_dir"/check_*.sh; do
    [ -x "$check" ] || continue
    name=$(basename "$check" .sh)
    scratch="$scratch_root/$name"
    mkdir -p "$scratch"
    start=$SECONDS
    status=0
    DISPLAY=$display QUILLERY_BUILD_DIR=$build_dir QUILLERY_SCRATCH=$scratch \
        QUILLERY_WM_PID=$openbox_pid timeout -k 10 "$check_timeout" "$check" || status=$?
    kill -CONT "$openbox_pid" 2>/dev/null || true
    if [ "$status" -eq 0 ]; then
        echo "desktop: $name passed ($((SECONDS - start)) s)"
    elif [ "$status" -eq 124 ] || [ "$status" -eq 137 ]; then
        echo "desktop: $name FAILED: no result after $check_timeout s, ended ($((SECONDS - start)) s)"
        failed=1
    else
        echo "desktop: $name FAILED ($((SECONDS - start)) s)"
        failed=1
    fi
    rm -rf "$scratch"
done
exit "$failed"
