#!/usr/bin/env bash
# Runs the Windows tests over and over, to show that they pass however busy the machine is (not
# part of the test command): builds once, then runs every Windows test executable N times (5 unless
# given) while one core is kept busy by `yes` at normal priority, or with --quiet on an otherwise
# idle machine, and says how many runs passed. Each run's output goes to build/stress/run<k>.log.
#   bash scripts/stress.sh [N] [--quiet]
set -euo pipefail
cd "$(dirname "$0")/.."
HKV_ROOT=$(pwd)

runs=5
busy=1
for arg in "$@"; do
  case "$arg" in
  --quiet) busy=0 ;;
  '' | *[!0-9]*)
    echo "usage: bash scripts/stress.sh [N] [--quiet]" >&2
    exit 2
    ;;
  *) runs=$arg ;;
  esac
done

bash scripts/deps.sh
cmake --preset windows >/dev/null
cmake --build --preset windows

source scripts/wine-env.sh
busy_pid=""
stop() {
  if [ -n "$busy_pid" ]; then kill "$busy_pid" 2>/dev/null || true; fi
  wine_env_stop
}
trap stop EXIT
wine_env_start --own-display --unmanaged
if [ "$busy" -eq 1 ]; then
  yes >/dev/null &
  busy_pid=$!
  load="with one core kept busy"
else
  load="on a quiet machine"
fi

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
