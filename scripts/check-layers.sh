#!/usr/bin/env bash
# Fails when a layer reaches where it must not. Calls go one way: front ends -> app/ (the
# shared layer) -> core/ (the rules) -> render/ (drawing and sound output). The rules know
# nothing of any platform and never read the clock; the drawing reads no rule state it is not
# handed; no Qt, Win32 or browser header appears below the front ends, but for the one
# settings store each platform has in app/.
set -euo pipefail
cd "$(dirname "$0")/.."
status=0
report() { echo "$1"; status=1; }
includes() { grep -Hn '#include "' "$@" 2>/dev/null || true; }

while IFS= read -r line; do
  report "core/ may include only core/, resources/ and the drawing and sound calls: $line"
done < <(includes core/*.h core/*.cpp |
  grep -v -E '#include "(core/|resources/|render/(draw|sound|handles)\.h)')

while IFS= read -r line; do
  report "render/ may include only render/, resources/ and the record types: $line"
done < <(includes render/*.h render/*.cpp | grep -v -E '#include "(render/|resources/|core/records\.h)')

while IFS= read -r line; do
  report "render/ reads only the state it is handed, never a global record: $line"
done < <(grep -Hn -E '\b(gameState|fieldGeometry|missileSlots|interceptorSlots|menuModel|randomSeed|charToSlot|classRanges|records)\b' \
  render/*.h render/*.cpp | grep -v -E ':\s*//|#include' || true)

while IFS= read -r line; do
  report "app/ calls the rules and the drawing, never a front end or a tool: $line"
done < <(includes app/*.h app/*.cpp | grep -v -E '#include "(app/|core/|render/|resources/)')

while IFS= read -r line; do
  report "platform header below the front ends: $line"
done < <(grep -Hn -E '#include <(Q[A-Za-z]*|qt[a-z]*/.*|windows\.h|emscripten.*)>' \
  core/* render/* resources/*.h resources/*.cpp app/* 2>/dev/null |
  grep -v -E '^app/settings_store_[a-z0-9]+\.cpp:' || true)

while IFS= read -r line; do
  report "the rules never read the clock: $line"
done < <(grep -Hn -E '\b(time|clock|gettimeofday|clock_gettime)\s*\(|<chrono>|<ctime>|::now\(' core/* || true)

while IFS= read -r line; do
  report "the shared layer is handed the time, it never reads the clock: $line"
done < <(grep -Hn -E '\b(time|clock|gettimeofday|clock_gettime)\s*\(|::now\(' app/* || true)

exit $status
