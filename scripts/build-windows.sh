#!/usr/bin/env bash
# Cross-builds the Windows game with MinGW-w64 into build/windows/: volarin.exe (static, needs
# nothing installed), the checks run under Wine, and the zip cpack makes. Extra arguments go to
# the CMake configuration (for example -DCMAKE_COMPILE_WARNING_AS_ERROR=ON).
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
"$root/scripts/ensure-packages.sh" g++ cmake make g++-mingw-w64-x86-64 librsvg2-bin icoutils

build="$root/build/windows"
cmake -S "$root" -B "$build" -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-w64.cmake" \
  -DCMAKE_BUILD_TYPE=Release "$@" >/dev/null
cmake --build "$build" -j2
(cd "$build" && cpack -G ZIP >/dev/null)
ls -l "$build/volarin.exe" "$build"/volarin-*-win64.zip
