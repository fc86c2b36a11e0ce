#!/usr/bin/env bash
# Builds the Debian package build/package/volarin_<version>-<revision>_<arch>.deb and prints
# its path.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
"$root/scripts/setup.sh" >&2
# cpack works out the library dependencies with dpkg-shlibdeps, finding the programs with file.
"$root/scripts/ensure-packages.sh" dpkg-dev file >&2

# The distribution's own compiler and linker flags, with every hardening feature, as a Debian
# package's build sets them; cmake/hardening.cmake adds only what they lack. A packager's build
# never fails on a warning, so the one warning they make an error stays a warning.
flags() {
  DEB_BUILD_MAINT_OPTIONS=hardening=+all dpkg-buildflags --get "$1" |
    sed 's/-Werror=format-security/-Wformat-security/'
}
build="$root/build/package"
cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE=Release -DCMAKE_INSTALL_PREFIX=/usr \
  -DVOLARIN_TESTS=OFF -DVOLARIN_BENCHMARKS=OFF -DVOLARIN_HARDENING=ON \
  -DCMAKE_CXX_FLAGS="$(flags CPPFLAGS) $(flags CXXFLAGS)" \
  -DCMAKE_EXE_LINKER_FLAGS="$(flags LDFLAGS)" >/dev/null
cmake --build "$build" -j"$(nproc)" >&2
rm -f "$build"/volarin_*.deb
(cd "$build" && cpack -G DEB >&2)
ls "$build"/volarin_*.deb
