#!/usr/bin/env bash
# Builds the browser game into build/web/site/: one static folder any web server can serve.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
packages=(emscripten cmake make python3-fonttools fonts-urw-base35 fonts-ipafont-mincho librsvg2-bin
  icoutils)
# A newer node from another source may already stand in for Debian's.
command -v node >/dev/null || packages+=(nodejs)
"$root/scripts/ensure-packages.sh" "${packages[@]}"
# Debian's emscripten finds its JavaScript modules there when node is not Debian's own.
export NODE_PATH=/usr/share/nodejs
cmake -S "$root" -B "$root/build/web" -DCMAKE_BUILD_TYPE=Release \
  -DCMAKE_TOOLCHAIN_FILE=/usr/share/emscripten/cmake/Modules/Platform/Emscripten.cmake \
  -DCMAKE_CROSSCOMPILING_EMULATOR="$(command -v node)" \
  -DCMAKE_COMPILE_WARNING_AS_ERROR="${VOLARIN_WARNINGS_AS_ERRORS:-OFF}" >/dev/null
cmake --build "$root/build/web" -j2
echo "The site: $root/build/web/site ($(du -sh "$root/build/web/site" | cut -f1))"
