#!/usr/bin/env bash
# On a system without a code page 932 converter the program says so in a message box and
# ends when it is closed, before it reads or writes its settings: without the converter
# the dictionary name would be saved as "?".
source "$(dirname "$0")/lib.sh"

shim="$QUILLERY_BUILD_DIR/no_code_page_932.so"
[ -f "$shim" ] || { qd_fail "no $shim (build the no_code_page_932 target)"; qd_finish; exit; }

dir=$(qd_trial no-cp932)
# 辞書ファイル名 in code page 932 bytes, the file written with CR LF as the program does.
printf '[Settings]\r\nRatio=3\r\nDicFileName=\x8e\xab\x8f\x91.txt\r\n' >"$dir/QuilleryMini.ini"
cp "$dir/QuilleryMini.ini" "$dir/before.ini"
xdotool mousemove 0 0
(cd "$dir" && LD_PRELOAD=$shim exec ./QuilleryMini 2>/dev/null) &
pid=$!
qd_pids+=("$pid")
if qd_wait 15 qd_has_box "$pid"; then
    box=$(qd_box "$pid")
    qd_has_main "$pid" && qd_fail "the main window opened as well"
    qd_wait 10 qd_active_is "$box" || qd_fail "the message box is not active"
    xdotool key Return
    qd_wait 10 qd_ended "$pid" || qd_fail "the program did not end after the message"
    cmp -s "$dir/QuilleryMini.ini" "$dir/before.ini" || qd_fail "the settings file changed"
else
    qd_fail "no message box (main window: $(qd_main_window "$pid"))"
fi

qd_finish
