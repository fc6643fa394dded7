#!/usr/bin/env bash
# Builds both presets and runs every test: portable logic on the host with sanitizers, the Windows
# program and its tests under Wine on a private virtual display.
set -euo pipefail
cd "$(dirname "$0")/.."
HKV_ROOT=$(pwd)

# Seconds each phase took, printed at the end.
phases=()
phase_began=$SECONDS
phase_done() {
  phases+=("$1 $((SECONDS - phase_began)) s")
  phase_began=$SECONDS
}

bash scripts/deps.sh
phase_done "packages"

# A new Wine prefix takes a while to set up, most of it waiting on Wine: it is prepared on the
# private display while the builds run. It must be whole before Wine stops, also after a failure.
source scripts/wine-env.sh
prefix_pid=""
prefix_ready() {
  if [ -n "$prefix_pid" ]; then
    wait "$prefix_pid" || true
    prefix_pid=""
  fi
}
trap 'prefix_ready; wine_env_stop' EXIT
wine_env_start_xvfb
mkdir -p "$HKV_BUILD"
wine_env_prepare_prefix >"$HKV_BUILD/wineprefix.log" 2>&1 &
prefix_pid=$!

# The Windows build first: the host build and its tests then run beside the Windows tests, which
# mostly wait on Wine and the display, at a lower priority so that they do not slow the program
# under test. Their output is printed after the Windows tests'.
echo "== Windows build (MinGW-w64)"
cmake --preset windows >/dev/null
cmake --build --preset windows
bash scripts/check-imports.sh "$HKV_BUILD/windows/src/app/BrevinHotkey.exe"
phase_done "Windows build"

host_log="$HKV_BUILD/host-tests.log"
host_status_file="$HKV_BUILD/host-tests.status"
rm -f "$host_status_file"
(
  renice -n 10 -p "$BASHPID" >/dev/null 2>&1 || true
  status=0
  {
    echo "== Host build (AddressSanitizer, UBSan)"
    began=$SECONDS
    cmake --preset native >/dev/null && cmake --build --preset native && ctest --preset native ||
      status=1
    echo "host build and tests $((SECONDS - began)) s"
    echo "== Fuzz targets (libFuzzer, a fixed number of inputs each)"
    began=$SECONDS
    bash scripts/fuzz.sh || status=$((status + 2))
    echo "fuzz targets $((SECONDS - began)) s"
  } >"$host_log" 2>&1
  echo "$status" >"$host_status_file"
) &
host_pid=$!

prefix_ready
# On the private display started above.
wine_env_start --unmanaged
echo "== Windows tests under Wine on display $DISPLAY (the host tests run meanwhile)"
windows_status=0
ctest --preset windows || windows_status=$?
phase_done "Windows tests (Wine start included)"

wait "$host_pid" || true
cat "$host_log"
host_status=$(cat "$host_status_file" 2>/dev/null || echo 3)
native_status=$((host_status & 1))
fuzz_status=$(((host_status >> 1) & 1))
phase_done "host tests still running after them"
phases+=("beside the Windows tests: $(grep -E '^(host build and tests|fuzz targets) [0-9]+ s$' \
  "$host_log" | paste -sd ';' - | sed 's/;/, /g')")
echo "Phase times: $(printf '%s, ' "${phases[@]}" | sed 's/, $//')."

if [ "$native_status" -ne 0 ] || [ "$fuzz_status" -ne 0 ] || [ "$windows_status" -ne 0 ]; then
  echo "FAILED: host tests exit $native_status, fuzz targets exit $fuzz_status," \
       "Windows tests exit $windows_status"
  exit 1
fi
echo "All tests passed."
