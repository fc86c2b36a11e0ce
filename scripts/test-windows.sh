#!/usr/bin/env bash
# Builds the Windows game and plays it under Wine on a virtual X server: the exe's icon and
# version resource, the Windows-side checks, then the window test (title, icons, demonstration
# colours, F2 and typing, File > Exit with 40014, a nine-line CRLF VOLARIN.INI, WM_CLOSE
# with 0), and then the installer: installed silently, started from its Start-menu entry at 200%
# and 150%, uninstalled. Exits non-zero on any failure.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
"$root/scripts/build-windows.sh" -DCMAKE_COMPILE_WARNING_AS_ERROR=ON "$@"
"$root/scripts/ensure-packages.sh" wine wine64 xvfb xauth xdotool x11-utils imagemagick \
  fonts-ipafont-gothic fonts-ipafont-mincho fonts-urw-base35 libxml2-utils binutils
xvfb-run -a -s "-screen 0 1024x768x24" "$root/tests/win32/wine_test.sh" "$root/build/windows"
# A screen large enough for the window at twice the size.
exec xvfb-run -a -s "-screen 0 1600x1200x24" "$root/tests/win32/install_test.sh" \
  "$root/build/windows"
