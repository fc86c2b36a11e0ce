#!/usr/bin/env bash
# The cards over the field, read back by OCR in the language LANG names: F1 shows the help with
# F2 in it, F3 in a game the pause card, ten misses the results card; a paused game whose
# window changes size still shows its missiles. S on the results card saves the game beside
# VOLARIN.INI, and the runner replays the saved file to its final state line.
# Usage: cards_test.sh VOLARIN VOLARIN_SIM  (inside xvfb-run, 24-bit screen, LANG en_US.UTF-8 or ja_JP.UTF-8)
set -euo pipefail
. "$(cd "$(dirname "$0")" && pwd)/../screen_checks.sh"
volarin="$(realpath "$1")"
sim="$(realpath "$2")"
work="$(mktemp -d)"
trap '{ kill "$pid" && wait "$pid"; } 2>/dev/null || true; rm -rf "$work"' EXIT
mkdir -m 700 "$work/runtime"
export XDG_RUNTIME_DIR="$work/runtime"
cd "$work"
pid=0

fail() { echo "FAIL ($LANG): $*" >&2; exit 1; }
shot() { import -window root "$work/$1.png"; }

card_words

# Digits only: every other key acts on "A", which never falls, so each is a miss.
printf '4\n1\n0\n0\n' >VOLARIN.INI
"$volarin" 2>>"$work/stderr.txt" &
pid=$!
window="$(timeout 30 xdotool search --sync --name "^$VOLARIN_TITLE\$" | head -n 1)" ||
  fail "no window titled '$VOLARIN_TITLE'"
xdotool windowfocus --sync "$window"
sleep 1

xdotool key F1
sleep 0.5
shot help
expect_text help "$model" "${help[@]}"
xdotool key Escape F2
sleep 1.5
xdotool key F3
sleep 0.5
shot paused
expect_text paused "$model" "${paused[@]}"

# A size change blanks the rules' field; the paused missiles come back over it. Rows 20 to
# 190 lie between the menu bar and the pause card at both sizes, so any missile there counts.
top=640x170+0+20
[ "$(count_colour paused "$top" '#FFFF00')" -gt 30 ] || fail "no missile before the size change"
xdotool windowsize --sync "$window" 700 540
sleep 0.5
shot resized
[ "$(count_colour resized "$top" '#FFFF00')" -gt 30 ] || fail "the paused field went black"

miss_ten_times
shot results
expect_text results "$model" "${results[@]}"

xdotool key s
sleep 0.5
saved=("$work"/volarin-*.txt)
[ "${#saved[@]}" = 1 ] && [ -f "${saved[0]}" ] || fail "S left no volarin-*.txt beside VOLARIN.INI"
final="$(grep '^# final ' "${saved[0]}" | cut -c9-)"
[ -n "$final" ] || fail "the saved game has no final state line"
(cd / && "$sim" --replay "${saved[0]}") >"$work/replayed.txt" || fail "the saved game does not replay"
[ "$(cat "$work/replayed.txt")" = "$final" ] || fail "the saved game replays to another state"
echo "cards test passed ($LANG)"
