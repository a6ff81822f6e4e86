#!/usr/bin/env bash
# Builds the Qt-free libraries and their tests with AddressSanitizer and UndefinedBehaviorSanitizer
# (clang, halting on the first error) and runs those tests, then runs every libFuzzer target: first
# on the inputs that once crashed it (tests/fuzz/regressions/<target>/), then for a bounded time
# (VM_FUZZ_SECONDS, 13 s by default) on a fresh corpus and its seeds.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/deps.sh
export ASAN_OPTIONS=halt_on_error=1:detect_leaks=1
export UBSAN_OPTIONS=halt_on_error=1:print_stacktrace=1
cmake -S . -B build-asan -G Ninja -DCMAKE_BUILD_TYPE=Debug \
  -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ \
  -DVM_SANITIZE=address,undefined -DVM_BUILD_BENCH=OFF -DVM_WITH_QT=OFF -DVM_FUZZ=ON
cmake --build build-asan
ctest --test-dir build-asan --output-on-failure -j "$(nproc)"

fuzz_seconds="${VM_FUZZ_SECONDS:-13}"
crashes="build-asan/fuzz-crashes"
mkdir -p "$crashes"
for target in build-asan/tests/fuzz/fuzz_*; do
  [ -x "$target" ] || continue
  name="$(basename "$target")"
  # Inputs that once crashed the target are run first, every time.
  regressions="tests/fuzz/regressions/$name"
  if [ -d "$regressions" ] && [ -n "$(ls -A "$regressions")" ]; then
    echo "replaying the regression inputs of $name"
    "$target" "$regressions"/*
  fi
  corpus="$(mktemp -d)"
  seeds=()
  [ -d "tests/fuzz/corpus/$name" ] && seeds=("tests/fuzz/corpus/$name")
  echo "fuzzing $name for ${fuzz_seconds} s (a crash is kept in $crashes/; add it to $regressions/)"
  "$target" -max_total_time="$fuzz_seconds" -print_final_stats=1 -artifact_prefix="$crashes/$name-" "$corpus" "${seeds[@]}"
  rm -rf "$corpus"
done
