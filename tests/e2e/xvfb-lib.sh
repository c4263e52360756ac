# Shared by the end-to-end scripts: a private X server and a copy of the
# built program directory to run the real program in.
set -euo pipefail

e2e_start() {
    local bin_dir=$1 width=${2:-1920} height=${3:-1080}
    E2E_DIR=$(mktemp -d)
    cp -a "$bin_dir"/. "$E2E_DIR"/
    trap e2e_stop EXIT
    # A display counts as ours only once a client has talked to the server on
    # it: a lock file or socket of a server in another namespace can make a
    # server start and report success on a display no client of ours reaches.
    local n start=$((90 + RANDOM % 400))
    for n in $(seq "$start" $((start + 40))); do
        [ -e "/tmp/.X11-unix/X$n" ] || [ -e "/tmp/.X$n-lock" ] && continue
        # -noreset: by default the server resets whenever its last client
        # leaves, and a client that connects during the reset is refused.
        Xvfb ":$n" -screen 0 "${width}x${height}x24" -nolisten tcp -noreset \
            >"$E2E_DIR/xvfb.log" 2>&1 &
        E2E_XVFB=$!
        export DISPLAY=":$n"
        for _ in $(seq 50); do
            if xdpyinfo >/dev/null 2>&1; then
                E2E_DISPLAY=$DISPLAY
                return 0
            fi
            kill -0 "$E2E_XVFB" 2>/dev/null || break
            sleep 0.1
        done
        kill "$E2E_XVFB" 2>/dev/null || true
        wait "$E2E_XVFB" 2>/dev/null || true
    done
    echo "no X server could be started; the last one said:"
    cat "$E2E_DIR/xvfb.log"
    return 1
}

e2e_stop() {
    [ -n "${E2E_PID:-}" ] && kill -9 "$E2E_PID" 2>/dev/null || true
    [ -n "${E2E_XVFB:-}" ] && kill "$E2E_XVFB" 2>/dev/null || true
    wait 2>/dev/null || true
    rm -rf "$E2E_DIR"
}

# Starts the program from the copy; its window id ends in E2E_WINDOW.
e2e_launch() {
    QT_QPA_PLATFORM=xcb "$E2E_DIR/Tombolix" >"$E2E_DIR/out.log" 2>&1 &
    E2E_PID=$!
    E2E_WINDOW=""
    for _ in $(seq 200); do
        E2E_WINDOW=$(xdotool search --onlyvisible --name '^员工抽奖系统$' 2>/dev/null | head -n1 || true)
        [ -n "$E2E_WINDOW" ] && break
        kill -0 "$E2E_PID" 2>/dev/null || break
        sleep 0.1
    done
    [ -n "$E2E_WINDOW" ] || {
        echo "the program's window did not appear; it said:"
        cat "$E2E_DIR/out.log"
        echo "the X server said:"
        cat "$E2E_DIR/xvfb.log"
        return 1
    }
}

# Waits until a window named $1 shows, at most $2 seconds (10), and prints its
# id.
e2e_wait_window() {
    for _ in $(seq $((${2:-10} * 10))); do
        local id
        id=$(xdotool search --onlyvisible --name "$1" 2>/dev/null | head -n1 || true)
        [ -n "$id" ] && { echo "$id"; return 0; }
        sleep 0.1
    done
    return 1
}

# A real key press, through the XTEST extension, into window $1, focused
# first; a synthetic event sent to the window could be taken before the
# window knows it has the focus.
e2e_key() {
    xdotool windowfocus --sync "$1" 2>/dev/null || true
    xdotool key "$2"
}
