#!/usr/bin/env bash
# Builds everything with AddressSanitizer and UndefinedBehaviorSanitizer and runs every test;
# then builds a Release with Clang and runs its fast tests. Warnings are errors here.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
"$root/scripts/setup.sh"
jobs="$(nproc)"

echo "== GCC, Debug, AddressSanitizer and UndefinedBehaviorSanitizer: every test"
cmake -S "$root" -B "$root/build/test" -DCMAKE_BUILD_TYPE=Debug -DVOLARIN_SANITIZE=ON \
  -DCMAKE_COMPILE_WARNING_AS_ERROR=ON >/dev/null
cmake --build "$root/build/test" -j"$jobs"
ctest --test-dir "$root/build/test" --output-on-failure -j"$jobs"

echo "== Clang, Release: the rules and the runner's tests (the window test runs above)"
cmake -S "$root" -B "$root/build/test-clang" -DCMAKE_BUILD_TYPE=Release \
  -DCMAKE_CXX_COMPILER=clang++ -DCMAKE_COMPILE_WARNING_AS_ERROR=ON >/dev/null
cmake --build "$root/build/test-clang" -j"$jobs"
ctest --test-dir "$root/build/test-clang" --output-on-failure -j"$jobs" -E 'window|soak'

echo "== GCC without Qt: the rules, the shared layer and the runner without pictures"
cmake -S "$root" -B "$root/build/test-noqt" -DCMAKE_BUILD_TYPE=Release -DVOLARIN_QT=OFF \
  -DVOLARIN_BENCHMARKS=OFF -DCMAKE_COMPILE_WARNING_AS_ERROR=ON >/dev/null
cmake --build "$root/build/test-noqt" -j"$jobs"
ctest --test-dir "$root/build/test-noqt" --output-on-failure -j"$jobs" -E soak

echo "== The Debian package: built with cpack, unpacked into an empty prefix and checked"
"$root/scripts/test-package.sh"

echo "== The Windows game: cross-built with MinGW, checked under Wine and Xvfb"
"$root/scripts/test-windows.sh"

echo "== The browser game: WebAssembly, checked in headless Chromium"
"$root/scripts/test-web.sh"

echo "== Fuzzing the settings reader, the scenario reader, the viewer and the page's link decoder"
"$root/scripts/fuzz.sh"
