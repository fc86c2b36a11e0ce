#!/usr/bin/env bash
# Two copies saving one settings file at once, a fixed number of rounds each, each holding a
# best the other lacks: every save succeeds, every read taken under the save lock finds a
# whole file that has lost no best, the last file keeps both copies' bests, and no temporary
# file is left. Run on an ordinary file (replaced by renaming) and on a hard-linked one
# (rewritten in place). Then a save that cannot have the lock in time fails with a message
# instead of waiting for ever.
# Usage: concurrent_saves_test.sh VOLARIN_SIM [ROUNDS]
set -euo pipefail
sim="$(realpath "$1")"
rounds="${2:-300}"
work="$(mktemp -d)"
trap 'kill $(jobs -p) 2>/dev/null || true; rm -rf "$work"' EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }
lock=.VOLARIN.INI.volarin-lock

# The file starts with a low best at every level. Copy A beats it at levels 1 and 2, copy B at
# levels 3 to 5, each with options of its own; each has nothing at the other's levels.
old='5 old'
best=('91234 aaaaaaaaaaaaaaaaaaaaaaaaaaaaaaa' '82345 bb' '73456 cc' '64567 dd' '55678 ee')
settings() { # the lines of a settings block for the runner
  echo settings
  printf '"%s\\n"\n' "$@"
  echo 'end settings'
}
settings_a="$(settings 3 2 0 1 "${best[0]}" "${best[1]}" '0 -' '0 -' '0 -')"
settings_b="$(settings 1 1 1 1 '0 -' '0 -' "${best[2]}" "${best[3]}" "${best[4]}")"
saves="$(printf 'save\n%.0s' $(seq "$rounds"))"

# Whole: nine lines, one copy's four options, and at each level the old best or the higher.
whole() {
  local lines level
  mapfile -t lines <<<"$1"
  [ "${#lines[@]}" = 9 ] || return 1
  case "${lines[*]:0:4}" in "3 2 0 1" | "1 1 1 1") ;; *) return 1 ;; esac
  for level in 0 1 2 3 4; do
    [ "${lines[level + 4]}" = "$old" ] || [ "${lines[level + 4]}" = "${best[level]}" ] || return 1
  done
}

# Reads the file under a shared save lock until both copies have ended; counts any read that
# is not whole.
read_while_saving() {
  local reads=0 damaged=0 text
  while kill -0 "$1" 2>/dev/null || kill -0 "$2" 2>/dev/null; do
    text="$(flock -s -w 10 "$lock" cat VOLARIN.INI)"
    reads=$((reads + 1))
    whole "$text" || damaged=$((damaged + 1))
  done
  echo "$damaged of $reads reads damaged or lost a best"
  [ "$damaged" = 0 ]
}

# $1: "plain" or "linked"
race() {
  rm -rf "$work/$1" && mkdir "$work/$1" && cd "$work/$1"
  printf '1\n1\n1\n1\n%s\n%s\n%s\n%s\n%s\n' "$old" "$old" "$old" "$old" "$old" >VOLARIN.INI
  [ "$1" = linked ] && ln VOLARIN.INI other.ini
  printf '%s\ndump\n%s\n' "$settings_a" "$saves" | "$sim" >a.out 2>a.err &
  local a=$!
  # B starts once A runs, so that their saves overlap.
  until [ -s a.out ] || ! kill -0 "$a" 2>/dev/null; do sleep 0.01; done
  printf '%s\n%s\n' "$settings_b" "$saves" | "$sim" 2>b.err &
  local b=$!
  local reads=0
  read_while_saving "$a" "$b" || reads=1
  wait "$a" || fail "$1: copy A lost a save: $(head -n 3 a.err)"
  wait "$b" || fail "$1: copy B lost a save: $(head -n 3 b.err)"
  [ "$reads" = 0 ] || fail "$1: a read found a damaged file, or one that lost a best"
  local last
  last="$(cat VOLARIN.INI)"
  whole "$last" || fail "$1: the last file is damaged"
  [ "$(tail -n 5 VOLARIN.INI)" = "$(printf '%s\n' "${best[@]}")" ] ||
    fail "$1: the last file lost a copy's best: $(tail -n 5 VOLARIN.INI | tr '\n' '|')"
  if [ "$1" = linked ]; then
    cmp -s VOLARIN.INI other.ini || fail "linked: the second name holds another text"
  fi
  local left
  left="$(ls -A | grep -v -x -e VOLARIN.INI -e other.ini -e "$lock" -e a.out -e a.err -e b.err)" ||
    true
  [ -z "$left" ] || fail "$1: left behind: $left"
  echo "$1: $rounds saves by each copy, none lost, both copies' bests kept"
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
