#!/usr/bin/env bash
# Fails when a layer includes what it must not: the rules know nothing of any platform,
# and no header below the front ends names a Qt or Win32 type.
set -euo pipefail
cd "$(dirname "$0")/.."
status=0
report() { echo "$1"; status=1; }

while IFS= read -r line; do
  report "core/ may include only core/, resources/, the drawing calls and sound: $line"
done < <(grep -Hn '#include "' core/*.h core/*.cpp |
  grep -v -E '#include "(core/|resources/|render/draw\.h|render/sound\.h)')

while IFS= read -r line; do
  report "platform header below the front ends: $line"
done < <(grep -Hn -E '#include <(Q[A-Za-z]*|windows\.h|qt[a-z]*/.*)>' \
  core/* render/*.h app/*.h resources/*.h 2>/dev/null || true)

while IFS= read -r line; do
  report "the rules never read the clock: $line"
done < <(grep -Hn -E '\b(time|clock|gettimeofday|clock_gettime)\s*\(|<chrono>|<ctime>' core/* || true)

exit $status
