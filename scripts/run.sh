#!/usr/bin/env bash
# Builds the game and starts it in run/, the directory that keeps its settings file
# (VOLARIN.INI) and the sound effects it plays.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
"$root/scripts/setup.sh"
echo "Building the game in build/release (the first build takes a while)..."
cmake -S "$root" -B "$root/build/release" -DCMAKE_BUILD_TYPE=Release \
  -DVOLARIN_TESTS=OFF -DVOLARIN_BENCHMARKS=OFF >/dev/null
# Only the steps that do something are shown; errors and warnings go to stderr as they come.
cmake --build "$root/build/release" -j"$(nproc)" --target volarin volarin_sounds |
  { grep --line-buffered -E '^\[ *[0-9]+%\] (Building|Linking|Generating)' || true; }
echo "Starting the game in run/"
mkdir -p "$root/run"
cp -u "$root"/build/release/data/*.wav "$root/run/"
cd "$root/run"
exec "$root/build/release/frontend/qt/volarin"
