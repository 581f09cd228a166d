#!/usr/bin/env bash
# The saved rectangle is the one GetWindowRect reports: QW_STARTS (20) starts, each moved
# and resized from outside to a rectangle of its own, then closed with はい. Then saved
# rectangles no one could use: off every screen, and too small to show the bars.
source "$(dirname "$0")/winlib.sh"

starts=${QW_STARTS:-20}
for i in $(seq 1 "$starts"); do
    dir=$(qw_trial "start-$i")
    if ! qw_start "$dir"; then
        qd_fail "start $i: no window"
        qd_cleanup
        continue
    fi
    qw_rect
    before=$QW_RECT
    xdotool windowsize "$QD_WIN" $((420 + 13 * i)) $((330 + 7 * i))
    xdotool windowmove "$QD_WIN" $((20 + 17 * i)) $((30 + 11 * i))
    qd_wait 60 qw_rect_moved "$before" || qd_fail "start $i: the rectangle stayed $before"
    qw_settled_rect || qd_fail "start $i: the rectangle did not settle"
    rect=$QW_RECT
    if qw_close "$QD_PID" close; then
        saved=$(qd_saved_rect "$dir")
        [ "$saved" = "$rect" ] || qd_fail "start $i: saved '$saved', GetWindowRect '$rect'"
    else
        qd_fail "start $i: did not close"
    fi
    qd_cleanup
done

# Off every screen and 3 × 2 pixels: the window opens on the screen, big enough to use.
dir=$(qw_trial lost '[Window]
XPos=30000
YPos=-30000
Width=3
Height=2')
if qw_start "$dir"; then
    qw_rect
    read -r x y w h <<<"$QW_RECT"
    screen_w=$(xdpyinfo | awk '/dimensions:/ {split($2, d, "x"); print d[1]}')
    screen_h=$(xdpyinfo | awk '/dimensions:/ {split($2, d, "x"); print d[2]}')
    { [ "$x" -ge 0 ] && [ "$y" -ge 0 ] && [ $((x + w)) -le "$screen_w" ] &&
        [ $((y + h)) -le "$screen_h" ]; } || qd_fail "lost window at $x $y $w $h"
    { [ "$w" -ge 200 ] && [ "$h" -ge 150 ]; } || qd_fail "tiny window stays $w × $h"
    qd_viewable "$QD_WIN" || qd_fail "the window is not viewable"
else
    qd_fail "a lost rectangle: no window"
fi
qd_finish
