#!/usr/bin/env bash
# The real program under a bare X server (no window manager): its window
# covers the whole screen, and Esc then Yes end it.
set -euo pipefail
. "$(dirname "$0")/xvfb-lib.sh"
e2e_start "$1" 1920 1080
e2e_launch

eval "$(xdotool getwindowgeometry --shell "$E2E_WINDOW")"
echo "window at $X,$Y size ${WIDTH}x${HEIGHT}"
[ "$X" -eq 0 ] && [ "$Y" -eq 0 ] && [ "$WIDTH" -eq 1920 ] && [ "$HEIGHT" -eq 1080 ] || {
    echo "FAIL: the window does not fill the 1920x1080 screen"; exit 1; }

# Esc until the question shows: on a loaded machine the first press can
# come before the window takes keys again.
ask_exit() {
    for _ in 1 2 3; do
        e2e_key "$E2E_WINDOW" Escape
        question=$(e2e_wait_window '^退出系统$' 5) && return 0
    done
    return 1
}

ask_exit || { echo "FAIL: no exit question"; exit 1; }
# No keeps the program running.
e2e_key "$question" n
for _ in $(seq 50); do
    [ -z "$(xdotool search --onlyvisible --name '^退出系统$' 2>/dev/null)" ] && break
    sleep 0.1
done
[ -z "$(xdotool search --onlyvisible --name '^退出系统$' 2>/dev/null)" ] || {
    echo "FAIL: No did not close the question"; exit 1; }
sleep 0.5
kill -0 "$E2E_PID" || { echo "FAIL: No ended the program"; exit 1; }

ask_exit || { echo "FAIL: no exit question the second time"; exit 1; }
e2e_key "$question" y
for _ in $(seq 100); do
    kill -0 "$E2E_PID" 2>/dev/null || break
    sleep 0.1
done
if kill -0 "$E2E_PID" 2>/dev/null; then echo "FAIL: Yes did not end the program"; exit 1; fi
wait "$E2E_PID"; rc=$?
E2E_PID=""
echo "program ended with $rc"
[ "$rc" -eq 0 ]
