# Shared by the end-to-end scripts: a private X server and a copy of the
# built program directory to run the real program in.
set -euo pipefail

e2e_start() {
    local bin_dir=$1 width=${2:-1920} height=${3:-1080}
    E2E_DIR=$(mktemp -d)
    cp -a "$bin_dir"/. "$E2E_DIR"/
    # The server picks a free display itself and tells its number, so runs
    # side by side never collide.
    Xvfb -displayfd 3 -screen 0 "${width}x${height}x24" -nolisten tcp 3>"$E2E_DIR/.display" \
        >/dev/null 2>&1 &
    E2E_XVFB=$!
    for _ in $(seq 100); do
        [ -s "$E2E_DIR/.display" ] && break
        sleep 0.1
    done
    [ -s "$E2E_DIR/.display" ] || { echo "Xvfb did not start"; return 1; }
    E2E_DISPLAY=":$(head -n1 "$E2E_DIR/.display")"
    export DISPLAY=$E2E_DISPLAY
    for _ in $(seq 100); do
        xdpyinfo >/dev/null 2>&1 && break
        sleep 0.1
    done
    trap e2e_stop EXIT
}

e2e_stop() {
    [ -n "${E2E_PID:-}" ] && kill -9 "$E2E_PID" 2>/dev/null || true
    kill "$E2E_XVFB" 2>/dev/null || true
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
        sleep 0.1
    done
    [ -n "$E2E_WINDOW" ] || { echo "the program's window did not appear"; cat "$E2E_DIR/out.log"; return 1; }
}

# Waits until a window named $1 shows and prints its id.
e2e_wait_window() {
    for _ in $(seq 100); do
        local id
        id=$(xdotool search --onlyvisible --name "$1" 2>/dev/null | head -n1 || true)
        [ -n "$id" ] && { echo "$id"; return 0; }
        sleep 0.1
    done
    return 1
}
