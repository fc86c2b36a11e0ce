#!/usr/bin/env bash
# Under a virtual X server: once a menu has closed, or after Alt is tapped alone, the letters
# typed next reach the game instead of choosing menu items; Alt with a letter still opens a menu.
# File > Exit where the settings cannot be saved shows a message box before the program ends;
# a termination signal closes it.
# Usage: menu_keyboard_test.sh VOLARIN  (run inside xvfb-run with a 24-bit screen)
set -euo pipefail
. "$(cd "$(dirname "$0")" && pwd)/../screen_checks.sh"
volarin="$(realpath "$1")"
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
# Near-white pixels in a region: an open menu is a light panel, while everything the game
# draws has at least one dark channel.
light_pixels() {
  convert "$work/$1.png" -crop "$2" +repage -separate -evaluate-sequence min -threshold 80% \
    -format '%[fx:round(mean*w*h)]' info:
}
alive() { kill -0 "$pid" 2>/dev/null; }

# Starts the game and waits until its window has the keyboard.
start_game() {
  "$volarin" 2>"$work/stderr.txt" &
  pid=$!
  window="$(timeout 30 xdotool search --sync --name "^$VOLARIN_TITLE\$" | head -n 1)" ||
    fail "no window titled '$VOLARIN_TITLE'"
  xdotool windowfocus --sync "$window"
  sleep 1
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
  sleep 0.3
  alive || fail "$what: typing $* ended the program"
  shot "after-$what"
  [ "$(light_pixels "after-$what" "$under_first_title")" -lt 200 ] ||
    fail "$what: typing $* left a menu open"
  same_region "before-$what" "after-$what" "$misses" &&
    fail "$what: typing $* did not reach the game"
  return 0
}

# A menu opened with the mouse and closed with Esc.
xdotool mousemove 20 10 click 1
sleep 0.5
shot clicked
[ "$(light_pixels clicked "$under_first_title")" -gt 2000 ] || fail "clicking did not open the menu"
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
sleep 0.5
shot mnemonic
[ "$(light_pixels mnemonic "$under_first_title")" -gt 2000 ] || fail "Alt+F did not open the menu"
xdotool key Escape
sleep 0.3
letters_reach_game "Esc after Alt+F" o s

# Alt with a letter still drives the menu: File > Exit.
xdotool key alt+f
sleep 0.5
xdotool key x
for _ in $(seq 100); do
  alive || break
  sleep 0.1
done
alive && fail "Alt+F, X did not end the program"
status=0
wait "$pid" || status=$?
[ "$status" = 78 ] || fail "File > Exit ended with status $status, not 78"
[ "$(sed -n 3p VOLARIN.INI)" = 1 ] || fail "the sound was switched off"

# A settings file that cannot be written: the player is told in a message box (a light panel
# in the middle of the screen), and File > Exit's status comes once it is closed.
exit_to_message_box() {
  start_game
  xdotool key alt+f
  sleep 0.5
  xdotool key x
  for _ in $(seq 100); do
    grep -q 'could not be saved' "$work/stderr.txt" && break
    sleep 0.1
  done
  sleep 1
  shot unsaved
  alive || fail "the program ended without telling that the settings were not saved"
  [ "$(light_pixels unsaved 400x60+300+330)" -gt 8000 ] || fail "no message box"
}
rm VOLARIN.INI
mkdir VOLARIN.INI
exit_to_message_box
xdotool key Return
status=0
wait "$pid" || status=$?
[ "$status" = 78 ] || fail "File > Exit after the message ended with status $status, not 78"
# A session manager's SIGTERM closes the box and ends the program by that signal.
exit_to_message_box
kill -TERM "$pid"
for _ in $(seq 50); do
  alive || break
  sleep 0.1
done
alive && fail "SIGTERM did not close the message box"
status=0
wait "$pid" || status=$?
[ "$status" = 143 ] || fail "SIGTERM at the message box ended with status $status, not 143"
echo "menu keyboard test passed"
