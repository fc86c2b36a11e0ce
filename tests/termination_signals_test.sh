#!/usr/bin/env bash
# How the game's termination-signal handling ends a Qt program at each moment of its life:
# before the loop, and for a second signal the loop has not taken, the process ends at once by
# the signal; in the loop the signal is handed to the loop (the probe's status 10); after the
# loop the process ends by the signal too, but only on its way out.
# Usage: termination_signals_test.sh TERMINATION_PROBE
set -uo pipefail
probe="$1"
failed=0
# The probe's own wait status, as Python gives it: -15 when SIGTERM ended it, which a shell
# would not tell from an exit with status 143; the probe itself exits with 10, 20 or 30.
expect() {
  local status
  status="$(/usr/bin/python3 -c 'import subprocess, sys
print(subprocess.run(sys.argv[1:], timeout=30).returncode)' "$probe" "$1")"
  [ "$status" = "$2" ] || { echo "FAIL: $1: status $status, not $2" >&2; failed=1; }
}
expect before-loop -15
expect in-loop 10
expect twice-in-loop -15
expect after-loop -15
[ "$failed" = 0 ] && echo "termination signals test passed"
exit "$failed"
