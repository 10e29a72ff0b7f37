# Sourced by the scripts that run the program on an X server of their own.
#
# start_private_display WORK: starts Xvfb, which chooses a free display number itself and writes
# it to the descriptor it is given, waits for that number, and exports DISPLAY. Sets xvfb_pid.
# Returns 1, having said why, when no server could be started. -noreset: between two clients
# none is connected, and a resetting server would refuse the next.
start_private_display() {
    local work=$1
    Xvfb -displayfd 3 -screen 0 1280x1024x24 -dpi 96 -nolisten tcp -noreset 3>"$work/display" \
        >"$work/xvfb.log" 2>&1 &
    xvfb_pid=$!
    for _ in $(seq 100); do
        [ -s "$work/display" ] && break
        kill -0 "$xvfb_pid" 2>/dev/null || break
        sleep 0.1
    done
    if [ ! -s "$work/display" ]; then
        echo "Xvfb could not be started:"
        cat "$work/xvfb.log"
        return 1
    fi
    export DISPLAY=":$(head -n1 "$work/display")"
}
