#!/usr/bin/env bash
# Builds the game and runs it. Until the window exists, "running" means watching a
# demonstration through the scenario runner: one state line every half second of play.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
"$root/scripts/setup.sh"
cmake -S "$root" -B "$root/build/release" -DCMAKE_BUILD_TYPE=Release \
  -DVOLARIN_TESTS=OFF -DVOLARIN_BENCHMARKS=OFF >/dev/null
cmake --build "$root/build/release" -j"$(nproc)" --target volarin-sim >/dev/null
mkdir -p "$root/run"
cd "$root/run"
exec "$root/build/release/tools/volarin-sim" "$root/tools/sim/demo.txt"
