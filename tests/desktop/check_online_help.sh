#!/usr/bin/env bash
# Online help on a desktop with no browser launcher (xdg-utils is only recommended): No
# opens nothing, はい says that the page could not be opened and where it lies; the window
# goes on afterwards.
source "$(dirname "$0")/lib.sh"

# The box's text as QMessageBox copies it with Ctrl+C (caption, text and buttons).
box_text_has() {
    xdotool key ctrl+c
    xclip -selection clipboard -o -t UTF8_STRING 2>/dev/null | grep -qF "$1"
}

# Opens ヘルプ → オンラインヘルプ; true once a box is up and active.
open_help_prompt() {
    xdotool key alt+h
    qd_wait 10 qd_popup_open "$QD_PID" || return 1
    xdotool key o
    qd_wait 10 qd_has_box "$QD_PID" || return 1
    qd_wait 10 qd_active_is "$(qd_box "$QD_PID")"
}

no_box() {
    ! qd_has_box "$QD_PID"
}

dir=$(qd_trial help)
page="$dir/help/index.html"
# An empty folder as the whole PATH: no xdg-open, nor any other launcher.
mkdir -p "$QUILLERY_SCRATCH/no-launcher"
xdotool mousemove 0 0
(cd "$dir" && exec env PATH="$QUILLERY_SCRATCH/no-launcher" ./QuilleryMini 2>/dev/null) &
if qd_started $!; then
    # No: the box goes, and the next box is the prompt again, not a failure.
    qd_clipboard_set "-" || qd_fail "could not reset the clipboard"
    if open_help_prompt; then
        qd_wait 5 box_text_has "をブラウザで開きますか？" || qd_fail "the first box is not the prompt"
        qd_answer "$QD_PID" no
        qd_wait 10 no_box || qd_fail "the prompt stayed after No"
    else
        qd_fail "ヘルプ → オンラインヘルプ showed no prompt"
    fi
    qd_clipboard_set "-" || qd_fail "could not reset the clipboard"
    if open_help_prompt; then
        qd_wait 5 box_text_has "をブラウザで開きますか？" || qd_fail "No was followed by another box"
        prompt=$(qd_box "$QD_PID")
        qd_answer "$QD_PID" yes
        told() {
            local box
            box=$(qd_box "$QD_PID") && [ -n "$box" ] && [ "$box" != "$prompt" ] &&
                qd_active_is "$box"
        }
        if qd_wait 10 told; then
            qd_wait 5 box_text_has "オンラインヘルプを開けませんでした。" ||
                qd_fail "the message does not say that the help could not be opened"
            box_text_has "$page" || qd_fail "the message does not give the page's path $page"
            [ -n "${QD_SHOT:-}" ] && import -window root "$QD_SHOT"
            xdotool key Return
            qd_wait 10 no_box || qd_fail "the message stayed after OK"
            qd_activate "$QD_WIN" || qd_fail "the main window did not take the focus back"
            qd_close "$QD_PID" || qd_fail "the program did not close after the message"
        else
            qd_fail "はい with no browser launcher showed no message"
        fi
    else
        qd_fail "ヘルプ → オンラインヘルプ showed no prompt the second time"
    fi
else
    qd_fail "the main window did not open"
fi

qd_finish
