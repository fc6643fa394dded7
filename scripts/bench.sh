#!/usr/bin/env bash
# Builds the release program and the benchmark's own floor programs, runs them alternately under
# Wine on a private virtual display, and prints one table: medians with their p10-p90 spread. Takes
# about 25 minutes, most of it in the editor cycles (Wine on a display without a window
# manager waits for each hidden window to be withdrawn); not part of the tests. Usage: bash scripts/bench.sh [--quick]
set -euo pipefail
cd "$(dirname "$0")/.."
HKV_ROOT=$(pwd)

bash scripts/deps.sh
cmake --preset release >/dev/null
cmake --build --preset release --target BrevinHotkey bench_harness

bench_dir="$HKV_ROOT/build/release/bench"
exe="$HKV_ROOT/build/release/src/app/BrevinHotkey.exe"
floor="$bench_dir/floor_window.exe"

source scripts/wine-env.sh
trap wine_env_stop EXIT
wine_env_start --own-display
echo "== Benchmark under $(wine --version) on display $DISPLAY, $(nproc) cores, $(date -u '+%Y-%m-%d %H:%M UTC')" >&2
# Into a file, not a pipe: the programs the harness starts would hold a pipe open.
table="$bench_dir/table.md"
(cd "$bench_dir" && wine ./bench_harness.exe "$@" >"$table")

imports() {
  x86_64-w64-mingw32-objdump -p "$1" | awk '/DLL Name:/ {print $3}' | sed 's/\.dll$//I' |
    paste -sd' ' -
}
cat "$table"
printf '| Size of the stripped exe (KB) | %d (%s) | %d (%s) | |\n' \
  "$(($(stat -c %s "$exe") / 1024))" "$(imports "$exe")" \
  "$(($(stat -c %s "$floor") / 1024))" "$(imports "$floor")"
