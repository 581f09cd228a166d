# Source it, then `start_xvfb FOLDER SCREEN`: starts Xvfb on a display number it picks
# itself (-displayfd, so two runs side by side never fight over one), exports DISPLAY and
# sets xvfb_pid for the caller's clean-up. FOLDER takes the server's log.
start_xvfb() {
    local folder=$1 screen=$2
    Xvfb -displayfd 3 -screen 0 "$screen" -nolisten tcp 3>"$folder/display" 2>"$folder/xvfb.log" &
    xvfb_pid=$!
    # The number appears once the server listens.
    for _ in $(seq 100); do
        [ -s "$folder/display" ] && break
        sleep 0.1
    done
    if [ ! -s "$folder/display" ]; then
        echo "Xvfb did not start: $(cat "$folder/xvfb.log")" >&2
        return 1
    fi
    DISPLAY=":$(head -n1 "$folder/display")"
    export DISPLAY
}
