#!/usr/bin/env bash
# Plays the real game under a virtual X server: the window appears, the demonstration draws,
# typed characters and F2 reach the game, File > Exit ends with 78, closing with 0, and a
# termination signal by that signal; each way out writes the settings. The first session is
# recorded, and the runner replays the recording to the state line the game ended with.
# Usage: window_test.sh VOLARIN CLOSE_WINDOW VOLARIN_SIM  (inside xvfb-run, 24-bit screen)
set -euo pipefail
. "$(cd "$(dirname "$0")" && pwd)/../screen_checks.sh"
volarin="$(realpath "$1")"
close_window="$(realpath "$2")"
volarin_sim="$(realpath "$3")"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
mkdir -m 700 "$work/runtime"
export XDG_RUNTIME_DIR="$work/runtime"
cd "$work"

fail() { echo "FAIL: $*" >&2; exit 1; }

# The window picture starts at the top left: there is no window manager to move it.
start_game() {
  "$volarin" "$@" 2>>"$work/stderr.txt" &
  pid=$!
  window="$(timeout 30 xdotool search --sync --name "^$VOLARIN_TITLE\$" | head -n 1)" ||
    fail "no window titled '$VOLARIN_TITLE'"
  xdotool windowfocus --sync "$window"
}

shot() { import -window root "$work/$1.png"; }




# A recording that cannot be made stops the program before its window, with status 2.
for args in "--record" "--record $work/no-such-folder/session.txt"; do
  status=0
  timeout 20 "$volarin" $args 2>options.txt || status=$?
  [ "$status" = 2 ] && grep -q -E '^volarin: (--record needs a file name|cannot record to)' \
    options.txt || fail "'$args' ended with status $status: $(cat options.txt)"
done

# Every class, level 2, and a best score to keep: the replay must take the same settings.
printf '31\n2\n1\n0\n7 ann\n' >VOLARIN.INI
start_game --unknown --record "$work/session.txt"
field=640x400+0+40
wait_until shows_colour demo "$field" '#FFFF00' 50 || fail "no missile drawn in the demonstration"
[ "$(count_colour demo 640x600+0+0 '#0000FF')" -gt 10000 ] || fail "no status band"

# The miss counter sits at the right end of the band; misses change it, start resets it.
# Only the lower half of the band is compared: a missile just above the ground may cover
# the upper half.
convert "$work/demo.png" -crop 1x600+4+0 +repage txt:"$work/column.txt"
first_blue_line="$(grep -n '#0000FF' "$work/column.txt" | head -n 1 | cut -d: -f1)"
[ -n "$first_blue_line" ] || fail "status band not found"
band_top=$((first_blue_line - 2))
misses="110x12+525+$((band_top + 17))"
# Takes shot $2 until region $3 differs from shot $1; false when it stays the same for a
# minute, so a busy machine only makes the test slower.
changes() { wait_until differs "$@"; }
differs() {
  shot "$2"
  ! same_region "$1" "$2" "$3"
}
menu_open() {
  shot menu
  [ "$(light_pixels menu 110x80+5+30)" -gt 2000 ]
}

shot before
xdotool type --delay 50 '~~~'
changes before typed "$misses" || fail "typed characters did not reach the game"
sleep 0.5
shot typed
xdotool key F2
changes typed started "$misses" || fail "F2 did not start a game"
same_region before started "$misses" || fail "F2 did not reset the miss counter"

xdotool key alt+f
wait_until menu_open || fail "Alt+F did not open the menu"
xdotool key x
wait_for_exit
[ "$status" = 78 ] || fail "Exit ended with status $status, not 78"
[ "$(wc -l <VOLARIN.INI)" = 9 ] || fail "VOLARIN.INI does not hold nine lines"

grep -q "^volarin: ignoring the argument '--unknown'$" stderr.txt || fail "--unknown was not noted"
# The recording carries the settings the game started with: it replays to its final line in an
# empty folder, where no settings file is read or made.
[ "$(head -n 1 session.txt | cut -d' ' -f1)" = seed ] || fail "the recording does not start with seed"
[ "$(sed -n 2p session.txt)" = settings ] || fail "the recording does not carry its settings"
grep -q '^char ' session.txt || fail "the recording holds no typed character"
mkdir replay
(cd replay && "$volarin_sim" --replay ../session.txt >dump.txt) ||
  fail "the runner rejected the recording"
expected="$(grep '^# final ' session.txt | cut -c9-)"
[ -n "$expected" ] || fail "the recording has no final state line"
[ "$(cat replay/dump.txt)" = "$expected" ] || fail "the replay ended in another state than the game"
[ ! -e replay/VOLARIN.INI ] || fail "the replay made a settings file"

rm VOLARIN.INI
start_game
sleep 1
"$close_window" "$window" || fail "could not ask the window to close (no display?)"
wait_for_exit
[ "$status" = 0 ] || fail "closing the window ended with status $status, not 0"
[ "$(wc -l <VOLARIN.INI)" = 9 ] || fail "closing the window did not write the settings"
# A termination signal keeps the settings too, then ends the program by that signal.
rm VOLARIN.INI
start_game
# The window shows before the game runs, and a signal before that ends it without saving; on
# a busy machine that moment lasts a while. Once the demonstration moves, the game runs.
shot running
changes running running_later "$field" || fail "the demonstration does not move"
kill -TERM "$pid"
wait_for_exit
[ "$status" = 143 ] || fail "SIGTERM ended with status $status, not 143"
[ "$(wc -l <VOLARIN.INI)" = 9 ] || fail "SIGTERM did not write the settings"
echo "window test passed"
