#!/usr/bin/env bash
# The cards over the field, read back by OCR in the language LANG names, with the menus in it:
# the hint before the first game and not after, F1 the help, F3 in a game the pause card, a
# burst of twelve keys the results card, which stays; a paused game whose window changes size
# still shows its missiles. S on the results card saves nothing, Ctrl+S saves the game alone
# beside VOLARIN.INI, on a path of 82 characters that the card shows inside the field; the
# game replays in the runner to its final state line and in the window to "verified".
# Usage: cards_test.sh VOLARIN VOLARIN_SIM  (inside xvfb-run, 24-bit screen, LANG en_US.UTF-8 or
# ja_JP.UTF-8; DEMO_SECONDS of demonstration before the game, 2 unless set)
set -euo pipefail
. "$(cd "$(dirname "$0")" && pwd)/../screen_checks.sh"
volarin="$(realpath "$1")"
sim="$(realpath "$2")"
work="$(mktemp -d)"
trap '{ kill "$pid" && wait "$pid"; } 2>/dev/null || true; rm -rf "$work"' EXIT
mkdir -m 700 "$work/runtime"
export XDG_RUNTIME_DIR="$work/runtime"
# A folder whose kept games' paths, volarin-YYYYMMDD-HHMMSS.txt in it, are 82 characters long.
folder="$work/$(printf 'k%.0s' $(seq $((82 - 28 - ${#work} - 1))))"
mkdir "$folder"
cd "$folder"
pid=0

fail() { echo "FAIL ($LANG): $*" >&2; exit 1; }
shot() { import -window root "$work/$1.png"; }

card_words

# Digits only at level 3: every other key acts on "A", which never falls, so each is a miss.
printf '4\n3\n0\n0\n' >VOLARIN.INI
"$volarin" 2>>"$work/stderr.txt" &
pid=$!
window="$(timeout 30 xdotool search --sync --name "^$VOLARIN_TITLE\$" | head -n 1)" ||
  fail "no window titled '$VOLARIN_TITLE'"
xdotool windowfocus --sync "$window"
eval "$(xdotool getwindowgeometry --shell "$window")"  # its WIDTH and HEIGHT at 640 x 480

# The band's first row, below the field, where no card may reach.
shot start
convert "$work/start.png" -crop 1x768+4+0 +repage txt:"$work/column.txt"
band_top=$(($(grep -n '#0000FF' "$work/column.txt" | head -n 1 | cut -d: -f1) - 2))
hint_area="640x60+0+$((band_top - 448))"
expect_text start "$model" "${menu[@]}"
hint_says() {
  shot start
  hint_text="$(read_text start "$model" "$hint_area" '#FFFFFF')"
  [[ "$hint_text" == *"${hint[0]}"* ]]
}
wait_until hint_says || fail "the hint does not say '${hint[0]}': $hint_text"
[ "$(count_colour start "$hint_area" '#A0FFA0')" -gt 100 ] || fail "no hint before the first game"

xdotool key F1
expect_text help "$model" "${help[@]}"
# The page keys: Right and Page Down forward, Left and Page Up back, and back from the first
# page stays there. Only the card is compared, found by its white border (the field has no
# white): the demonstration moves around it.
card_box() {
  local box
  box="$(convert "$work/$1.png" -crop 640x420+0+20 +repage -fill black +opaque '#FFFFFF' -trim \
    -format '%w %h %X %Y' info:)"
  read -r w h x y <<<"$box"
  echo "${w}x${h}${x}+$((y + 20))"
}
card_is() { # screenshot $1 shows the card screenshot $2 shows
  shot "$1"
  [ "$(card_box "$1")" = "$(card_box "$2")" ] && same_region "$1" "$2" "$(card_box "$2")"
}
card_differs() { ! card_is "$@"; }
steady() { # screenshot $1 taken again shows the same card: it was no frame half drawn
  cp "$work/$1.png" "$work/$1-before.png"
  card_is "$1" "$1-before"
}
xdotool key Left
xdotool key Right
wait_until card_differs page2 help || fail "Right did not turn the help's page"
wait_until steady page2 || fail "the help's second page does not stay"
xdotool key Left
wait_until card_is back help || fail "Left did not turn back to the first page"
xdotool key Next
wait_until card_is page2-again page2 || fail "Page Down did not turn to the second page"
xdotool key Prior Prior
wait_until card_is first-again help || fail "Page Up did not turn back to the first page"
xdotool key Escape
sleep "${DEMO_SECONDS:-2}"
xdotool key F2
started=$SECONDS
wait_until eval '! shows_colour playing "$hint_area" "#A0FFA0" 0' || fail "the hint shows after F2"
# Rows 20 to 190 lie between the menu bar and the pause card at both sizes used below: pause
# once missiles are there.
top=640x170+0+20
wait_until shows_colour falling "$top" '#FFFF00' 40 || fail "no missile falls"
xdotool key F3
expect_text paused "$model" "${paused[@]}"

# A size change blanks the rules' field; the paused missiles come back over it.
[ "$(count_colour paused "$top" '#FFFF00')" -gt 30 ] || fail "no missile before the size change"
xdotool windowsize --sync "$window" 700 540
wait_until shows_colour resized "$top" '#FFFF00' 30 || fail "the paused field went black"
xdotool windowsize --sync "$window" "$WIDTH" "$HEIGHT"

# Twelve keys at once: the tenth miss ends the game, and neither the two after it nor S close
# the card or save anything.
xdotool key F3
xdotool key --delay 20 asciitilde asciitilde asciitilde asciitilde asciitilde asciitilde \
  asciitilde asciitilde asciitilde asciitilde asciitilde asciitilde s
expect_text results "$model" "${results[@]}"
compgen -G "volarin-*.txt" >/dev/null && fail "S saved a game"

sleep 1
xdotool key ctrl+s
wait_until compgen -G "$folder/volarin-*.txt" >/dev/null
saved=("$folder"/volarin-*.txt)
[ "${#saved[@]}" = 1 ] && [ -f "${saved[0]}" ] || fail "Ctrl+S left no volarin-*.txt beside VOLARIN.INI"
[ "${#saved[0]}" = 82 ] || fail "the kept game's path is ${#saved[0]} characters long"
# The card with the path fits the field: nothing of it in the field's side margins or over
# the band, and its last line, the footer, is still there.
wait_until shows_colour kept "600x400+20+$((band_top - 430))" '#A0FFA0' 100 ||
  fail "the card's footer is missing"
for strip in "8x440+0+$((band_top - 440))" "8x440+632+$((band_top - 440))"; do
  for colour in '#000060' '#FFFFFF'; do
    [ "$(count_colour kept "$strip" "$colour")" = 0 ] || fail "the card reaches $strip ($colour)"
  done
done
[ "$(count_colour kept "640x32+0+$band_top" '#000060')" = 0 ] || fail "the card covers the band"
xdotool key x
wait_until eval '! shows_colour closed "600x400+20+$((band_top - 430))" "#000060" 0' ||
  fail "a key a second after the card came did not close it"

# The game alone: shorter than the game plus ten seconds, and it replays in both.
ticks="$(awk '/^tick /{n += $2} END {print n}' "${saved[0]}")"
[ "$ticks" -lt $(((SECONDS - started + 10) * 64)) ] || fail "the kept game is $ticks ticks long"
final="$(grep '^# final ' "${saved[0]}" | cut -c9-)"
[ -n "$final" ] || fail "the saved game has no final state line"
(cd / && "$sim" --replay "${saved[0]}") >"$work/replayed.txt" || fail "the saved game does not replay"
[ "$(cat "$work/replayed.txt")" = "$final" ] || fail "the saved game replays to another state"
verdict="$(timeout 60 "$volarin" --replay "${saved[0]}" --exit-at-end 2>>"$work/stderr.txt")" ||
  fail "the kept game ended its replay with status $?: $verdict"
[ "$verdict" = verified ] || fail "the kept game's replay said $verdict"
echo "cards test passed ($LANG)"
