# Helpers for the checks of the Windows program under Wine; source it from a check_*.sh.
# On top of tests/desktop/lib.sh (waits, failures, clean-up, the exit question): the
# build folder holds QuilleryMini.exe, velmo.dat, help/ and window_probe.exe, and the
# environment carries the windows stage's Wine set-up (WINEPREFIX, LANG, LOCPATH).

# shellcheck source=../../desktop/lib.sh
source "$(dirname "${BASH_SOURCE[0]}")/../../desktop/lib.sh"
: "${WINEPREFIX:?}"

# qw_trial NAME [SETTINGS-TEXT]: a folder of its own with a copy of the program, the
# default dictionary and the help page, and the settings file when text is given (LF
# line breaks written as CR LF). Prints the folder.
qw_trial() {
    local dir="$QUILLERY_SCRATCH/$1"
    mkdir -p "$dir"
    cp "$QUILLERY_BUILD_DIR/QuilleryMini.exe" "$QUILLERY_BUILD_DIR/velmo.dat" "$dir/"
    cp -r "$QUILLERY_BUILD_DIR/help" "$dir/"
    if [ $# -ge 2 ]; then
        printf '%s' "$2" | sed 's/$/\r/' >"$dir/QuilleryMini.ini"
    fi
    echo "$dir"
}

# The folder as the program names it (Wine's Z: drive).
qw_windows_path() {
    printf 'Z:%s' "$1" | tr '/' '\\'
}

# qw_start DIR: starts the trial's program under Wine; sets QD_PID and QD_WIN once its
# main window is up in its frame and active.
qw_start() {
    xdotool mousemove 0 0
    (cd "$1" && exec wine ./QuilleryMini.exe >/dev/null 2>&1) &
    # Wine's first start in a prefix on a busy machine is slow.
    qd_started $! 120
}

qw_activate() {
    qd_activate "$1" 60
}

# qw_ask QUESTION: what Windows knows of the running main window ("rect", or "text ID";
# see tests/win32/WindowProbe.cpp), in QW_ANSWER. One probe answers them all, since every
# Wine start costs time; it is started (again) here, in the check's own shell, so call
# qw_ask and the functions below directly, never inside $(...).
qw_ask() {
    if [ -z "${QW_PROBE_PID:-}" ] || ! kill -0 "$QW_PROBE_PID" 2>/dev/null; then
        coproc QW_PROBE { exec wine "$QUILLERY_BUILD_DIR/window_probe.exe" 2>/dev/null; }
    fi
    QW_ANSWER=
    printf '%s\n' "$1" >&"${QW_PROBE[1]}" 2>/dev/null || return 1
    IFS= read -r -t 60 QW_ANSWER <&"${QW_PROBE[0]}" || return 1
    QW_ANSWER=${QW_ANSWER%$'\r'}
}
qw_probe_stop() {
    [ -n "${QW_PROBE_PID:-}" ] && kill "$QW_PROBE_PID" 2>/dev/null
    return 0
}
trap 'qw_probe_stop; qd_cleanup' EXIT

# Text as the probe writes it: CR, LF, tab and backslash escaped.
qw_escape() {
    local s=$1
    s=${s//\\/\\\\}
    s=${s//$'\r'/\\r}
    s=${s//$'\n'/\\n}
    s=${s//$'\t'/\\t}
    printf '%s' "$s"
}

# qw_text_is ID TEXT: control ID of the main window holds exactly TEXT.
qw_text_is() {
    qw_ask "text $1" && [ "$QW_ANSWER" = "$(qw_escape "$2")" ]
}

qw_text_starts() {
    qw_ask "text $1" || return 1
    case "$QW_ANSWER" in "$(qw_escape "$2")"*) return 0 ;; *) return 1 ;; esac
}

# The rectangle GetWindowRect reports, in QW_RECT as "XPos YPos Width Height" are saved.
qw_rect() {
    QW_RECT=
    qw_ask rect && [ "$QW_ANSWER" != - ] && QW_RECT=$QW_ANSWER
}

# qw_answer no: the question's いいえ has the mnemonic N; yes: Return presses はい.
qw_answer() {
    if [ "$1" = yes ]; then
        xdotool key Return
    else
        xdotool key n
    fi
}

qw_no_dialog() {
    ! qw_dialog_up "$1" .
}

# qw_dialog_up PID NAME: a window of the program other than the main one, whose title
# matches NAME, is showing.
qw_dialog_up() {
    xdotool search --all --onlyvisible --pid "$1" --name "$2" 2>/dev/null | grep -qvx "$QD_WIN"
}

# qw_rect_moved "X Y W H": both the place and the size differ from these.
qw_rect_moved() {
    local x y w h x0 y0 w0 h0
    qw_rect || return 1
    read -r x y w h <<<"$QW_RECT"
    read -r x0 y0 w0 h0 <<<"$1"
    [ "$x $y" != "$x0 $y0" ] && [ "$w $h" != "$w0 $h0" ]
}
# QW_RECT once two readings in a row agree (the move and the resize both handled).
qw_settled_rect() {
    local previous deadline=$((SECONDS + 60))
    qw_rect
    previous=$QW_RECT
    while [ $SECONDS -lt $deadline ]; do
        qw_rect
        if [ -n "$QW_RECT" ] && [ "$QW_RECT" = "$previous" ]; then
            return 0
        fi
        previous=$QW_RECT
    done
    return 1
}
# The exit question and closing, as tests/desktop/lib.sh asks them, with bounds for Wine
# on a busy machine. HOW: "menu" (ファイル → 終了) or "close" (Alt+F4).
qw_ask_exit() {
    qd_wait 60 qd_active_is "$QD_WIN" || xdotool windowactivate "$QD_WIN" 2>/dev/null
    qd_ask_exit "$1" "$2" 60
}

qw_close() {
    qw_ask_exit "$1" "${2:-menu}" || return 1
    qw_answer yes
    qd_wait 60 qd_ended "$1"
}
