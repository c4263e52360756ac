#!/usr/bin/env bash
# Takes a screenshot of the real program under Xvfb at 1920x1080 with the
# event in build/bin (the demo event after a first build):
#   scripts/screenshot.sh OUT.png [draw]
# With "draw", Enter starts a draw and Enter stops it before the picture.
set -euo pipefail
cd "$(dirname "$0")/.."
out=$(realpath -m "${1:-docs/screenshot.png}")
command -v import >/dev/null || apt-get install -y -qq imagemagick >/dev/null
. tests/e2e/xvfb-lib.sh
e2e_start build/bin 1920 1080
e2e_launch
sleep 2
if [ "${2:-}" = draw ]; then
    e2e_key "$E2E_WINDOW" Return
    sleep 2
    e2e_key "$E2E_WINDOW" Return
    sleep 6
fi
mkdir -p "$(dirname "$out")"
import -window root "$out"
echo "$out"
