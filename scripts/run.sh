#!/usr/bin/env bash
# Builds the game and runs it. Until the window exists, "running" means watching a
# demonstration through the scenario runner: one state line every half second of play, then
# a picture of the window and of the sprite sheet in run/.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
"$root/scripts/setup.sh"
cmake -S "$root" -B "$root/build/release" -DCMAKE_BUILD_TYPE=Release \
  -DVOLARIN_TESTS=OFF -DVOLARIN_BENCHMARKS=OFF >/dev/null
cmake --build "$root/build/release" -j"$(nproc)" --target volarin-sim >/dev/null
mkdir -p "$root/run"
cd "$root/run"
sim="$root/build/release/tools/volarin-sim"
"$sim" "$root/tools/sim/demo.txt"
printf 'seed 2021\nsheet sheet.png\ncommand 40026\ncommand 40023\ntick 900\npng window.png\n' | "$sim"
echo "Pictures: $root/run/window.png and $root/run/sheet.png" >&2
