#!/usr/bin/env bash
# How the game's termination-signal handling ends a Qt program at each moment of its life:
# before the loop, and for a second signal the loop has not taken, the process ends at once by
# the signal; in the loop the signal is handed to the loop (the probe's status 10); after the
# loop the process ends by the signal too, but only on its way out.
# Usage: termination_signals_test.sh TERMINATION_PROBE
set -uo pipefail
probe="$1"
failed=0
# The shell gives a process ended by SIGTERM 143; the probe itself exits with 10, 20 or 30.
expect() {
  local status=0
  timeout 30 "$probe" "$1" || status=$?
  [ "$status" = "$2" ] || { echo "FAIL: $1: status $status, not $2" >&2; failed=1; }
}
expect before-loop 143
expect in-loop 10
expect twice-in-loop 143
expect after-loop 143
[ "$failed" = 0 ] && echo "termination signals test passed"
exit "$failed"
