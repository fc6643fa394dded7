#!/usr/bin/env bash
# Builds the benchmarks and runs them under Wine on a private virtual display: the delay and the
# player, then the program's start-up time and idle cost.
set -euo pipefail
cd "$(dirname "$0")/.."
HKV_ROOT=$(pwd)

bash scripts/deps.sh
cmake --preset windows >/dev/null
cmake --build --preset windows --target delay_bench startup_bench

source scripts/wine-env.sh
trap wine_env_stop EXIT
wine_env_start --own-display
echo "== Delay benchmark under Wine on display $DISPLAY"
wine "$HKV_ROOT/build/windows/bench/delay_bench.exe"
echo "== Start-up benchmark"
(cd "$HKV_ROOT/build/windows/bench" && wine ./startup_bench.exe)
