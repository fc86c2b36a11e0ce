#!/usr/bin/env bash
# The replay viewer in the real game: a session recorded in the window replays with
# `--replay FILE --exit-at-end` to status 0 and "verified" (its final line too with
# `--state-line`), one changed `char` line gives
# status 1 and "not verified", and neither touches the VOLARIN.INI beside them; a session
# recorded without a settings file replays in an empty folder and makes none; a FIFO or a
# missing file is refused at once. The page keys pace a replay.
# Usage: replay_test.sh VOLARIN CLOSE_WINDOW VOLARIN_SIM  (inside xvfb-run, 24-bit screen)
set -euo pipefail
volarin="$(realpath "$1")"
close_window="$(realpath "$2")"
sim="$(realpath "$3")"
work="$(mktemp -d)"
trap '{ [ "$pid" = 0 ] || { kill "$pid" && wait "$pid"; }; } 2>/dev/null || true; rm -rf "$work"' EXIT
mkdir -m 700 "$work/runtime"
export XDG_RUNTIME_DIR="$work/runtime"
pid=0

fail() { echo "FAIL: $*" >&2; exit 1; }

# Plays a few seconds in the current folder: typing before and during a game, a size change,
# then closing the window.
record_session() {
  "$volarin" --record "$1" 2>>"$work/stderr.txt" &
  pid=$!
  local window
  window="$(timeout 30 xdotool search --sync --name "^$VOLARIN_TITLE\$" | head -n 1)" ||
    fail "no window titled '$VOLARIN_TITLE'"
  xdotool windowfocus --sync "$window"
  sleep 1
  xdotool type --delay 40 'abc'
  xdotool key F2
  sleep 1
  xdotool type --delay 40 'qwer'
  xdotool windowsize --sync "$window" 500 420
  sleep 0.5
  xdotool type --delay 40 'zx'
  sleep 0.5
  "$close_window" "$window" || fail "could not close the window"
  wait "$pid" || fail "the recorded session ended with status $?"
  pid=0
}

# Replays $1 to its end (with the options after it); sets status and out.
replay() {
  status=0
  out="$(timeout 120 "$volarin" --replay "$@" --exit-at-end 2>>"$work/stderr.txt")" || status=$?
}

mkdir "$work/played" "$work/empty"
cd "$work/played"
printf '31\n3\n1\n0\n5 ann\n' >VOLARIN.INI
record_session session.txt
grep -q '^size ' session.txt || fail "the recording holds no size change"
cp -p VOLARIN.INI kept.ini
mtime="$(stat -c %y VOLARIN.INI)"
expected="$(grep '^# final ' session.txt | cut -c9-)"

replay session.txt --state-line
[ "$status" = 0 ] || fail "the replay ended with status $status: $out"
[ "$(sed -n 1p <<<"$out")" = verified ] || fail "the replay did not say verified: $out"
[ "$(sed -n 2p <<<"$out")" = "$expected" ] || fail "the replay ended at another state line"
replay session.txt
[ "$out" = verified ] || fail "without --state-line the replay said more than its verdict: $out"

# One typed character changed to a space, which clears the field of a running game.
line="$(grep -n '^char ' session.txt | tail -n 1 | cut -d: -f1)"
sed "${line}s/.*/char 32/" session.txt >edited.txt
replay edited.txt
[ "$status" = 1 ] || fail "the edited recording ended with status $status"
grep -q '^not verified: this recording does not end where it was recorded' <<<"$out" ||
  fail "the edited recording was not reported: $out"

# A FIFO nobody writes to and a missing file are refused at once, not waited on.
mkfifo pipe
for file in pipe missing.txt; do
  replay "$file"
  [ "$status" = 1 ] && grep -q "^not verified: cannot read '$file'" <<<"$out" ||
    fail "$file: status $status: $out"
done

cmp -s VOLARIN.INI kept.ini || fail "a replay changed VOLARIN.INI"
[ "$(stat -c %y VOLARIN.INI)" = "$mtime" ] || fail "a replay wrote VOLARIN.INI"

# Without a settings file beside the game, then replayed where there is none either.
rm VOLARIN.INI
record_session bare.txt
grep -q '^settings none' bare.txt || fail "the recording does not say it had no settings"
cd "$work/empty"
replay ../played/bare.txt
[ "$status" = 0 ] || fail "the recording made without settings ended with status $status: $out"
[ -z "$(ls -A)" ] || fail "the replay left files in an empty folder: $(ls -A)"

# Right and Page Down double a replay's speed up to 64x, Left and Page Up halve it down to 1x.
# Ten minutes of play: at 64x four seconds pass a quarter of it at most, back at 1x eight more
# seconds add eight, and at 64x again the rest ends it. Only an ending too soon fails here,
# which a loaded machine cannot cause; the end itself may take up to two minutes.
cd "$work"
printf 'seed 1\nsettings none\ntick 38400\ndump\n' >long.in
{ cat long.in; printf '# final '; "$sim" --replay long.in | tail -n 1; } >long.txt
"$volarin" --replay long.txt --exit-at-end >long.out 2>>"$work/stderr.txt" &
pid=$!
window="$(timeout 30 xdotool search --sync --name "^$VOLARIN_TITLE - replay\$" | head -n 1)" ||
  fail "no replay window"
xdotool windowfocus --sync "$window"
xdotool key Right Right Right Next Next Next
sleep 4
kill -0 "$pid" 2>/dev/null || fail "the replay ended within 4 s: faster than 64x"
xdotool key Left Left Left Prior Prior Prior
sleep 8
kill -0 "$pid" 2>/dev/null || fail "the replay ended within 12 s: Left and Page Up did not slow it"
xdotool key Right Right Right Right Right Right
for _ in $(seq 1200); do
  kill -0 "$pid" 2>/dev/null || break
  sleep 0.1
done
kill -0 "$pid" 2>/dev/null && fail "the replay did not end within 2 minutes of Right: no speed-up"
status=0
wait "$pid" || status=$?
pid=0
[ "$status" = 0 ] && [ "$(cat long.out)" = verified ] || fail "the paced replay: $status $(cat long.out)"
echo "replay test passed"
