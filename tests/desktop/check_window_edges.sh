#!/usr/bin/env bash
# The window at the screen's edges and with sizes no screen holds: a saved rectangle at
# left 0 or top 0 comes back where it was; hand-edited sizes and a scaled first start on a
# small screen keep the whole title bar on the screen and the window within it; and a run
# refused for an empty dictionary leaves no 処理中 in the status bar.
source "$(dirname "$0")/lib.sh"

window_section() {
    printf '[Window]\nXPos=%s\nYPos=%s\nWidth=%s\nHeight=%s\n' "$@"
}

# within_screen "X Y W H" SW SH: the frame lies wholly on the screen, title bar included.
within_screen() {
    local fx fy fw fh
    read -r fx fy fw fh <<<"$1"
    [ "$fx" -ge 0 ] && [ "$fy" -ge 0 ] && [ $((fx + fw)) -le "$2" ] && [ $((fy + fh)) -le "$3" ]
}

frame_at() {
    [ "$(qd_rect "$(qd_frame "$1")" | cut -d' ' -f1-2)" = "$2" ]
}

read -r sw sh <<<"$(xwininfo -root | awk '/^  Width:/ {w = $2} /^  Height:/ {h = $2} END {print w, h}')"

# 1. Saved at the left or top edge: restored exactly, and saved again unchanged.
for rect in "0 0 640 480" "0 90 640 480" "120 0 640 480"; do
    dir=$(qd_trial "edge-${rect// /-}" "$(window_section $rect)"$'\n')
    if ! qd_start "$dir"; then
        qd_fail "saved $rect: no window"
        continue
    fi
    frame=$(qd_rect "$(qd_frame "$QD_WIN")")
    [ "$frame" = "$rect" ] || qd_fail "saved $rect: opened at $frame"
    qd_close "$QD_PID" || qd_fail "saved $rect: did not close"
    [ "$(qd_saved_rect "$dir")" = "$rect" ] || qd_fail "saved $rect: then saved $(qd_saved_rect "$dir")"
done

# 2. Moved by the user into the top-left corner, closed with はい, started again: there.
dir=$(qd_trial corner)
if qd_start "$dir"; then
    # North-west gravity: the frame's corner, title bar included, goes to 0,0.
    wmctrl -i -r "$QD_WIN" -e 1,0,0,-1,-1
    qd_wait 10 frame_at "$QD_WIN" "0 0" || qd_fail "corner: the window manager did not move it"
    moved=$(qd_rect "$(qd_frame "$QD_WIN")")
    qd_close "$QD_PID" || qd_fail "corner: did not close"
    [ "$(qd_saved_rect "$dir")" = "$moved" ] || qd_fail "corner: saved $(qd_saved_rect "$dir"), frame $moved"
    if qd_start "$dir"; then
        again=$(qd_rect "$(qd_frame "$QD_WIN")")
        [ "$again" = "$moved" ] || qd_fail "corner: reopened at $again, not $moved"
        qd_close "$QD_PID" || qd_fail "corner: did not close the second time"
    else
        qd_fail "corner: no window the second time"
    fi
else
    qd_fail "corner: no window"
fi

# 3. Hand-edited sizes: the title bar on the screen and the window within it.
for rect in "100 80 -600 99999999" "100 80 640 5000" "100 -3000 640 480" "900 700 640 480"; do
    dir=$(qd_trial "sizes-${rect// /_}" "$(window_section $rect)"$'\n')
    if ! qd_start "$dir"; then
        qd_fail "saved $rect: no window"
        continue
    fi
    frame=$(qd_rect "$(qd_frame "$QD_WIN")")
    within_screen "$frame" "$sw" "$sh" || qd_fail "saved $rect: frame $frame not within ${sw}x${sh}"
    qd_close "$QD_PID" || qd_fail "saved $rect: did not close"
done

# 4. A first start scaled by 2 on a 1600 x 1000 screen, with a window manager of its own.
scaled_display=
for n in $(seq $((${DISPLAY#:} + 1)) $((${DISPLAY#:} + 9))); do
    [ -e "/tmp/.X$n-lock" ] || [ -e "/tmp/.X11-unix/X$n" ] && continue
    Xvfb ":$n" -screen 0 1600x1000x24 -nolisten tcp >/dev/null 2>&1 &
    qd_pids+=($!)
    if qd_wait 10 xdpyinfo -display ":$n" >/dev/null; then
        scaled_display=:$n
        break
    fi
done
if [ -z "$scaled_display" ]; then
    qd_fail "scaled: no display for a 1600x1000 screen"
else
    DISPLAY=$scaled_display openbox --sm-disable >/dev/null 2>&1 &
    qd_pids+=($!)
    wm_up() { DISPLAY=$scaled_display xprop -root _NET_SUPPORTING_WM_CHECK | grep -q 'window id'; }
    qd_wait 10 wm_up || qd_fail "scaled: openbox did not start"
    dir=$(qd_trial scaled)
    (cd "$dir" && DISPLAY=$scaled_display QT_SCALE_FACTOR=2 exec ./QuilleryMini 2>/dev/null) &
    pid=$!
    qd_pids+=("$pid")
    scaled_framed() {
        win=$(DISPLAY=$scaled_display qd_main_window "$pid")
        [ -n "$win" ] && DISPLAY=$scaled_display qd_framed "$win"
    }
    if qd_wait 15 scaled_framed; then
        # Placed once the frame is known: wait until it stops moving.
        previous=
        settled() {
            current=$(DISPLAY=$scaled_display qd_rect "$(DISPLAY=$scaled_display qd_frame "$win")")
            [ "$current" = "$previous" ] || { previous=$current; return 1; }
        }
        qd_wait 10 settled
        within_screen "$current" 1600 1000 || qd_fail "scaled: frame $current not within 1600x1000"
    else
        qd_fail "scaled: no window"
    fi
fi

# 5. An empty dictionary: 辞書ファイルが空です, and afterwards no 処理中 in the status bar.
printf '\x1a' >"$QUILLERY_SCRATCH/empty.dat"
dir=$(qd_trial empty "[Settings]"$'\n'"Data=$QUILLERY_SCRATCH/empty.dat"$'\n')
if qd_start "$dir"; then
    read -r _ _ _ ch <<<"$(qd_rect "$QD_WIN")"
    band=$((ch - 16))
    before=$(qd_settled_hash "$QD_WIN" "$band" 12)
    xdotool key alt+c
    qd_wait 10 qd_popup_open "$QD_PID" || qd_fail "empty dictionary: the menu did not open"
    xdotool key c
    if qd_wait 10 qd_has_box "$QD_PID"; then
        # While the message is up the bar says a run is going.
        changed() { [ "$(qd_rows_hash "$QD_WIN" "$band" 12)" != "$before" ]; }
        qd_wait 10 changed || qd_fail "empty dictionary: the bar showed nothing during the run"
        qd_activate "$(qd_box "$QD_PID")"
        xdotool key Return
        qd_wait 10 bash -c "! xdotool search --all --onlyvisible --pid $QD_PID --name '^QuilleryMini$' | grep -q ."
        back() { [ "$(qd_settled_hash "$QD_WIN" "$band" 12)" = "$before" ]; }
        qd_wait 10 back || qd_fail "empty dictionary: the status bar still shows something after the run"
    else
        qd_fail "empty dictionary: no message"
    fi
    qd_close "$QD_PID" || qd_fail "empty dictionary: did not close"
else
    qd_fail "empty dictionary: no window"
fi

qd_finish
