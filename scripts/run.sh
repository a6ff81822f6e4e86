#!/usr/bin/env bash
# Installs what is missing, builds and starts the application.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/deps.sh
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo
cmake --build build
app=build/src/app/velmorasdr
if [ ! -x "$app" ]; then
  echo "velmoraSDR has no application window yet: only its libraries and tests are built." >&2
  exit 1
fi
exec "$app" "$@"
