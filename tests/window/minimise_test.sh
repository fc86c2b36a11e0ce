#!/usr/bin/env bash
# A paused game under a window manager: its three launchers show with the paused field after
# the window is minimised and restored, and after a size change, as after a plain pause. A
# replay minimised and restored shows its field again and plays on to its verdict.
# Usage: minimise_test.sh VOLARIN VOLARIN_SIM  (inside xvfb-run, 24-bit screen; starts openbox)
set -euo pipefail
. "$(cd "$(dirname "$0")" && pwd)/../screen_checks.sh"
volarin="$(realpath "$1")"
sim="$(realpath "$2")"
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
# The window manager owns the screen once it names its own window on the root.
wm_ready() { xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q 'window id'; }
wait_until wm_ready || fail "the window manager did not start"
"$volarin" 2>>"$work/stderr.txt" &
pid=$!
window="$(timeout 30 xdotool search --sync --name "^$VOLARIN_TITLE\$" | head -n 1)" ||
  fail "no window titled '$VOLARIN_TITLE'"
xdotool windowactivate --sync "$window"

# The launchers stand in the eight rows above the band, whose first row is found below the
# window's left edge (where the window manager put it).
launchers() {
  eval "$(xdotool getwindowgeometry --shell "$window")"
  convert "$work/$1.png" -crop "1x768+$((X + 4))+0" +repage txt:"$work/column.txt"
  local band_top=$(($(grep -n '#0000FF' "$work/column.txt" | head -n 1 | cut -d: -f1) - 2))
  count_colour "$1" "${WIDTH}x8+$X+$((band_top - 8))" '#00FF00'
}

shows_launchers() {
  shot "$1"
  [ "$(launchers "$1")" = 192 ]
}

xdotool key F2
sleep 1
xdotool key F3
wait_until shows_launchers paused || fail "a plain pause shows $(launchers paused) launcher pixels"

xdotool windowminimize --sync "$window"
sleep 0.5
xdotool windowactivate --sync "$window"
wait_until shows_launchers restored ||
  fail "after a restore $(launchers restored) launcher pixels"

xdotool windowsize --sync "$window" 700 560
wait_until shows_launchers resized ||
  fail "after a size change $(launchers resized) launcher pixels"
kill "$pid"
wait "$pid" 2>/dev/null || true

# A minute of demonstration as a replay: minimised and restored, it shows its band and its
# missiles again, and plays on (at 64x) to its verdict.
printf 'seed 1\nsettings none\ntick 3840\ndump\n' >replay.in
{ cat replay.in; printf '# final '; "$sim" --replay replay.in | tail -n 1; } >replay.txt
"$volarin" --replay replay.txt --exit-at-end >replay.out 2>>"$work/stderr.txt" &
pid=$!
window="$(timeout 30 xdotool search --sync --name "^$VOLARIN_TITLE - replay\$" | head -n 1)" ||
  fail "no replay window"
xdotool windowactivate --sync "$window"
field_shows() {
  eval "$(xdotool getwindowgeometry --shell "$window")"
  shot "$1"
  [ "$(count_colour "$1" "${WIDTH}x${HEIGHT}+$X+$Y" '#0000FF')" -gt 10000 ] &&
    [ "$(count_colour "$1" "${WIDTH}x${HEIGHT}+$X+$Y" '#FFFF00')" -gt 50 ]
}
wait_until field_shows replaying || fail "the replay shows no field"
xdotool windowminimize --sync "$window"
sleep 1
xdotool windowactivate --sync "$window"
wait_until field_shows replay-restored || fail "the restored replay shows no field"
xdotool key Right Right Right Right Right Right
wait_for_exit
[ "$status" = 0 ] && [ "$(cat replay.out)" = verified ] ||
  fail "the minimised replay ended with status $status: $(cat replay.out)"
echo "minimise test passed"
