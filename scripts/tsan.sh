#!/usr/bin/env bash
# Builds with ThreadSanitizer and runs the tests labelled "tsan": the dispatch layer, the sockets
# and the radio session, whose work crosses queues.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/deps.sh
export TSAN_OPTIONS=halt_on_error=1:second_deadlock_stack=1
cmake -S . -B build-tsan -G Ninja -DCMAKE_BUILD_TYPE=Debug \
  -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ \
  -DVM_SANITIZE=thread -DVM_BUILD_BENCH=OFF -DVM_WITH_QT=OFF
cmake --build build-tsan
ctest --test-dir build-tsan --output-on-failure -j "$(nproc)" -L tsan
