# Shared helpers for the desktop checks; source it from a check_*.sh.
#
# Needs DISPLAY (openbox already managing it), QUILLERY_BUILD_DIR and QUILLERY_SCRATCH;
# QUILLERY_WM_PID (the window manager's process) when a check holds it.
# Every wait polls a condition with a deadline; nothing sleeps a fixed time. A check
# counts its failed cases with qd_fail and ends with qd_finish.

set -uo pipefail

: "${DISPLAY:?}" "${QUILLERY_BUILD_DIR:?}" "${QUILLERY_SCRATCH:?}"

qd_failures=0
qd_pids=()

qd_fail() {
    echo "FAIL: $*"
    qd_failures=$((qd_failures + 1))
}

qd_finish() {
    qd_cleanup
    [ "$qd_failures" -eq 0 ]
}

qd_cleanup() {
    local pid
    [ -n "${QUILLERY_WM_PID:-}" ] && kill -CONT "$QUILLERY_WM_PID" 2>/dev/null
    for pid in "${qd_pids[@]}"; do
        kill -9 "$pid" 2>/dev/null
    done
    for pid in "${qd_pids[@]}"; do
        wait "$pid" 2>/dev/null
    done
    qd_pids=()
}
trap qd_cleanup EXIT

# qd_wait SECONDS COMMAND...: true as soon as COMMAND succeeds, false at the deadline.
qd_wait() {
    local deadline=$(($(date +%s%N) / 1000000 + $1 * 1000))
    shift
    while ! "$@" 2>/dev/null; do
        [ "$(($(date +%s%N) / 1000000))" -ge "$deadline" ] && return 1
        sleep 0.02
    done
    return 0
}

# qd_trial NAME [SETTINGS-TEXT]: a folder of its own holding a copy of the program, the
# default dictionary and the help pages, and the settings file when text is given (LF
# line breaks are written as CR LF). Prints the folder.
qd_trial() {
    local dir="$QUILLERY_SCRATCH/$1"
    mkdir -p "$dir"
    cp "$QUILLERY_BUILD_DIR/QuilleryMini" "$QUILLERY_BUILD_DIR/velmo.dat" "$dir/"
    cp -r "$QUILLERY_BUILD_DIR/help" "$dir/"
    if [ $# -ge 2 ]; then
        printf '%s' "$2" | sed 's/$/\r/' >"$dir/QuilleryMini.ini"
    fi
    echo "$dir"
}

# The visible top-level windows of a process, one id a line.
qd_windows() {
    xdotool search --onlyvisible --pid "$1" 2>/dev/null
}

qd_main_window() {
    xdotool search --all --onlyvisible --pid "$1" --name '^Quillery - ' 2>/dev/null | head -1
}

qd_viewable() {
    xwininfo -id "$1" 2>/dev/null | grep -q 'Map State: IsViewable'
}

# The window manager's frame around a client: the client's ancestor just below the root.
qd_frame() {
    local win=$1 parent root
    root=$(xwininfo -root | awk '/Window id:/ {print $4}')
    while :; do
        parent=$(xwininfo -tree -id "$win" | awk '/Parent window id:/ {print $4}')
        [ -z "$parent" ] && return 1
        if [ $((parent)) -eq $((root)) ]; then
            echo "$win"
            return 0
        fi
        win=$parent
    done
}

# "X Y W H" of a window as xwininfo shows it from outside.
qd_rect() {
    xwininfo -id "$1" | awk '
        /Absolute upper-left X:/ {x = $4} /Absolute upper-left Y:/ {y = $4}
        /^  Width:/ {w = $2} /^  Height:/ {h = $2} END {print x, y, w, h}'
}

# qd_framed WIN: the window is viewable and openbox has put its frame around it.
qd_framed() {
    qd_viewable "$1" && xprop -id "$1" _NET_FRAME_EXTENTS | grep -q '='
}

# qd_start DIR: starts the trial's program; sets QD_PID and QD_WIN once its main window
# is mapped in its frame and active.
qd_start() {
    # The pointer out of the way: a window opening under it must not change with it.
    xdotool mousemove 0 0
    (cd "$1" && exec ./QuilleryMini 2>/dev/null) &
    qd_started $!
}

# qd_started PID [SECONDS]: the program just started in the background, however it was
# started: sets QD_PID (cleaned up at exit) and QD_WIN once its main window is mapped in
# its frame and active, each step within SECONDS (15).
qd_started() {
    local bound=${2:-15}
    QD_PID=$1
    qd_pids+=("$QD_PID")
    QD_WIN=
    qd_wait "$bound" qd_has_main "$QD_PID" || return 1
    QD_WIN=$(qd_main_window "$QD_PID")
    qd_wait "$bound" qd_framed "$QD_WIN" || return 1
    qd_activate "$QD_WIN" "$bound"
}

qd_has_main() {
    [ -n "$(qd_main_window "$1")" ]
}

qd_active_is() {
    [ "$(xdotool getactivewindow 2>/dev/null)" = "$1" ]
}

# qd_activate WIN [SECONDS]: activates WIN and waits, at most SECONDS (10), until it is.
qd_activate() {
    xdotool windowactivate "$1" 2>/dev/null
    qd_wait "${2:-10}" qd_active_is "$1"
}

# The exit question's box: a visible window of the process captioned with its name.
qd_box() {
    xdotool search --all --onlyvisible --pid "$1" --name '^QuilleryMini$' 2>/dev/null | head -1
}

qd_has_box() {
    [ -n "$(qd_box "$1")" ]
}

qd_ended() {
    ! kill -0 "$1" 2>/dev/null
}

# qd_popup PID: the open popup menu of the process (an override-redirect window that is
# viewable), if any.
qd_popup() {
    local w
    for w in $(xdotool search --onlyvisible --pid "$1" 2>/dev/null); do
        if xwininfo -id "$w" | grep -q 'Override Redirect State: yes'; then
            echo "$w"
            return 0
        fi
    done
    return 1
}

qd_popup_open() {
    qd_popup "$1" >/dev/null
}

qd_popup_closed() {
    ! qd_popup_open "$1"
}

# qd_ask_exit PID HOW [SECONDS]: asks the question by the menu's Exit ("menu") or the
# close box ("close"); true once the box is up and active, each step within SECONDS (10).
qd_ask_exit() {
    local pid=$1 how=$2 bound=${3:-10} box
    if [ "$how" = menu ]; then
        xdotool key alt+f
        qd_wait "$bound" qd_popup_open "$pid" || return 1
        xdotool key x
    else
        xdotool key alt+F4
    fi
    qd_wait "$bound" qd_has_box "$pid" || return 1
    box=$(qd_box "$pid")
    qd_wait "$bound" qd_active_is "$box"
}

# qd_answer PID yes|no: answers the open question: Return presses はい (the default
# button), Esc いいえ.
qd_answer() {
    if [ "$2" = yes ]; then
        xdotool key Return
    else
        xdotool key Escape
    fi
}

# qd_close PID: Exit → はい; true when the process has ended.
qd_close() {
    qd_ask_exit "$1" "${2:-menu}" || return 1
    qd_answer "$1" yes
    qd_wait 10 qd_ended "$1"
}

# qd_ini DIR KEY: the value of KEY in the trial's settings file (CR removed).
qd_ini() {
    tr -d '\r' <"$1/QuilleryMini.ini" 2>/dev/null | awk -F= -v key="$2" '$1 == key {print $2; exit}'
}

qd_saved_rect() {
    echo "$(qd_ini "$1" XPos) $(qd_ini "$1" YPos) $(qd_ini "$1" Width) $(qd_ini "$1" Height)"
}

# qd_rows_hash WIN FIRST COUNT: a checksum of COUNT pixel rows of a window from row FIRST,
# to tell whether that band looks the same as before; "blank" when the band is one colour
# (nothing painted in it yet).
qd_rows_hash() {
    xwd -silent -id "$1" | /usr/bin/python3 -c '
import hashlib, struct, sys
data = sys.stdin.buffer.read()
head = struct.unpack(">25I", data[:100])
size, bytes_per_line, ncolors, bits_per_pixel = head[0], head[12], head[19], head[11]
start = size + 12 * ncolors + int(sys.argv[1]) * bytes_per_line
band = data[start:start + int(sys.argv[2]) * bytes_per_line]
step = bits_per_pixel // 8
width = head[4]
pixels = {band[i:i + step] for row in range(0, len(band), bytes_per_line)
          for i in range(row, row + width * step, step)}
print(hashlib.md5(band).hexdigest() if len(pixels) > 1 else "blank")
' "$2" "$3"
}

# qd_settled_hash WIN FIRST COUNT: the band's checksum once the window has painted it and
# it has stopped changing (two checksums in a row equal); false after 10 s.
qd_settled_hash() {
    local previous= current deadline=$((SECONDS + 10))
    while [ $SECONDS -lt $deadline ]; do
        current=$(qd_rows_hash "$@") || current=
        if [ -n "$current" ] && [ "$current" != blank ] && [ "$current" = "$previous" ]; then
            echo "$current"
            return 0
        fi
        previous=$current
        [ -n "$current" ] || sleep 0.02
    done
    return 1
}

# qd_no_clients: the window manager manages no window (the list it publishes is empty),
# so it has finished with the windows of earlier trials.
qd_no_clients() {
    ! xprop -root _NET_CLIENT_LIST 2>/dev/null | grep -q '0x'
}

# qd_clipboard_set TEXT: the clipboard holds TEXT (UTF-8) until qd_clipboard_drop.
qd_clipboard_set() {
    qd_clipboard_drop
    printf '%s' "$1" | xclip -selection clipboard -t UTF8_STRING -quiet >/dev/null 2>&1 &
    QD_XCLIP=$!
    qd_pids+=("$QD_XCLIP")
    qd_wait 5 qd_clipboard_is "$1"
}

qd_clipboard_drop() {
    if [ -n "${QD_XCLIP:-}" ]; then
        kill "$QD_XCLIP" 2>/dev/null
        wait "$QD_XCLIP" 2>/dev/null
        QD_XCLIP=
    fi
}

qd_clipboard_is() {
    [ "$(xclip -selection clipboard -o -t UTF8_STRING 2>/dev/null)" = "$1" ]
}

# qd_pane_text_is TEXT [SECONDS]: Ctrl+A, Ctrl+C in the focused pane put TEXT on the
# clipboard within SECONDS (5: the keys and the transfer are slow on a loaded machine).
# With the focus elsewhere the keys go nowhere and the clipboard keeps what it had.
qd_pane_text_is() {
    xdotool key ctrl+a ctrl+c
    qd_wait "${2:-5}" qd_clipboard_is "$1"
}
