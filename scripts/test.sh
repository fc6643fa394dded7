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

source scripts/wine-env.sh
trap wine_env_stop EXIT
wine_env_start --own-display --unmanaged
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
