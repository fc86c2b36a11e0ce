#!/usr/bin/env bash
# Builds the Debian package build/package/volarin_<version>_<arch>.deb and prints its path.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
"$root/scripts/setup.sh" >&2
# cpack works out the library dependencies with dpkg-shlibdeps, finding the programs with file.
"$root/scripts/ensure-packages.sh" dpkg-dev file >&2
build="$root/build/package"
cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE=Release -DCMAKE_INSTALL_PREFIX=/usr \
  -DVOLARIN_TESTS=OFF -DVOLARIN_BENCHMARKS=OFF >/dev/null
cmake --build "$build" -j"$(nproc)" >&2
rm -f "$build"/volarin_*.deb
(cd "$build" && cpack -G DEB >&2)
ls "$build"/volarin_*.deb
