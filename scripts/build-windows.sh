#!/usr/bin/env bash
# Cross-builds the Windows game with MinGW-w64 into build/windows/: volarin.exe (static, needs
# nothing installed), the checks run under Wine, the zip cpack makes and the installer makensis
# makes of the same files. Extra arguments go to
# the CMake configuration (for example -DCMAKE_COMPILE_WARNING_AS_ERROR=ON).
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
"$root/scripts/ensure-packages.sh" g++ cmake make g++-mingw-w64-x86-64 librsvg2-bin icoutils \
  nsis

build="$root/build/windows"
cmake -S "$root" -B "$build" -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-w64.cmake" \
  -DCMAKE_BUILD_TYPE=Release "$@" >/dev/null
cmake --build "$build" -j2
(cd "$build" && cpack -G ZIP >/dev/null)
makensis -V2 "$build/installer.nsi"
ls -l "$build/volarin.exe" "$build"/volarin-*-win64.zip "$build"/volarin-*-setup.exe
