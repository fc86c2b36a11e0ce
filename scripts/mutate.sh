#!/usr/bin/env bash
# Mutation testing of the rules, the shared layer, the drawing and the runner: scripts/mutate.sh [N]
# samples N mutants (all of them with 0 or no N); see scripts/mutate.py --help for the options.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
"$root/scripts/setup.sh" >/dev/null
exec python3 "$root/scripts/mutate.py" "$@"
