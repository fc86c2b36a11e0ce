#!/usr/bin/env bash
# Rewrites the kept transcripts of tests/golden/ from the runner as it is now: run it only
# when a change of output is intended, and review the difference before committing it.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
"$root/scripts/setup.sh"
cmake -S "$root" -B "$root/build/release" -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build "$root/build/release" -j"$(nproc)" --target volarin-sim
"$root/tests/golden/check.sh" "$root/build/release/tools/volarin-sim" --regenerate
git -C "$root" diff --stat -- tests/golden
