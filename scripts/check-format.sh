#!/usr/bin/env bash
# Fails when a C++ file of the repository differs from what clang-format makes of it.
set -euo pipefail
cd "$(dirname "$0")/.."
report=$(git ls-files -z '*.cpp' '*.h' | xargs -0 clang-format --dry-run --Werror 2>&1) && exit 0
echo "$report" | grep -E '^[^ ].*: error:' | cut -d: -f1 | sort -u | sed 's/^/not formatted: /'
echo "run: git ls-files -z '*.cpp' '*.h' | xargs -0 clang-format -i" >&2
exit 1
