#!/usr/bin/env bash
# The main window's keys and focus under a real window manager: the focus after a run
# during which a menu was used, Ctrl+Enter, a menu bar left with Esc, and the exit
# question answered No.
source "$(dirname "$0")/lib.sh"

# 1. Focus after a run with a menu opened and left meanwhile: the next keys go to the
# pane that had the focus, or, when the menu was left after the run had ended, the menu
# bar shows that it holds them and a second Esc gives them to that pane.
bar_rows=(2 16)
# The focused pane's last line: Ctrl+End, Shift+Home, Ctrl+C put LINE on the clipboard
# (a small transfer, unlike the whole text). The lines are short enough not to wrap.
last_line_is() {
    xdotool key ctrl+End shift+Home ctrl+c
    qd_wait "${2:-5}" qd_clipboard_is "$1"
}
# Every phrase gets a keyword (Ratio=10), so no line of the output pane equals one of
# the input pane.
dir=$(qd_trial focus "[Settings]
Ratio=10
")
if qd_start "$dir"; then
    idle=$(qd_settled_hash "$QD_WIN" "${bar_rows[@]}") || qd_fail "focus: the menu bar was never painted"
    line="私は東京に行きました。吾輩は猫である。"
    qd_clipboard_set "$(for _ in $(seq 1 40000); do echo "$line"; done)" ||
        qd_fail "focus: could not fill the clipboard"
    # Pasted three times: a run long enough to be caught with a menu open.
    xdotool key ctrl+v ctrl+v ctrl+v
    qd_wait 30 last_line_is "$line" || qd_fail "focus: the input pane did not take the text"
    # The 変換 menu as it looks with no run: a run greys its two items, so a different
    # look of the same menu shows that the run is going.
    xdotool key alt+c
    qd_wait 10 qd_popup_open "$QD_PID" || qd_fail "focus: Alt+C opened no menu"
    popup=$(qd_popup "$QD_PID")
    read -r _ _ _ popup_h <<<"$(qd_rect "$popup")"
    ready=$(qd_settled_hash "$popup" 0 "$popup_h") || qd_fail "focus: the menu was never painted"
    xdotool key Escape Escape
    qd_wait 10 qd_popup_closed "$QD_PID"
    greyed() {
        local now
        now=$(qd_settled_hash "$popup" 0 "$popup_h") && [ "$now" != "$ready" ]
    }
    # 変換 → 変換, then, while 処理中．．． shows, the menu opened again (by its mnemonic,
    # so no title has to be found on the screen), the pointer moved over it, and left
    # with Esc. A run that ended before the menu showed it greyed did not test anything:
    # it is tried again.
    caught=0
    for attempt in 1 2 3 4 5; do
        # The line on the clipboard again only when a copy after the run puts it there.
        qd_clipboard_set "-" || qd_fail "focus: could not reset the clipboard"
        xdotool key alt+c c
        xdotool key alt+c
        qd_wait 10 qd_popup_open "$QD_PID" || break
        popup=$(qd_popup "$QD_PID")
        if qd_wait 3 greyed; then
            caught=1
            read -r px py pw ph <<<"$(qd_rect "$popup")"
            xdotool mousemove $((px + pw / 2)) $((py + ph / 2))
            xdotool key Escape
            qd_wait 10 qd_popup_closed "$QD_PID"
            break
        fi
        # Missed: leave the menu and the menu bar, and wait for the pane to have the keys.
        xdotool key Escape Escape
        qd_wait 10 qd_popup_closed "$QD_PID"
        qd_wait 10 last_line_is "$line" 1
    done
    [ $caught -eq 1 ] || qd_fail "focus: no run was still going when the menu opened during it"
    # Keys sent during the run are lost (the panes are disabled): poll until they arrive.
    reached=0 escaped=0 deadline=$((SECONDS + 30))
    while [ $caught -eq 1 ] && [ $SECONDS -lt $deadline ]; do
        # A short try: a copy that lands late is still seen by the next one.
        if last_line_is "$line" 1; then
            reached=1
            break
        fi
        if [ $escaped -eq 0 ] && [ "$(qd_rows_hash "$QD_WIN" "${bar_rows[@]}")" != "$idle" ]; then
            xdotool key Escape  # the bar shows it holds the keyboard: leave it
            escaped=1
        fi
    done
    if [ $reached -eq 1 ]; then
        xdotool key ctrl+End  # off the selection, which the letter would replace
        xdotool type Z
        last_line_is "${line}Z" || qd_fail "focus: a letter typed after the run did not arrive"
    elif [ $caught -eq 1 ]; then
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
    idle=$(qd_settled_hash "$QD_WIN" "${bar_rows[@]}") || qd_fail "menu escape: the menu bar was never painted"
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
