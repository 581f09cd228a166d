#!/usr/bin/env bash
# The Windows program as a user meets it: its title; a pasted Japanese paragraph
# converted with a fixed seed, the statistics in the status bar and the lower pane saved
# byte for byte as quillery-convert writes it; the keys; the close question.
source "$(dirname "$0")/winlib.sh"

dictionary='キーワード
X
夏の'
paragraph='Quilleryは東京の夏を描いた短い文章です。
夜になると、駅前の広場で祭りが始まりました。
人々は太鼓の音に合わせて、朝まで踊ります。'
dir=$(qw_trial main '[Settings]
Ratio=5
[Debug]
UseRandom=1
RandomSeed=20261207')
printf '%s' "$dictionary" | sed 's/$/\r/' | iconv -t CP932 >"$dir/velmo.dat"

# What quillery-convert makes of the same text: the Linux build's when the stage names
# it, else the Windows one's.
printf '%s' "$paragraph" | sed '$!s/$/\r/' | iconv -t CP932 >"$dir/input.txt"
if [ -n "${QUILLERY_NATIVE_CONVERT:-}" ]; then
    "$QUILLERY_NATIVE_CONVERT" --dictionary "$dir/velmo.dat" --ratio 5 --seed 20261207 \
        "$dir/input.txt" >"$dir/expected.txt" 2>"$dir/expected.err"
else
    (cd "$dir" && wine "$QUILLERY_BUILD_DIR/quillery-convert.exe" --dictionary velmo.dat \
        --ratio 5 --seed 20261207 input.txt >expected.txt 2>expected.err)
fi
statistics=$(tail -n 1 "$dir/expected.err" | tr -d '\r')
crlf_paragraph=$(printf '%s' "$paragraph" | sed '$!s/$/\r/')

qw_start "$dir" || { qd_fail "the window did not open"; qd_finish; exit; }
title=$(xdotool getwindowname "$QD_WIN")
[ "$title" = "Quillery - 50% velmo.dat" ] || qd_fail "title '$title'"

# Pasted from the X clipboard into the upper pane.
qd_clipboard_set "$paragraph" || qd_fail "clipboard not set"
xdotool key ctrl+v
qd_wait 60 qw_text_is 1003 "$crlf_paragraph" || qd_fail "pasted text: $QW_ANSWER"

# 変換 → デバッグ変換, OK with the settings' fixed seed.
xdotool key alt+c
qd_wait 60 qd_popup_open "$QD_PID" || qd_fail "the 変換 menu did not open"
xdotool key d
qd_wait 60 qw_dialog_up "$QD_PID" 'デバッグ変換' || qd_fail "no debug conversion dialog"
xdotool key Return
qd_wait 60 qw_text_starts 59393 '変換終了' || qd_fail "no statistics: $QW_ANSWER"
qw_text_is 59393 "$statistics" || qd_fail "status '$QW_ANSWER', converter '$statistics'"

# ファイル → 変換テキスト保存, into a file named in the save dialog.
xdotool key alt+f
qd_wait 60 qd_popup_open "$QD_PID" || qd_fail "the ファイル menu did not open"
xdotool key c
if qd_wait 60 qw_dialog_up "$QD_PID" '.'; then
    xdotool type --delay 5 "$(qw_windows_path "$dir/saved.txt")"
    xdotool key Return
    qd_wait 60 test -s "$dir/saved.txt" || qd_fail "nothing saved"
    cmp -s "$dir/expected.txt" "$dir/saved.txt" || qd_fail "saved bytes differ from quillery-convert's"
else
    qd_fail "no save dialog"
fi

# Keys, each followed by a typed letter, so that its effect (or none) has been handled.
# The save dialog gone, a click puts the caret into the upper pane.
qd_wait 60 qw_no_dialog "$QD_PID" || qd_fail "the save dialog stayed"
qw_activate "$QD_WIN"
eval "$(xdotool getwindowgeometry --shell "$QD_WIN")"
xdotool mousemove $((X + WIDTH / 2)) $((Y + HEIGHT / 4)) click 1
xdotool key ctrl+a
xdotool type z
qd_wait 60 qw_text_is 1003 z || qd_fail "Ctrl+A then z: $QW_ANSWER"
xdotool key Escape Return
xdotool type y
qd_wait 60 qw_text_is 1003 $'z\r\ny' || qd_fail "Esc, Enter: $QW_ANSWER"
qd_has_box "$QD_PID" && qd_fail "Esc or Enter asked something"
xdotool key ctrl+Tab
xdotool type x
qd_wait 60 qw_text_is 1003 $'z\r\ny\tx' || qd_fail "Ctrl+Tab: $QW_ANSWER"
xdotool key Tab ctrl+a
xdotool type w
qd_wait 60 qw_text_is 1004 w || qd_fail "Tab to the lower pane: $QW_ANSWER"
xdotool key shift+Tab
xdotool type v
qd_wait 60 qw_text_is 1003 $'z\r\ny\txv' || qd_fail "Shift+Tab back: $QW_ANSWER"

# The close question: いいえ keeps everything, はい writes the settings file.
qw_ask_exit "$QD_PID" close || qd_fail "no question on close"
qw_answer no
qd_wait 60 qw_text_is 1003 $'z\r\ny\txv' || qd_fail "the window did not stay after いいえ"
[ "$(qd_ini "$dir" Ratio)" = 5 ] && [ -z "$(qd_ini "$dir" XPos)" ] || qd_fail "いいえ wrote the settings"
qw_rect
rect=$QW_RECT
qw_ask_exit "$QD_PID" menu || qd_fail "no question on Exit"
qw_answer yes
qd_wait 60 qd_ended "$QD_PID" || qd_fail "はい did not end the program"
[ "$(qd_saved_rect "$dir")" = "$rect" ] || qd_fail "saved '$(qd_saved_rect "$dir")', GetWindowRect '$rect'"
[ -n "$(qd_ini "$dir" NewestRandomSeed)" ] || qd_fail "the settings file lacks keys"
qd_finish
