#!/usr/bin/env bash
# A paused game under a window manager: its three launchers show with the paused field after
# the window is minimised and restored, and after a size change, as after a plain pause.
# Usage: minimise_test.sh VOLARIN  (inside xvfb-run, 24-bit screen; starts openbox)
set -euo pipefail
. "$(cd "$(dirname "$0")" && pwd)/../screen_checks.sh"
volarin="$(realpath "$1")"
work="$(mktemp -d)"
pid=0
manager=0
trap '{ kill "$pid" "$manager" && wait "$pid" "$manager"; } 2>/dev/null || true; rm -rf "$work"' EXIT
mkdir -m 700 "$work/runtime"
export XDG_RUNTIME_DIR="$work/runtime"
cd "$work"

fail() { echo "FAIL: $*" >&2; exit 1; }
shot() { import -window root "$work/$1.png"; }

openbox --sm-disable 2>>"$work/stderr.txt" &
manager=$!
sleep 1
"$volarin" 2>>"$work/stderr.txt" &
pid=$!
window="$(timeout 30 xdotool search --sync --name "^$VOLARIN_TITLE\$" | head -n 1)" ||
  fail "no window titled '$VOLARIN_TITLE'"
xdotool windowactivate --sync "$window"
sleep 1

# The launchers stand in the eight rows above the band, whose first row is found below the
# window's left edge (where the window manager put it).
launchers() {
  eval "$(xdotool getwindowgeometry --shell "$window")"
  convert "$work/$1.png" -crop "1x768+$((X + 4))+0" +repage txt:"$work/column.txt"
  local band_top=$(($(grep -n '#0000FF' "$work/column.txt" | head -n 1 | cut -d: -f1) - 2))
  count_colour "$1" "${WIDTH}x8+$X+$((band_top - 8))" '#00FF00'
}

xdotool key F2
sleep 1
xdotool key F3
sleep 0.5
shot paused
[ "$(launchers paused)" = 192 ] || fail "a plain pause shows $(launchers paused) launcher pixels"

xdotool windowminimize --sync "$window"
sleep 0.5
xdotool windowactivate --sync "$window"
sleep 0.5
shot restored
[ "$(launchers restored)" = 192 ] || fail "after a restore $(launchers restored) launcher pixels"

xdotool windowsize --sync "$window" 700 560
sleep 0.5
shot resized
[ "$(launchers resized)" = 192 ] || fail "after a size change $(launchers resized) launcher pixels"
echo "minimise test passed"
