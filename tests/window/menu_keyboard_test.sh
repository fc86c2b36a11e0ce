#!/usr/bin/env bash
# Under a virtual X server: once a menu has closed, or after Alt is tapped alone, the letters
# typed next reach the game instead of choosing menu items; Alt with a letter still opens a menu.
# Where the settings cannot be saved, File > Exit and closing the window show a message box
# before the program ends, and a termination signal closes it; a signal or a lost display
# during play ends the program with no box.
# Usage: menu_keyboard_test.sh VOLARIN CLOSE_WINDOW  (run inside xvfb-run with a 24-bit screen)
set -euo pipefail
. "$(cd "$(dirname "$0")" && pwd)/../screen_checks.sh"
volarin="$(realpath "$1")"
close_window="$(realpath "$2")"
work="$(mktemp -d)"
pid=""
clean_up() {
  if [ -n "$pid" ] && kill "$pid" 2>/dev/null; then wait "$pid" 2>/dev/null || true; fi
  rm -rf "$work"
}
trap clean_up EXIT
mkdir -m 700 "$work/runtime"
export XDG_RUNTIME_DIR="$work/runtime"
cd "$work"

fail() { echo "FAIL: $*" >&2; exit 1; }
shot() { import -window root "$work/$1.png"; }
alive() { kill -0 "$pid" 2>/dev/null; }
ended() { ! alive; }
field_moved() {
  shot moved
  ! same_region still moved 640x400+0+40
}
# Takes screenshot $1 and is true when a menu shows under the first title.
menu_open() {
  shot "$1"
  [ "$(light_pixels "$1" "$under_first_title")" -gt 2000 ]
}
# Takes screenshot $1 and is true when a message box (a light panel) shows mid-screen.
box_shown() {
  shot "$1"
  [ "$(light_pixels "$1" 400x60+300+330)" -gt 8000 ]
}
# Waits for the program to end and sets status.
wait_for_end() {
  wait_until ended || fail "$1: the program did not end"
  status=0
  wait "$pid" || status=$?
}

# Starts the game and waits until its window has the keyboard.
start_game() {
  "$volarin" 2>"$work/stderr.txt" &
  pid=$!
  window="$(timeout 30 xdotool search --sync --name "^$VOLARIN_TITLE\$" | head -n 1)" ||
    fail "no window titled '$VOLARIN_TITLE'"
  xdotool windowfocus --sync "$window"
}

start_game

# The miss counter, in the lower half of the status band (see window_test.sh): a letter no
# missile carries is a miss, so a change there shows the letters reached the game.
shot start
convert "$work/start.png" -crop 1x600+4+0 +repage txt:"$work/column.txt"
first_blue_line="$(grep -n '#0000FF' "$work/column.txt" | head -n 1 | cut -d: -f1)"
[ -n "$first_blue_line" ] || fail "status band not found"
misses="110x12+525+$((first_blue_line + 15))"
under_first_title=110x80+5+30

# Types the letters and fails unless the program still runs and counted them as misses.
letters_reach_game() {
  local what="$1"
  shift
  shot "before-$what"
  for key in "$@"; do
    xdotool key "$key"
    sleep 0.2
  done
  wait_until misses_changed "$what" || fail "$what: typing $* did not reach the game"
  alive || fail "$what: typing $* ended the program"
  [ "$(light_pixels "after-$what" "$under_first_title")" -lt 200 ] ||
    fail "$what: typing $* left a menu open"
}
misses_changed() {
  shot "after-$1"
  ! same_region "before-$1" "after-$1" "$misses"
}

# A menu opened with the mouse and closed with Esc.
xdotool mousemove 20 10 click 1
wait_until menu_open clicked || fail "clicking did not open the menu"
xdotool key Escape
sleep 0.3
letters_reach_game "Esc after a click" f x

# Alt tapped alone.
xdotool key alt
sleep 0.3
letters_reach_game "Alt alone" f x

# A menu opened with Alt and its letter, then closed with Esc: the Options letter, then the
# sound item's, would switch the sound off.
xdotool key alt+f
wait_until menu_open mnemonic || fail "Alt+F did not open the menu"
xdotool key Escape
sleep 0.3
letters_reach_game "Esc after Alt+F" o s

# Alt with a letter still drives the menu: File > Exit.
xdotool key alt+f
wait_until menu_open exit-menu || fail "Alt+F did not open the menu for Exit"
xdotool key x
wait_for_end "Alt+F, X"
[ "$status" = 78 ] || fail "File > Exit ended with status $status, not 78"
[ "$(sed -n 3p VOLARIN.INI)" = 1 ] || fail "the sound was switched off"

# A settings file that cannot be written: the player is told in a message box (a light panel
# in the middle of the screen), and File > Exit's status comes once it is closed.
exit_to_message_box() {
  start_game
  xdotool key alt+f
  wait_until menu_open unsaved-menu || fail "Alt+F did not open the menu"
  xdotool key x
  wait_until box_shown unsaved || fail "no message box after File > Exit"
  alive || fail "the program ended without telling that the settings were not saved"
}
rm VOLARIN.INI
mkdir VOLARIN.INI
exit_to_message_box
xdotool key Return
wait_for_end "Return at the message box"
[ "$status" = 78 ] || fail "File > Exit after the message ended with status $status, not 78"
# Closing the window shows the box too, and ends with 0 once it is closed.
start_game
"$close_window" "$window" || fail "could not ask the window to close"
wait_until box_shown closed || fail "no message box after closing the window"
xdotool key Return
wait_for_end "Return at the message box after closing"
[ "$status" = 0 ] || fail "closing the window after the message ended with status $status, not 0"
# A signal during play: no one is there to read a box, which would keep the program. A signal
# before the game runs ends it without saving: wait until the demonstration moves.
start_game
shot still
wait_until field_moved || fail "the demonstration does not move"
kill -TERM "$pid"
wait_for_end "SIGTERM during play"
[ "$status" = 143 ] || fail "SIGTERM during play ended with status $status, not 143"
grep -q 'could not be saved' "$work/stderr.txt" || fail "SIGTERM did not say the save failed"
# A session manager's SIGTERM closes the box and ends the program by that signal.
exit_to_message_box
kill -TERM "$pid"
wait_for_end "SIGTERM at the message box"
[ "$status" = 143 ] || fail "SIGTERM at the message box ended with status $status, not 143"

# A lost display, as when the X server goes away at logout: the settings are tried, said to
# have failed, and no box holds the program.
Xvfb -displayfd 3 -screen 0 800x600x24 3>"$work/display.txt" 2>/dev/null &
server=$!
wait_until test -s "$work/display.txt" || fail "no second X server"
display=":$(cat "$work/display.txt")"
DISPLAY="$display" "$volarin" 2>"$work/stderr.txt" &
pid=$!
DISPLAY="$display" timeout 30 xdotool search --sync --name "^$VOLARIN_TITLE\$" >/dev/null ||
  fail "no window on the second X server"
kill "$server"
wait "$server" 2>/dev/null || true
wait_for_end "the lost display"
grep -q 'could not be saved' "$work/stderr.txt" || fail "a lost display did not say the save failed"
echo "menu keyboard test passed"
