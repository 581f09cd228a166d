#!/usr/bin/env bash
# The saved window rectangle under a real window manager: what is saved is the outer
# rectangle seen from outside, restoring it does not drift, no saved rectangle makes the
# window unusable, and the rules for incomplete rectangles and for closing while
# maximised or minimised hold. QD_STARTS changes the number of unsaved starts (20).
source "$(dirname "$0")/lib.sh"

starts=${QD_STARTS:-20}

# Starts a trial, measures the frame from outside once the exit question is up, answers
# はい. Sets FRAME ("X Y W H") and SAVED; false when the window did not behave.
measure_and_close() {
    local dir=$1 how=${2:-menu}
    qd_start "$dir" || return 1
    qd_ask_exit "$QD_PID" "$how" || return 1
    FRAME=$(qd_rect "$(qd_frame "$QD_WIN")")
    qd_answer "$QD_PID" yes
    qd_wait 10 qd_ended "$QD_PID" || return 1
    SAVED=$(qd_saved_rect "$dir")
}

# 1. Unsaved starts, closed at once by Exit or the close box: the frame is what is saved.
unsaved_frame=
for i in $(seq 1 "$starts"); do
    how=menu
    [ $((i % 2)) -eq 0 ] && how=close
    if ! measure_and_close "$(qd_trial "unsaved-$i")" "$how"; then
        qd_fail "unsaved start $i ($how): window did not open or close"
        continue
    fi
    [ "$SAVED" = "$FRAME" ] || qd_fail "unsaved start $i ($how): saved $SAVED, frame $FRAME"
    unsaved_frame=${unsaved_frame:-$FRAME}
done
read -r ux uy uw uh <<<"${unsaved_frame:-0 0 0 0}"

# 1b. The window manager's reports made late on purpose: it is held (stopped) until the
# program has created its window, then released; the close request comes as soon as the
# window is framed, or (through the window manager) before it has even been shown.
if [ -n "${QUILLERY_WM_PID:-}" ]; then
    for i in 1 2 3 4; do
        dir=$(qd_trial "late-$i")
        # Held while still unmanaging the last trial's windows, it could keep the server
        # grabbed, and every client (this check's tools too) would wait for ever.
        if ! qd_wait 10 qd_no_clients; then
            qd_fail "late frame $i: the window manager still manages earlier windows"
            continue
        fi
        kill -STOP "$QUILLERY_WM_PID"
        (cd "$dir" && exec ./QuilleryMini 2>/dev/null) &
        QD_PID=$!
        qd_pids+=("$QD_PID")
        created() { [ -n "$(xdotool search --all --pid "$QD_PID" --name '^Quillery - ' 2>/dev/null)" ]; }
        qd_wait 15 created || qd_fail "late frame $i: no window created"
        win=$(xdotool search --all --pid "$QD_PID" --name '^Quillery - ' 2>/dev/null | head -1)
        if [ $((i % 2)) -eq 0 ]; then
            wmctrl -i -c "$win"  # queued for the window manager, handled as soon as it runs
            kill -CONT "$QUILLERY_WM_PID"
            qd_wait 10 qd_has_box "$QD_PID" && qd_activate "$(qd_box "$QD_PID")" ||
                qd_fail "late frame $i: no question after the early close request"
        else
            kill -CONT "$QUILLERY_WM_PID"
            { qd_wait 10 qd_framed "$win" && qd_activate "$win" && qd_ask_exit "$QD_PID" menu; } ||
                qd_fail "late frame $i: no question"
        fi
        frame=$(qd_rect "$(qd_frame "$win")")
        qd_answer "$QD_PID" yes
        qd_wait 10 qd_ended "$QD_PID" || qd_fail "late frame $i: did not end"
        saved=$(qd_saved_rect "$dir")
        [ "$saved" = "$frame" ] || qd_fail "late frame $i: saved $saved, frame $frame"
    done
fi

# The [Window] section of a settings file holding the rectangle X Y WIDTH HEIGHT, each
# line ended (the saved file is read back line by line).
window_section() {
    printf '[Window]\nXPos=%s\nYPos=%s\nWidth=%s\nHeight=%s\n' "$@"
}

# 2. Three starts in a row from a saved rectangle: no drift.
dir=$(qd_trial restore "$(window_section 120 90 640 480)"$'\n')
for run in 1 2 3; do
    if ! measure_and_close "$dir"; then
        qd_fail "restore run $run: window did not open or close"
        break
    fi
    [ "$FRAME" = "120 90 640 480" ] || qd_fail "restore run $run: frame $FRAME, not 120 90 640 480"
    [ "$SAVED" = "120 90 640 480" ] || qd_fail "restore run $run: saved $SAVED"
done

# 3. Saved rectangles that would make the window unusable give a usable one, in view.
screen=$(xwininfo -root | awk '/^  Width:/ {w = $2} /^  Height:/ {h = $2} END {print w, h}')
read -r sw sh <<<"$screen"
for rect in "300 200 1 1" "300 200 10 10" "300 200 30 30" "5000 4000 600 400" "-3000 200 600 400"; do
    read -r x y w h <<<"$rect"
    dir=$(qd_trial "small-${x}-${y}-${w}" "$(window_section $rect)"$'\n')
    if ! qd_start "$dir"; then
        qd_fail "saved $rect: no window shown"
        continue
    fi
    read -r _ _ cw ch <<<"$(qd_rect "$QD_WIN")"
    read -r fx fy fw fh <<<"$(qd_rect "$(qd_frame "$QD_WIN")")"
    { [ "$cw" -ge 300 ] && [ "$ch" -ge 100 ]; } || qd_fail "saved $rect: client ${cw}x${ch} too small"
    { [ "$fx" -lt "$sw" ] && [ "$fy" -lt "$sh" ] && [ $((fx + fw)) -gt 0 ] && [ $((fy + fh)) -gt 0 ]; } ||
        qd_fail "saved $rect: frame $fx $fy $fw $fh off the screen"
    if [ "$x" -ge 5000 ] || [ "$x" -le -3000 ]; then
        [ "$fx $fy" = "$ux $uy" ] || qd_fail "saved $rect: opened at $fx $fy, not where an unsaved one opens ($ux $uy)"
    fi
    # Usable: the menu opens and the program ends through it.
    if qd_close "$QD_PID"; then
        [ "$(qd_saved_rect "$dir")" = "$fx $fy $fw $fh" ] ||
            qd_fail "saved $rect: then saved $(qd_saved_rect "$dir"), frame $fx $fy $fw $fh"
    else
        qd_fail "saved $rect: could not close through the menu"
    fi
done

# 4. A width or height of 0 counts as nothing saved: the window opens as an unsaved one.
for rect in "120 90 0 480" "120 90 640 0"; do
    read -r x y w h <<<"$rect"
    dir=$(qd_trial "zero-$x-$y-$w" "$(window_section $rect)"$'\n')
    if ! measure_and_close "$dir"; then
        qd_fail "saved $rect: window did not open or close"
        continue
    fi
    [ "$FRAME" = "$ux $uy $uw $uh" ] || qd_fail "saved $rect: opened at $FRAME, not as unsaved ($ux $uy $uw $uh)"
done

# 5. Closing while maximised or minimised leaves the four keys as they were.
maximised() { xprop -id "$1" _NET_WM_STATE | grep -q _NET_WM_STATE_MAXIMIZED_HORZ; }
minimised() { xprop -id "$1" WM_STATE | grep -q 'Iconic'; }
for state in maximised minimised; do
    dir=$(qd_trial "$state" "$(window_section 150 110 500 400)"$'\n')
    before=$(qd_saved_rect "$dir")
    if ! qd_start "$dir"; then
        qd_fail "$state: window did not open"
        continue
    fi
    if [ $state = maximised ]; then
        wmctrl -i -r "$QD_WIN" -b add,maximized_vert,maximized_horz
        qd_wait 10 maximised "$QD_WIN" || qd_fail "$state: the window manager did not maximise it"
        qd_wait 10 qd_framed "$QD_WIN"
        qd_close "$QD_PID" close || qd_fail "$state: did not close"
    else
        xdotool windowminimize "$QD_WIN"
        qd_wait 10 minimised "$QD_WIN" || qd_fail "$state: the window manager did not minimise it"
        # The close request of a taskbar: the window manager asks the window to close.
        wmctrl -i -c "$QD_WIN"
        { qd_wait 10 qd_has_box "$QD_PID" && qd_activate "$(qd_box "$QD_PID")" &&
            qd_answer "$QD_PID" yes && qd_wait 10 qd_ended "$QD_PID"; } ||
            qd_fail "$state: did not close"
    fi
    after=$(qd_saved_rect "$dir")
    [ "$after" = "$before" ] || qd_fail "$state: position keys changed from $before to $after"
    [ "$(qd_ini "$dir" Ratio)" = 4 ] || qd_fail "$state: the settings were not saved"
done

qd_finish
