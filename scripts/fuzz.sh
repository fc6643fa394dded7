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

# Builds one target and runs it; what it found and its exit status go to files in $out.
fuzz_one() {
  local target=$1 exe="$out/${1}_fuzz" status=0
  # shellcheck disable=SC2086
  if ! clang++ "${flags[@]}" "fuzz/${target}_fuzz.cpp" ${sources[$target]} -o "$exe" \
      >"$out/${target}.log" 2>&1; then
    echo build >"$out/${target}.status"
    return
  fi
  # New inputs go to a scratch folder; the seeds in the repository stay as they are.
  local scratch="$out/${target}_found"
  rm -rf "$scratch" && mkdir -p "$scratch"
  "$exe" "${args[@]}" -seed=1 -print_final_stats=1 -artifact_prefix="$out/" "$scratch" "fuzz/corpus/$target" \
    >"$out/${target}.log" 2>&1 || status=$?
  echo "$status" >"$out/${target}.status"
}

# The targets are independent and each uses one core: as many at a time as there are cores, with
# the same inputs and seed as one after the other.
targets=(key_code_list stored_hotkey ini_encoding composition)
jobs=$(nproc)
for target in "${targets[@]}"; do
  rm -f "$out/${target}.status"
  while (($(jobs -rp | wc -l) >= jobs)); do wait -n || true; done
  fuzz_one "$target" &
done
wait

for target in "${targets[@]}"; do
  echo "== fuzz $target ${args[*]}"
  status=$(cat "$out/${target}.status")
  if [ "$status" = build ]; then
    cat "$out/${target}.log"
    echo "fuzz target $target did not build"
    exit 1
  fi
  grep -E "stat::number_of_executed_units|DONE" "$out/${target}.log" || true
  if [ "$status" -ne 0 ]; then
    tail -n 40 "$out/${target}.log"
    echo "fuzz target $target found a fault (exit $status); the input is in $out"
    exit 1
  fi
done
