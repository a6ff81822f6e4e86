#!/usr/bin/env bash
# Builds the Qt-free libraries and their tests with AddressSanitizer and UndefinedBehaviorSanitizer
# (clang, halting on the first error) and runs those tests, then runs every libFuzzer target for a
# bounded time (VM_FUZZ_SECONDS, 30 s by default) on a fresh corpus and its seeds.
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

fuzz_seconds="${VM_FUZZ_SECONDS:-30}"
for target in build-asan/tests/fuzz/fuzz_*; do
  [ -x "$target" ] || continue
  name="$(basename "$target")"
  corpus="$(mktemp -d)"
  seeds=()
  [ -d "tests/fuzz/corpus/$name" ] && seeds=("tests/fuzz/corpus/$name")
  echo "fuzzing $name for ${fuzz_seconds} s"
  "$target" -max_total_time="$fuzz_seconds" -print_final_stats=1 -artifact_prefix="$corpus/" "$corpus" "${seeds[@]}"
  rm -rf "$corpus"
done
