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

echo "== Host build (AddressSanitizer, UBSan)"
cmake --preset native >/dev/null
cmake --build --preset native
native_status=0
ctest --preset native || native_status=$?
phase_done "host build and tests"

echo "== Fuzz targets (libFuzzer, a fixed number of inputs each)"
fuzz_status=0
bash scripts/fuzz.sh || fuzz_status=$?
phase_done "fuzz targets"

echo "== Windows build (MinGW-w64)"
cmake --preset windows >/dev/null
cmake --build --preset windows
phase_done "Windows build"

prefix_ready
# On the private display started above.
wine_env_start --unmanaged
echo "== Windows tests under Wine on display $DISPLAY"
windows_status=0
ctest --preset windows || windows_status=$?
phase_done "Windows tests (Wine start included)"
echo "Phase times: $(printf '%s, ' "${phases[@]}" | sed 's/, $//')."

if [ "$native_status" -ne 0 ] || [ "$fuzz_status" -ne 0 ] || [ "$windows_status" -ne 0 ]; then
  echo "FAILED: host tests exit $native_status, fuzz targets exit $fuzz_status," \
       "Windows tests exit $windows_status"
  exit 1
fi
echo "All tests passed."
