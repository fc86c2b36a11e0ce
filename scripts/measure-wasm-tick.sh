#!/usr/bin/env bash
# Times one full-load tick natively and as WebAssembly under node, on this machine in the same
# run, and prints both and their ratio: with the rules alone, and with drawing into a picture.
# Usage: scripts/measure-wasm-tick.sh [ticks [repetitions]]
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
packages=(emscripten cmake make g++)
# A newer node from another source may already stand in for Debian's.
command -v node >/dev/null || packages+=(nodejs)
"$root/scripts/ensure-packages.sh" "${packages[@]}"
# Debian's emscripten finds its JavaScript modules there when node is not Debian's own.
export NODE_PATH=/usr/share/nodejs

native="$root/build/tick-native"
wasm="$root/build/tick-wasm"
only_timing=(-DVOLARIN_TICK_TIMING=ON -DVOLARIN_QT=OFF -DVOLARIN_TESTS=OFF
  -DVOLARIN_BENCHMARKS=OFF -DVOLARIN_WEB=OFF -DCMAKE_BUILD_TYPE=Release)
cmake -S "$root" -B "$native" "${only_timing[@]}" >/dev/null
cmake --build "$native" -j2 --target volarin-tick-timing >/dev/null
cmake -S "$root" -B "$wasm" "${only_timing[@]}" \
  -DCMAKE_TOOLCHAIN_FILE=/usr/share/emscripten/cmake/Modules/Platform/Emscripten.cmake \
  -DCMAKE_CROSSCOMPILING_EMULATOR="$(command -v node)" >/dev/null
cmake --build "$wasm" -j2 --target volarin-tick-timing >/dev/null

echo "native ($(c++ --version | head -1)):"
native_out="$("$native/tools/volarin-tick-timing" "$@")"
echo "$native_out"
echo "WebAssembly (node $(node --version)):"
wasm_out="$(node "$wasm/tools/volarin-tick-timing.js" "$@")"
echo "$wasm_out"

# Both builds must have played the same game, or the comparison means nothing.
live_sums() { sed -n 's/.*live sum \([0-9]*\).*/\1/p' <<<"$1"; }
if [ "$(live_sums "$native_out")" != "$(live_sums "$wasm_out")" ]; then
  echo "the two builds played different games: the timings are not comparable" >&2
  exit 1
fi
for name in rules drawing; do
  n="$(awk -v k="$name" '$1 == k { print $2 }' <<<"$native_out")"
  w="$(awk -v k="$name" '$1 == k { print $2 }' <<<"$wasm_out")"
  awk -v k="$name" -v n="$n" -v w="$w" \
    'BEGIN { printf "%s: WebAssembly / native = %.2f\n", k, w / n }'
done
