#!/usr/bin/env bash
# The main window's keys and focus under a real window manager: the focus after a run
# during which a menu was used, Ctrl+Enter, a menu bar left with Esc, and the exit
# question answered No.
source "$(dirname "$0")/lib.sh"

# 1. Focus after a run with a menu opened and left meanwhile: the next keys go to the
# pane that had the focus, or, when the menu was left after the run had ended, the menu
# bar shows that it holds them and a second Esc gives them to that pane.
bar_rows=(2 16)
dir=$(qd_trial focus)
if qd_start "$dir"; then
    idle=$(qd_rows_hash "$QD_WIN" "${bar_rows[@]}")
    long=$(for _ in $(seq 1 40000); do echo "私は東京に行きました。吾輩は猫である。"; done)
    qd_clipboard_set "$long" || qd_fail "focus: could not fill the clipboard"
    xdotool key ctrl+v
    qd_wait 20 qd_pane_text_is "$long" || qd_fail "focus: the input pane did not take the text"
    qd_clipboard_set "-" || qd_fail "focus: could not reset the clipboard"
    xdotool key alt+c c  # 変換 → 変換
    # While 処理中．．． shows: a menu opened with the mouse (変換設定, the third title)
    # and left with Esc.
    read -r cx cy _ <<<"$(qd_rect "$QD_WIN")"
    xdotool mousemove $((cx + 185)) $((cy + 10)) click 1
    qd_wait 10 qd_popup_open "$QD_PID" || qd_fail "focus: the menu did not open during the run"
    xdotool key Escape
    qd_wait 10 qd_popup_closed "$QD_PID"
    # Keys sent during the run are lost (the panes are disabled): poll until they arrive.
    reached=0 escaped=0 deadline=$((SECONDS + 30))
    while [ $SECONDS -lt $deadline ]; do
        if qd_pane_text_is "$long"; then
            reached=1
            break
        fi
        if [ $escaped -eq 0 ] && [ "$(qd_rows_hash "$QD_WIN" "${bar_rows[@]}")" != "$idle" ]; then
            xdotool key Escape  # the bar shows it holds the keyboard: leave it
            escaped=1
        fi
    done
    if [ $reached -eq 1 ]; then
        xdotool key ctrl+End
        xdotool type Z
        qd_pane_text_is "${long}Z" || qd_fail "focus: a letter typed after the run did not arrive"
    else
        qd_fail "focus: after the run the keys reached no pane and the menu bar showed nothing"
    fi
    qd_clipboard_drop
    qd_close "$QD_PID" || qd_fail "focus: did not close"
else
    qd_fail "focus: window did not open"
fi

# 2. Ctrl+Enter breaks a line in a writable pane and does nothing in a read-only one.
dir=$(qd_trial ctrl-enter "[Window]
EditReadOnly=1
")
if qd_start "$dir"; then
    xdotool type ab
    xdotool key ctrl+Return shift+Return Return
    xdotool type c
    qd_pane_text_is $'ab\n\n\nc' || qd_fail "ctrl+enter: the input pane does not hold ab, three line breaks, c"
    xdotool key Tab ctrl+Return
    qd_pane_text_is "<<< ここに変換結果が表示されます >>>" ||
        qd_fail "ctrl+enter: the read-only output pane changed"
    qd_clipboard_drop
    qd_close "$QD_PID" || qd_fail "ctrl+enter: did not close"
else
    qd_fail "ctrl+enter: window did not open"
fi

# 3. A menu left with Esc: while the menu bar keeps the keyboard its title shows it; the
# second Esc gives the keys back to the pane.
dir=$(qd_trial menu-escape)
if qd_start "$dir"; then
    idle=$(qd_rows_hash "$QD_WIN" "${bar_rows[@]}")
    xdotool key alt+w
    qd_wait 10 qd_popup_open "$QD_PID" || qd_fail "menu escape: Alt+W opened no menu"
    xdotool key Escape
    qd_wait 10 qd_popup_closed "$QD_PID" || qd_fail "menu escape: Esc left the menu open"
    held() { [ "$(qd_rows_hash "$QD_WIN" "${bar_rows[@]}")" != "$idle" ]; }
    released() { [ "$(qd_rows_hash "$QD_WIN" "${bar_rows[@]}")" = "$idle" ]; }
    qd_wait 5 held || qd_fail "menu escape: the menu bar holds the keyboard and shows nothing"
    xdotool key Escape
    qd_wait 5 released || qd_fail "menu escape: the menu bar still looks held after the second Esc"
    xdotool type q
    qd_pane_text_is q || qd_fail "menu escape: the key after the second Esc did not reach the pane"
    qd_clipboard_drop
    qd_close "$QD_PID" || qd_fail "menu escape: did not close"
else
    qd_fail "menu escape: window did not open"
fi

# 4. The exit question answered No (Esc in the box) leaves the settings file as it was,
# byte for byte, and the window open.
before=$'; kept as it is\r\n[Settings]\r\nRatio=7\r\n[Window]\r\nWindowRatio=2\r\n'
dir=$(qd_trial answer-no)
printf '%s' "$before" >"$dir/QuilleryMini.ini"
cp "$dir/QuilleryMini.ini" "$dir/before.ini"
if qd_start "$dir"; then
    xdotool key alt+s r Down Return  # a ratio changed in memory
    for how in menu close; do
        qd_ask_exit "$QD_PID" "$how" || qd_fail "answer no ($how): no question"
        qd_answer "$QD_PID" no
        box_gone() { ! qd_has_box "$QD_PID"; }
        qd_wait 10 box_gone || qd_fail "answer no ($how): the box stayed"
        cmp -s "$dir/QuilleryMini.ini" "$dir/before.ini" || qd_fail "answer no ($how): the settings file changed"
        qd_viewable "$QD_WIN" || qd_fail "answer no ($how): the window went away"
        qd_activate "$QD_WIN"
    done
    qd_close "$QD_PID" || qd_fail "answer no: did not close with Yes afterwards"
else
    qd_fail "answer no: window did not open"
fi

qd_finish
