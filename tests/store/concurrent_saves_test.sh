#!/usr/bin/env bash
# Two copies saving one settings file at once, a fixed number of rounds each: every save
# succeeds, every read taken under the save lock finds one copy's whole file, the last file
# is whole, and no temporary file is left. Run on an ordinary file (replaced by renaming)
# and on a hard-linked one (rewritten in place). Then a save that cannot have the lock in
# time fails with a message instead of waiting for ever.
# Usage: concurrent_saves_test.sh VOLARIN_SIM [ROUNDS]
set -euo pipefail
sim="$(realpath "$1")"
rounds="${2:-300}"
work="$(mktemp -d)"
trap 'kill $(jobs -p) 2>/dev/null || true; rm -rf "$work"' EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }
lock=.VOLARIN.INI.volarin-lock

# Copy A holds best scores and writes a longer file than copy B, which holds the defaults.
mkdir "$work/texts" && cd "$work/texts"
printf '3\n2\n0\n1\n%s\n' '91234 aaaaaaaaaaaaaaaaaaaaaaaaaaaaaaa' '82345 bb' '73456 cc' \
  '64567 dd' '55678 ee' >VOLARIN.INI
printf 'load\nsave\n' | "$sim"
text_a="$(cat VOLARIN.INI)"
rm VOLARIN.INI && printf 'save\n' | "$sim"
text_b="$(cat VOLARIN.INI)"
[ "$text_a" != "$text_b" ] || fail "the two copies would write the same text"
saves="$(printf 'save\n%.0s' $(seq "$rounds"))"

# Reads the file under a shared save lock until both copies have ended; names any read that
# is neither copy's whole text.
read_while_saving() {
  local reads=0 damaged=0 text
  while kill -0 "$1" 2>/dev/null || kill -0 "$2" 2>/dev/null; do
    text="$(flock -s -w 10 "$lock" cat VOLARIN.INI)"
    reads=$((reads + 1))
    [ "$text" = "$text_a" ] || [ "$text" = "$text_b" ] || damaged=$((damaged + 1))
  done
  echo "$damaged of $reads reads damaged"
  [ "$damaged" = 0 ]
}

# $1: "plain" or "linked"
race() {
  rm -rf "$work/$1" && mkdir "$work/$1" && cd "$work/$1"
  printf '%s\n' "$text_a" >VOLARIN.INI
  [ "$1" = linked ] && ln VOLARIN.INI other.ini
  printf 'load\ndump\n%s\n' "$saves" | "$sim" >a.out 2>a.err &
  local a=$!
  # B starts once A has read the file, so A keeps writing its own text.
  until [ -s a.out ] || ! kill -0 "$a" 2>/dev/null; do sleep 0.01; done
  printf '%s\n' "$saves" | "$sim" 2>b.err &
  local b=$!
  local reads=0
  read_while_saving "$a" "$b" || reads=1
  wait "$a" || fail "$1: copy A lost a save: $(head -n 3 a.err)"
  wait "$b" || fail "$1: copy B lost a save: $(head -n 3 b.err)"
  [ "$reads" = 0 ] || fail "$1: a read found a damaged file"
  local last
  last="$(cat VOLARIN.INI)"
  [ "$last" = "$text_a" ] || [ "$last" = "$text_b" ] || fail "$1: the last file is damaged"
  if [ "$1" = linked ]; then
    cmp -s VOLARIN.INI other.ini || fail "linked: the second name holds another text"
  fi
  local left
  left="$(ls -A | grep -v -x -e VOLARIN.INI -e other.ini -e "$lock" -e a.out -e a.err -e b.err)" ||
    true
  [ -z "$left" ] || fail "$1: left behind: $left"
  echo "$1: $rounds saves by each copy, none lost"
}

race plain
race linked

# A copy stopped while saving holds the lock: the next save gives up after a few seconds.
cd "$work/plain"
flock "$lock" sleep 20 &
holder=$!
sleep 0.2
start=$SECONDS
if printf 'save\n' | timeout 15 "$sim" 2>held.err; then fail "a save went on without the lock"; fi
grep -q 'cannot write the settings file' held.err || fail "no message: $(cat held.err)"
[ $((SECONDS - start)) -lt 12 ] || fail "the save waited $((SECONDS - start)) s for the lock"
kill "$holder"
echo "concurrent saves test passed"
