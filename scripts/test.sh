#!/usr/bin/env bash
# Builds everything with AddressSanitizer and UndefinedBehaviorSanitizer and runs every test.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
"$root/scripts/setup.sh"
cmake -S "$root" -B "$root/build/test" -DCMAKE_BUILD_TYPE=Debug -DVOLARIN_SANITIZE=ON >/dev/null
cmake --build "$root/build/test" -j"$(nproc)"
ctest --test-dir "$root/build/test" --output-on-failure -j"$(nproc)"
