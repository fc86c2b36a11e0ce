#!/usr/bin/env bash
# The progress card in the window, in the language LANG names: three games ended by their
# tenth miss each add a line to VOLARIN-HISTORY.TXT beside VOLARIN.INI, and F4 then shows the
# card (read back by OCR) with the three games' points on its plot; F4 again closes it.
# Usage: progress_test.sh VOLARIN  (inside xvfb-run, 24-bit screen, LANG en_US.UTF-8 or
# ja_JP.UTF-8)
set -euo pipefail
. "$(cd "$(dirname "$0")" && pwd)/../screen_checks.sh"
volarin="$(realpath "$1")"
work="$(mktemp -d)"
trap '{ kill "$pid" && wait "$pid"; } 2>/dev/null || true; rm -rf "$work"' EXIT
mkdir -m 700 "$work/runtime"
export XDG_RUNTIME_DIR="$work/runtime"
cd "$work"
pid=0

fail() { echo "FAIL ($LANG): $*" >&2; exit 1; }
shot() { import -window "$window" "$work/$1.png"; }
games_in_history() { [ "$(grep -c . VOLARIN-HISTORY.TXT 2>/dev/null)" = $(($1 + 1)) ]; }
# The score's points: squares of 7 x 7 in a colour of their own, and the legend's bar of 16 x 5.
points_shown() {
  shot progress
  [ "$(count_colour progress 4000x4000+0+0 '#FF8000')" = $((3 * 49 + 80)) ]
}
# The Japanese heading's 成績 is beside "Progress", which the model reads more surely than it.
case "$LANG" in
  ja*) model=jpn+eng words=(Progress 遅い文字 閉じる) ;;
  *) model=eng words=(Progress Slowest close) ;;
esac

# Digits only: every letter acts on "A", which never falls, so each is a miss.
printf '4\n1\n0\n0\n' >VOLARIN.INI
"$volarin" 2>>"$work/stderr.txt" &
pid=$!
window="$(timeout 30 xdotool search --sync --name "^$VOLARIN_TITLE\$" | head -n 1)" ||
  fail "no window titled '$VOLARIN_TITLE'"
xdotool windowfocus --sync "$window"
for game in 1 2 3; do
  xdotool key F2
  xdotool key --delay 20 x x x x x x x x x x
  wait_until games_in_history "$game" || fail "game $game did not reach the history"
done
xdotool key F4
wait_until points_shown || fail "the progress card's plot does not show three points"
expect_text progress "$model" "${words[@]}"
xdotool key F4
wait_until eval '! points_shown' || fail "F4 did not close the progress card"
echo "progress test passed ($LANG)"
