#!/usr/bin/env bash
# Installs the Debian packages the build and the tests need, when any is missing.
set -euo pipefail
exec "$(dirname "$0")/ensure-packages.sh" g++ clang cmake make libgtest-dev libgmock-dev \
  libbenchmark-dev clang-format qt6-base-dev qt6-multimedia-dev fonts-urw-base35 \
  fonts-ipafont-mincho xvfb xauth xdotool imagemagick libx11-dev desktop-file-utils appstream \
  libxml2-utils time tesseract-ocr tesseract-ocr-eng tesseract-ocr-jpn openbox
