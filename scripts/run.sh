#!/usr/bin/env bash
# Builds the release program (what users download) and starts it under Wine: on the current X
# display, or on a virtual one (then a screenshot goes to build/screenshot.png a few seconds after
# start). Ctrl+C ends it.
set -euo pipefail
cd "$(dirname "$0")/.."
HKV_ROOT=$(pwd)

bash scripts/deps.sh
cmake --preset release >/dev/null
cmake --build --preset release

source scripts/wine-env.sh
own_display=""
if [ -z "${DISPLAY:-}" ] || ! xdpyinfo >/dev/null 2>&1; then
  own_display="--own-display"
fi
trap wine_env_stop EXIT
wine_env_start $own_display

exe="$HKV_ROOT/build/release/src/app/BrevinHotkey.exe"
echo "Starting $exe on display $DISPLAY (settings: $(dirname "$exe")/set.ini)"
wine "$exe" &
app_pid=$!
trap 'kill $app_pid 2>/dev/null; wine_env_stop' EXIT
trap 'exit 130' INT TERM

if [ -n "$own_display" ]; then
  sleep 5
  import -window root "$HKV_ROOT/build/screenshot.png" && echo "Screenshot: build/screenshot.png"
fi
echo "Running; press Ctrl+C to stop."
wait "$app_pid" || true
