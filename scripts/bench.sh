#!/usr/bin/env bash
# Builds the delay benchmark and runs it under Wine on a private virtual display.
set -euo pipefail
cd "$(dirname "$0")/.."
HKV_ROOT=$(pwd)

bash scripts/deps.sh
cmake --preset windows >/dev/null
cmake --build --preset windows --target delay_bench

source scripts/wine-env.sh
trap wine_env_stop EXIT
wine_env_start --own-display
echo "== Delay benchmark under Wine on display $DISPLAY"
wine "$HKV_ROOT/build/windows/bench/delay_bench.exe"
