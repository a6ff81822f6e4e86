#!/usr/bin/env bash
# Builds the Qt-free libraries and their tests with AddressSanitizer and UndefinedBehaviorSanitizer
# (clang, halting on the first error) and runs those tests.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/deps.sh
export ASAN_OPTIONS=halt_on_error=1:detect_leaks=1
export UBSAN_OPTIONS=halt_on_error=1:print_stacktrace=1
cmake -S . -B build-asan -G Ninja -DCMAKE_BUILD_TYPE=Debug \
  -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ \
  -DVM_SANITIZE=address,undefined -DVM_BUILD_BENCH=OFF -DVM_WITH_QT=OFF
cmake --build build-asan
ctest --test-dir build-asan --output-on-failure -j "$(nproc)"
