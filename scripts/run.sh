#!/usr/bin/env bash
# Builds the game and starts it in run/, the directory that keeps its settings file
# (VOLARIN.INI) and the sound effects it plays.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
"$root/scripts/setup.sh"
cmake -S "$root" -B "$root/build/release" -DCMAKE_BUILD_TYPE=Release \
  -DVOLARIN_TESTS=OFF -DVOLARIN_BENCHMARKS=OFF >/dev/null
cmake --build "$root/build/release" -j"$(nproc)" --target volarin volarin_sounds >/dev/null
mkdir -p "$root/run"
cp -u "$root"/build/release/data/*.wav "$root/run/"
cd "$root/run"
exec "$root/build/release/frontend/qt/volarin"
