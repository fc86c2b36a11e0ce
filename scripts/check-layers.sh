#!/usr/bin/env bash
# Fails when a layer reaches where it must not. Calls go one way: front ends -> app/ (the
# shared layer) -> core/ (the rules) -> render/ (drawing and sound output). The rules know
# nothing of any platform and never read the clock; the drawing reads no rule state it is not
# handed; no Qt, Win32 or browser header appears below the front ends, but for the file
# operations each platform has in app/ (files_*.cpp, store_web.cpp). A front end reaches the
# game only through app/ and implements render/'s interfaces; the runner and the benchmarks
# drive every layer as a front end does, drawing with the Qt canvas.
set -euo pipefail
cd "$(dirname "$0")/.."
status=0
# Reports each line of standard input as a breach of the rule named in $1.
report_each() {
  while IFS= read -r line; do
    echo "$1: $line"
    status=1
  done
}
includes() { grep -Hn '#include "' "$@" 2>/dev/null || true; }

report_each "core/ may include only core/, resources/ and the drawing and sound calls" \
  < <(includes core/*.h core/*.cpp |
  grep -v -E '#include "(core/|resources/|render/(draw|sound|handles|text_box)\.h)')

report_each "render/ may include only render/, resources/ and the record types" \
  < <(includes render/*.h render/*.cpp | grep -v -E '#include "(render/|resources/|core/records\.h)')

report_each "render/ reads only the state it is handed, never a global record" \
  < <(grep -Hn -E '\b(gameState|fieldGeometry|missileSlots|interceptorSlots|menuModel|randomSeed|charToSlot|classRanges|records)\b' \
  render/*.h render/*.cpp | grep -v -E ':\s*//|#include' || true)

report_each "app/ calls the rules and the drawing, never a front end or a tool" \
  < <(includes app/*.h app/*.cpp | grep -v -E '#include "(app/|core/|render/|resources/)')

for frontend in frontend/*/; do
  report_each "a front end may include only app/, resources/, its own files and render/'s interfaces" \
    < <(includes "$frontend"*.h "$frontend"*.cpp |
    grep -v -E "#include \"(app/|resources/|${frontend}|render/(canvas|pixel_canvas|sound|text_box)\.h)")
done

report_each "tools/ may include the layers, tools/ and the Qt canvas, never a front end's window" \
  < <(includes tools/*.cpp tools/*/*.h tools/*/*.cpp |
  grep -v -E '#include "(app/|core/|render/|resources/|tools/|frontend/qt/(image_canvas|offscreen_gui)\.h)')

report_each "platform header below the front ends" \
  < <(grep -Hn -E '#include <(Q[A-Za-z]*|qt[a-z]*/.*|windows\.h|emscripten.*)>' \
  core/* render/* resources/*.h resources/*.cpp app/* 2>/dev/null |
  grep -v -E '^app/(files|store)_[a-z0-9]+\.cpp:' || true)

report_each "the rules never read the clock" \
  < <(grep -Hn -E '\b(time|clock|gettimeofday|clock_gettime)\s*\(|<chrono>|<ctime>|::now\(' core/* || true)

# Only the calendar date a kept game is named by, which never paces anything.
report_each "the shared layer is handed the time, it never reads the clock" \
  < <(grep -Hn -E '\b(time|clock|gettimeofday|clock_gettime)\s*\(|::now\(' app/* |
  grep -v -F 'return LocalTimeStamp(std::time(nullptr));' || true)

exit $status
