#!/usr/bin/env bash
# Runs the Windows tests over and over, to show that they pass however busy the machine is (not
# part of the test command): builds once, then runs every Windows test executable N times (5 unless
# given) while every core is kept busy by a `yes` of its own at normal priority, or with --one-core
# only one, or with --quiet on an otherwise idle machine, and says how many runs passed. Each run's
# output goes to build/stress/run<k>.log.
#   bash scripts/stress.sh [N] [--one-core | --quiet]
set -euo pipefail
cd "$(dirname "$0")/.."
HKV_ROOT=$(pwd)

runs=5
busy=$(nproc)
for arg in "$@"; do
  case "$arg" in
  --quiet) busy=0 ;;
  --one-core) busy=1 ;;
  '' | *[!0-9]*)
    echo "usage: bash scripts/stress.sh [N] [--one-core | --quiet]" >&2
    exit 2
    ;;
  *) runs=$arg ;;
  esac
done

bash scripts/deps.sh
cmake --preset windows >/dev/null
cmake --build --preset windows

source scripts/wine-env.sh
busy_pids=()
stop() {
  for pid in "${busy_pids[@]}"; do kill "$pid" 2>/dev/null || true; done
  wine_env_stop
}
trap stop EXIT
wine_env_start --own-display --unmanaged
for _ in $(seq 1 "$busy"); do
  yes >/dev/null &
  busy_pids+=($!)
done
case "$busy" in
0) load="on a quiet machine" ;;
1) load="with one core kept busy" ;;
*) load="with $busy cores kept busy" ;;
esac

logs="$HKV_ROOT/build/stress"
mkdir -p "$logs"
passed=0
for k in $(seq 1 "$runs"); do
  began=$(date +%s)
  if ctest --preset windows >"$logs/run$k.log" 2>&1; then
    passed=$((passed + 1))
    outcome="passed"
  else
    outcome="FAILED: $(grep -E '\*\*\*|\[  FAILED  \] [A-Z]' "$logs/run$k.log" | sort -u | tr -s ' ' |
      paste -sd ';' -)"
  fi
  echo "run $k of $runs $outcome ($(($(date +%s) - began)) s)"
done
echo "$passed of $runs runs of the Windows tests passed $load."
[ "$passed" -eq "$runs" ]
