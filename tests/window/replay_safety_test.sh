#!/usr/bin/env bash
# Recordings from a stranger in the real viewer: one asking for a 65535 x 65535 window verifies
# and exits 0; two thousand size changes between the largest pictures end at Esc within a few
# seconds; a missing file, an empty one and one with an unknown word each show the verdict
# card over a field, not a black window.
# Usage: replay_safety_test.sh VOLARIN VOLARIN_SIM  (inside xvfb-run, 24-bit screen)
set -euo pipefail
. "$(cd "$(dirname "$0")" && pwd)/../screen_checks.sh"
volarin="$(realpath "$1")"
sim="$(realpath "$2")"
work="$(mktemp -d)"
trap '{ [ "$pid" = 0 ] || { kill "$pid" && wait "$pid"; }; } 2>/dev/null || true; rm -rf "$work"' EXIT
mkdir -m 700 "$work/runtime"
export XDG_RUNTIME_DIR="$work/runtime"
cd "$work"
pid=0

fail() { echo "FAIL: $*" >&2; exit 1; }

# The commands in $1 with the `# final` line the runner ends them at, into $2.
recorded() {
  { cat "$1"; printf '# final '; "$sim" --replay "$1" | tail -n 1; } >"$2"
}

# Starts the viewer on $1 in the background and waits for its window.
view() {
  "$volarin" --replay "$1" >"$work/out.txt" 2>>"$work/stderr.txt" &
  pid=$!
  window="$(timeout 30 xdotool search --sync --name "^$VOLARIN_TITLE - replay\$" | head -n 1)" ||
    fail "$1: no replay window"
}

printf 'seed 1\nsettings none\nsize 65535 65535\ntick 2\ndump\n' >huge.in
recorded huge.in huge.txt
status=0
timeout 120 "$volarin" --replay huge.txt --exit-at-end >out.txt 2>>stderr.txt || status=$?
[ "$status" = 0 ] && [ "$(head -n 1 out.txt)" = verified ] ||
  fail "the 65535 x 65535 recording ended with status $status: $(head -c 300 out.txt)"

{
  printf 'seed 1\nsettings none\n'
  for _ in $(seq 2000); do printf 'size 8192 8192\nsize 8191 8191\n'; done
  printf 'tick\ndump\n'
} >flood.in
recorded flood.in flood.txt
view flood.txt
sleep 2
xdotool windowfocus --sync "$window" key Escape
for _ in $(seq 300); do
  kill -0 "$pid" 2>/dev/null || break
  sleep 0.1
done
kill -0 "$pid" 2>/dev/null && fail "the viewer went on for 30 s after Esc in a flood of size changes"
wait_for_exit
grep -q '^not verified: the replay was ended before' out.txt || fail "Esc: $(head -c 300 out.txt)"

# The card's inside colour, #000060, over most of a 600 x 100 card.
verdict_card() {
  import -window "$window" "$work/unreadable.png"
  size="$(identify -format '%wx%h' "$work/unreadable.png")"
  [ "$(count_colour unreadable "$size+0+0" '#000060')" -gt 20000 ]
}
: >empty.txt
printf 'seed 1\nfly 3\n' >unknown.txt
for file in missing.txt empty.txt unknown.txt; do
  view "$file"
  wait_until verdict_card || fail "$file: no verdict card in the window"

  xdotool windowfocus --sync "$window" key Escape
  wait_for_exit
  grep -q '^not verified: ' out.txt || fail "$file: $(head -c 300 out.txt)"
done
echo "replay safety test passed"
