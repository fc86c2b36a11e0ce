#!/usr/bin/env bash
# Builds the browser game and measures it in headless Chromium (tests/web/measure_web.mjs):
# load to first frame, the browser's CPU use over 10 s, the site's size.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
export VOLARIN_WEB_RUN="$root/tests/web/measure_web.mjs"
"$root/scripts/test-web.sh"
echo "site size: $(du -sb "$root/build/web/site" | cut -f1) bytes"
