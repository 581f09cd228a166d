#!/usr/bin/env bash
# Text as a Linux input method or a web page gives it (〜 − ‖ ¢ £ ¬ —), pasted into the
# input pane, is saved as the code page 932 characters it stands for, and so is its
# conversion at ratio 0; all with every iconv_open refused and no gconv modules to be
# found, since the program converts without them.
source "$(dirname "$0")/lib.sh"

shim="$QUILLERY_BUILD_DIR/no_iconv.so"
[ -f "$shim" ] || { qd_fail "no $shim (build the no_iconv target)"; qd_finish; exit; }

text='10時〜12時−‖¢£¬—'
expected='31 30 8e 9e 81 60 31 32 8e 9e 81 7c 81 61 81 91 81 92 81 ca 81 5c'

# As qd_start, with the program alone under the shim.
start_without_iconv() {
    xdotool mousemove 0 0
    mkdir -p "$1/no-gconv"
    (cd "$1" && LD_PRELOAD=$shim GCONV_PATH=$1/no-gconv QUILLERY_ICONV_LOG=$1/iconv.log \
        exec ./QuilleryMini 2>/dev/null) &
    qd_started $!
}

# A visible window of the process other than the main window: the file chooser.
chooser() {
    local w
    for w in $(qd_windows "$QD_PID"); do
        [ "$w" != "$QD_WIN" ] && ! xwininfo -id "$w" | grep -q 'Override Redirect State: yes' &&
            echo "$w" && return 0
    done
    return 1
}
has_chooser() { chooser >/dev/null; }
no_chooser() { ! has_chooser; }
bytes_of() { od -An -tx1 -v "$1" 2>/dev/null | tr -s ' \n' ' ' | sed 's/^ //; s/ $//'; }
file_is() { [ "$(bytes_of "$1")" = "$expected" ]; }

# save KEY FILE: ファイル → the item with mnemonic KEY, the chooser answered with FILE.
save() {
    xdotool key alt+f
    qd_wait 10 qd_popup_open "$QD_PID" || { qd_fail "$2: no ファイル menu"; return 1; }
    xdotool key "$1"
    qd_wait 15 has_chooser || { qd_fail "$2: no file chooser"; return 1; }
    qd_activate "$(chooser)" || qd_fail "$2: the chooser is not active"
    # The chooser opens with the focus in its file name field.
    xdotool type --delay 20 "$dir/$2"
    xdotool key Return
    qd_wait 15 no_chooser || qd_fail "$2: the chooser stayed open"
    qd_wait 15 file_is "$dir/$2" || qd_fail "$2: saved $(bytes_of "$dir/$2"), not $expected"
}

dir=$(qd_trial forms "[Settings]
Ratio=0
")
if start_without_iconv "$dir"; then
    qd_clipboard_set "$text" || qd_fail "could not fill the clipboard"
    # The window takes the paste before it reads the next key, so the clipboard is kept
    # until the save is done.
    xdotool key ctrl+v
    save s input.txt
    # The pane keeps the forms as pasted: copied out again, they are the same text.
    qd_activate "$QD_WIN"
    qd_clipboard_set "-"
    qd_pane_text_is "$text" 10 || qd_fail "the input pane does not hold $text"

    xdotool key alt+c c
    # The converted text in the lower pane, which Tab reaches; keys sent while the run
    # goes are lost, so the copy is tried until it comes.
    xdotool key Tab
    qd_clipboard_set "-"
    qd_wait 30 qd_pane_text_is "$text" 1 || qd_fail "the output pane does not hold $text"
    save c output.txt

    [ ! -e "$dir/iconv.log" ] || qd_fail "the program asked iconv: $(head -3 "$dir/iconv.log")"
    qd_close "$QD_PID" || qd_fail "the program did not close"
else
    qd_fail "the window did not start without iconv"
fi

qd_finish
