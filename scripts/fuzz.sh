#!/usr/bin/env bash
# Builds the fuzz targets (libFuzzer, AddressSanitizer, UBSan; host clang) and runs each one over
# its seed corpus and fresh inputs. Arguments go to libFuzzer; without any, each target runs a
# fixed number of inputs, as the test command does. For a longer search, for example:
#   bash scripts/fuzz.sh -max_total_time=600
set -euo pipefail
cd "$(dirname "$0")/.."

out=build/fuzz
mkdir -p "$out"
flags=(-std=c++20 -g -O1 -Wall -Wextra -Werror -fsanitize=fuzzer,address,undefined
       -fno-sanitize-recover=all -I. -Isrc)
declare -A sources=(
  [key_code_list]="src/keys/key_code_list.cpp"
  [stored_hotkey]="src/hotkeyctl/hotkey_capture.cpp"
  [ini_encoding]="src/settings/ini_encoding.cpp"
  [composition]="src/editor/composition.cpp src/keys/co.cpp src/keys/key_code_list.cpp"
)
args=("$@")
if ((${#args[@]} == 0)); then
  args=(-runs=200000)
fi

for target in key_code_list stored_hotkey ini_encoding composition; do
  exe="$out/${target}_fuzz"
  # shellcheck disable=SC2086
  clang++ "${flags[@]}" "fuzz/${target}_fuzz.cpp" ${sources[$target]} -o "$exe"
  # New inputs go to a scratch folder; the seeds in the repository stay as they are.
  scratch="$out/${target}_found"
  rm -rf "$scratch" && mkdir -p "$scratch"
  echo "== fuzz $target ${args[*]}"
  status=0
  "$exe" "${args[@]}" -seed=1 -print_final_stats=1 -artifact_prefix="$out/" "$scratch" "fuzz/corpus/$target" \
    >"$out/${target}.log" 2>&1 || status=$?
  grep -E "stat::number_of_executed_units|DONE" "$out/${target}.log" || true
  if [ "$status" -ne 0 ]; then
    tail -n 40 "$out/${target}.log"
    echo "fuzz target $target found a fault (exit $status); the input is in $out"
    exit 1
  fi
done
